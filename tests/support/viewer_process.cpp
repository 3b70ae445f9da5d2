#include "support/viewer_process.h"

#include <cstdlib>
#include <sstream>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kCommandTimeout = 10s;

std::vector<std::string> concat(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The end of a long text, enough to show what went wrong.
std::string tail(const std::string& text)
{
    constexpr size_t kShown = 2000;
    return text.size() <= kShown ? text : "..." + text.substr(text.size() - kShown);
}

}  // namespace

ViewerProcess::ViewerProcess(const std::string& workingDirectory, const std::vector<std::string>& launcher,
                             const std::vector<std::string>& environment)
    : process_(concat(launcher, {PIXELWRIGHT_VIEWER}), workingDirectory, ChildProcess::Preload::inherit, environment)
{
}

testing::AssertionResult ViewerProcess::failure(const std::string& what)
{
    const bool alive = process_.running();  // also collects what it has written so far
    return testing::AssertionFailure() << what << "\n  viewer " << (alive ? "still running" : "ended")
                                       << "\n  its standard output: " << tail(process_.output())
                                       << "\n  its standard error: " << tail(process_.errors());
}

testing::AssertionResult ViewerProcess::open(std::chrono::milliseconds timeout)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return failure("DISPLAY is not set; run the tests with: bash scripts/test.sh");
    if (!process_.startError().empty()) return failure(process_.startError());

    // xdotool's --sync polls until the window exists; the viewer dying first ends the wait too.
    const std::vector<std::string> search = {"xdotool", "search", "--sync", "--name", "^Pixelwright$"};
    ChildProcess searcher(search);
    const Clock::time_point deadline = Clock::now() + timeout;
    std::optional<int> searched;
    while (!(searched = searcher.waitForExit(50ms)) && process_.running() && Clock::now() < deadline) {
    }
    if (!searched) return failure("no window titled Pixelwright appeared");
    std::istringstream ids(searcher.output());
    std::vector<std::string> windows;
    for (std::string id; ids >> id;) windows.push_back(id);
    if (*searched != 0 || windows.size() != 1)
        return failure("expected one Pixelwright window, xdotool found: [" + searcher.output() + "] " +
                       searcher.errors());
    window_ = windows[0];
    // The toolkit places the window at (-1, -1) when no window manager is running.
    return xdotool({"windowmove", "--sync", window_, "0", "0"});
}

testing::AssertionResult ViewerProcess::xdotool(const std::vector<std::string>& arguments)
{
    const std::vector<std::string> argv = concat({"xdotool"}, arguments);
    const CommandResult result = runCommand(argv, kCommandTimeout);
    if (result.exitCode == 0) return testing::AssertionSuccess();
    return failure(describeCommand(argv, result));
}

testing::AssertionResult ViewerProcess::press(const std::vector<std::string>& keys)
{
    return xdotool(concat({"key", "--window", window_}, keys));
}

testing::AssertionResult ViewerProcess::pressToQuit(const std::string& key)
{
    return xdotool({"keydown", "--window", window_, key});
}

testing::AssertionResult ViewerProcess::quitWith(const std::string& key)
{
    const testing::AssertionResult pressed = pressToQuit(key);
    if (!pressed) return pressed;
    const std::optional<int> code = process_.waitForExit(20s);
    if (code == 0) return testing::AssertionSuccess();
    return failure(code ? "exit status " + std::to_string(*code) + " after " + key : "still running after " + key);
}

testing::AssertionResult ViewerProcess::switchScene(int sceneNumber, std::chrono::milliseconds timeout)
{
    const testing::AssertionResult pressed = press({std::to_string(sceneNumber)});
    if (!pressed) return pressed;
    return expectLine("Creating scene: " + std::to_string(sceneNumber), timeout);
}

testing::AssertionResult ViewerProcess::drag(int button, int fromX, int fromY, int toX, int toY)
{
    const std::string b = std::to_string(button);
    return xdotool({"mousemove", std::to_string(fromX), std::to_string(fromY), "mousedown", b, "mousemove",
                    std::to_string(toX), std::to_string(toY), "mouseup", b});
}

testing::AssertionResult ViewerProcess::click(int button, int x, int y)
{
    return xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", std::to_string(button)});
}

testing::AssertionResult ViewerProcess::resize(int width, int height)
{
    return xdotool({"windowsize", "--sync", window_, std::to_string(width), std::to_string(height)});
}

std::optional<WindowGeometry> ViewerProcess::geometry()
{
    const CommandResult result = runCommand({"xdotool", "getwindowgeometry", "--shell", window_}, kCommandTimeout);
    if (result.exitCode != 0) return std::nullopt;
    WindowGeometry g;
    int found = 0;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        int* field = key == "X" ? &g.x : key == "Y" ? &g.y : key == "WIDTH" ? &g.width : key == "HEIGHT" ? &g.height : nullptr;
        if (!field) continue;
        *field = std::atoi(line.c_str() + eq + 1);
        ++found;
    }
    if (found != 4) return std::nullopt;
    return g;
}

testing::AssertionResult ViewerProcess::capture(Screenshot& shot)
{
    const std::vector<std::string> argv = {"xwd", "-silent", "-id", window_};
    const CommandResult result = runCommand(argv, kCommandTimeout);
    if (result.exitCode != 0) return failure(describeCommand(argv, result));
    std::string error;
    std::optional<Screenshot> decoded = decodeXwd(result.output, error);
    if (!decoded) return failure(error);
    shot = std::move(*decoded);
    return testing::AssertionSuccess();
}

testing::AssertionResult ViewerProcess::captureUntil(const std::function<bool(const Screenshot&)>& done,
                                                     Screenshot& shot, std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        const testing::AssertionResult captured = capture(shot);
        if (!captured) return captured;
        if (done(shot)) return testing::AssertionSuccess();
        if (Clock::now() >= deadline) return failure("the window never showed the expected frame");
        process_.waitForExit(50ms);  // a pause that still collects its output
    }
}

testing::AssertionResult ViewerProcess::captureSteady(const std::function<bool(const Screenshot&)>& done,
                                                      Screenshot& shot, std::chrono::milliseconds timeout)
{
    std::optional<Screenshot> previous;
    const auto steady = [&](const Screenshot& s) {
        const bool same = previous && s.countDifferencesFrom(*previous) == 0;
        previous = s;
        return same && done(s);
    };
    return captureUntil(steady, shot, timeout);
}

testing::AssertionResult ViewerProcess::expectLine(const std::string& line, std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    const std::string text = line + "\n";
    size_t from = matchedOutput_;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const std::optional<size_t> at = process_.waitForOutput(text, from, std::max(left, 0ms));
        if (!at) return failure("no line \"" + line + "\" on standard output");
        if (*at == 0 || process_.output()[*at - 1] == '\n') {
            matchedOutput_ = *at + text.size();
            return testing::AssertionSuccess();
        }
        from = *at + 1;  // the text ended another line
    }
}
