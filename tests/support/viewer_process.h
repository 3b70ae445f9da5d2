#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/screenshot.h"

using std::chrono_literals::operator""ms;
using std::chrono_literals::operator""s;

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The real viewer, started as a child on the test's X display and driven like a person with
// xdotool: keys to its window, mouse events through the pointer, captures with xwd. Several of
// these at once would fight over the pointer and cover each other's windows, so display tests run
// one at a time. The viewer is killed when the object goes away, whatever the test did.
class ViewerProcess {
public:
    // Starts the viewer in workingDirectory (the source tree, where its data files live, by default).
    // A launcher ({"setpriv", ...}) runs it through that program, which must end by executing it in
    // place; `environment` as for ChildProcess.
    explicit ViewerProcess(const std::string& workingDirectory = PIXELWRIGHT_SOURCE_DIR,
                           const std::vector<std::string>& launcher = {},
                           const std::vector<std::string>& environment = {});

    // Waits for the one window titled "Pixelwright" and moves it to (0, 0), where screen and window
    // coordinates agree and a capture holds the whole window. Every other call needs this first.
    testing::AssertionResult open(std::chrono::milliseconds timeout = 20s);

    // Key names as xdotool knows them ("6", "Q", "Escape", "space"), pressed and released in order.
    testing::AssertionResult press(const std::vector<std::string>& keys);
    // A key that ends the program: only its press is sent, the window is gone before any release.
    testing::AssertionResult pressToQuit(const std::string& key);
    // Presses the number key of `sceneNumber` and waits for the viewer to announce the build. The
    // viewer handles input in order, so this also proves everything sent before it was handled.
    testing::AssertionResult switchScene(int sceneNumber, std::chrono::milliseconds timeout = 20s);

    // Mouse, in window coordinates. Buttons are X's: 1 left, 2 middle, 3 right, 4/5 the wheel.
    // The server takes one client's fake moves and presses in order, so no move waits with --sync
    // (which never returns when the pointer is already where it is sent).
    testing::AssertionResult drag(int button, int fromX, int fromY, int toX, int toY);
    testing::AssertionResult click(int button, int x, int y);

    testing::AssertionResult resize(int width, int height);
    std::optional<WindowGeometry> geometry();

    // The window's pixels now; after input the frame may still be in flight, see captureUntil.
    testing::AssertionResult capture(Screenshot& shot);
    // Captures until `done` holds for the capture or the timeout passes; `shot` is the last capture.
    testing::AssertionResult captureUntil(const std::function<bool(const Screenshot&)>& done, Screenshot& shot,
                                          std::chrono::milliseconds timeout = 10s);
    // The same, and the capture before it was identical: a frame that stays. (Right after start,
    // the first frame can be shown with a row and a column missing, drawn where the window stood
    // before it was moved, and soon replaced by a whole one.)
    testing::AssertionResult captureSteady(const std::function<bool(const Screenshot&)>& done, Screenshot& shot,
                                           std::chrono::milliseconds timeout = 10s);

    // Waits for the next line of standard output equal to `line`, after the lines already matched.
    testing::AssertionResult expectLine(const std::string& line, std::chrono::milliseconds timeout = 20s);

    // Ends the viewer with `key` (see pressToQuit) and expects it to exit with status 0.
    testing::AssertionResult quitWith(const std::string& key);

    bool running() { return process_.running(); }
    pid_t pid() const { return process_.pid(); }
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = 20s) { return process_.waitForExit(timeout); }
    const std::string& output() const { return process_.output(); }
    const std::string& errors() const { return process_.errors(); }
    const std::string& windowId() const { return window_; }

    // Runs xdotool with these arguments (bounded in time), for input the helpers above do not cover.
    testing::AssertionResult xdotool(const std::vector<std::string>& arguments);

private:
    testing::AssertionResult failure(const std::string& what);

    ChildProcess process_;
    std::string window_;
    size_t matchedOutput_ = 0;
};

// Tests that begin with the viewer's window up and its start-up scene built.
class RunningViewer : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(viewer.open());
        ASSERT_TRUE(viewer.expectLine("Creating scene: 4"));
    }

    ViewerProcess viewer;
};
