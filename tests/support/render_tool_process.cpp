#include "support/render_tool_process.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

using std::chrono_literals::operator""s;

CommandResult runRender(const std::vector<std::string>& arguments, const std::string& workingDirectory,
                        const std::vector<std::string>& environment)
{
    std::vector<std::string> argv = {"env", "-u", "DISPLAY"};
    argv.insert(argv.end(), environment.begin(), environment.end());
    argv.push_back(PIXELWRIGHT_RENDER);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    // The sanitizer build's preloads go along, as they do for the viewer (see tests/CMakeLists.txt).
    return runCommand(argv, 120s, workingDirectory, ChildProcess::Preload::inherit);
}

TemporaryFolder::TemporaryFolder()
{
    char pattern[] = "/tmp/pixelwright-render-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TemporaryFolder::contents() const
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_))
        found.push_back(std::filesystem::relative(entry.path(), path_).string());
    std::sort(found.begin(), found.end());
    return found;
}

testing::AssertionResult picturesAgree(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual,
                                       int width, int height, int tolerance)
{
    const size_t count = static_cast<size_t>(width) * height;
    if (expected.size() != count * 3 || actual.size() != count * 3)
        return testing::AssertionFailure() << "sizes differ: " << expected.size() << " and " << actual.size()
                                           << " bytes for " << width << "x" << height;
    long differing = 0;
    int largest = 0;
    size_t first = count;
    for (size_t i = 0; i < count; ++i) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(expected[i * 3 + c] - actual[i * 3 + c]));
        if (worst > tolerance) {
            ++differing;
            if (first == count) first = i;
        }
        largest = std::max(largest, worst);
    }
    if (differing == 0) return testing::AssertionSuccess();
    const size_t x = first % width, y = first / width;
    return testing::AssertionFailure() << differing << " pixels differ by more than " << tolerance
                                       << " levels (at most " << largest << "); the first at (" << x << ", " << y
                                       << ") from the top: expected " << int(expected[first * 3]) << ","
                                       << int(expected[first * 3 + 1]) << "," << int(expected[first * 3 + 2])
                                       << ", got " << int(actual[first * 3]) << "," << int(actual[first * 3 + 1])
                                       << "," << int(actual[first * 3 + 2]);
}
