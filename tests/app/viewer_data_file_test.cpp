#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "support/viewer_process.h"

namespace {

constexpr size_t kImageBytes = 256 * 256 * 3;

// A fresh outer/work tree under the temporary folder: the viewer runs in work, so neither
// "sphere.raw" nor "../sphere.raw" finds anything the test did not put there.
class NestedFolder {
public:
    NestedFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pixelwright-data-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            outer_ = pattern;
            std::filesystem::create_directory(work());
        }
    }
    ~NestedFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(outer_, ignored);
    }
    NestedFolder(const NestedFolder&) = delete;
    NestedFolder& operator=(const NestedFolder&) = delete;

    bool made() const { return !outer_.empty(); }
    std::string work() const { return (outer_ / "work").string(); }
    std::string dataFile() const { return (outer_ / "work" / "sphere.raw").string(); }

private:
    std::filesystem::path outer_;
};

std::vector<char> committedImage()
{
    std::ifstream in(PIXELWRIGHT_SOURCE_DIR "/sphere.raw", std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeFile(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

size_t lineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// The superuser reads whatever the permissions say, so it gives up that privilege for the viewer
// (setpriv executes it in place, and the viewer keeps its process id).
const std::vector<std::string> kWithoutOverridingPermissions = {"setpriv", "--bounding-set",
                                                                 "-dac_override,-dac_read_search", "--"};

struct Shown {
    Screenshot scene5;
    std::string output;
    std::string errors;
};

// Starts the viewer in `folder`, shows scene 5 (drawn by OpenGL, the renderer that shows the
// environment image) and quits; everything must happen within bounded waits.
testing::AssertionResult showSceneFive(const NestedFolder& folder, Shown& shown,
                                       const std::vector<std::string>& launcher = {})
{
    ViewerProcess viewer(folder.work(), launcher);
    testing::AssertionResult step = viewer.open();
    if (step) step = viewer.expectLine("Creating scene: 4");
    // The one frame drawn after the switch is the first steady picture other than scene 4's.
    Screenshot scene4;
    if (step) step = viewer.captureSteady([](const Screenshot& s) { return s.countOtherThan({0, 0, 0}) > 0; }, scene4);
    if (step) step = viewer.switchScene(5);
    const auto notSceneFour = [&](const Screenshot& s) { return s.countDifferencesFrom(scene4) > 0; };
    if (step) step = viewer.captureSteady(notSceneFour, shown.scene5);
    // Scene 6 announced: the build of scene 5 has returned, whatever the file did.
    if (step) step = viewer.switchScene(6);
    if (step) step = viewer.quitWith("q");
    shown.output = viewer.output();
    shown.errors = viewer.errors();
    return step;
}

}  // namespace

// Scene 5 reads "sphere.raw" when it is built. A file it cannot read gets one line on standard
// error and the built-in image, which is what the committed file holds, so the picture is the
// same as with a good file; a short file is used as far as it goes and the rest is black.
TEST(ViewerDataFile, EveryKindOfBadFileGetsOneLineAndNeverStopsTheViewer)
{
    const std::vector<char> good = committedImage();
    ASSERT_EQ(good.size(), kImageBytes);

    NestedFolder reference;
    ASSERT_TRUE(reference.made());
    ASSERT_TRUE(writeFile(reference.dataFile(), good));
    Shown withGoodFile;
    ASSERT_TRUE(showSceneFive(reference, withGoodFile));
    EXPECT_EQ(withGoodFile.errors, "");
    EXPECT_EQ(withGoodFile.output, "Creating scene: 4\nCreating scene: 5\nCreating scene: 6\n");
    // The torus reflects the sky and the checkered floor: no black pixel anywhere.
    EXPECT_EQ(withGoodFile.scene5.countOtherThan({0, 0, 0}), 480 * 480);

    enum class Expect { goodImage, builtInImage, blackImage };
    struct Case {
        const char* name;
        std::function<bool(const std::string&)> makeFile;  // gets the path of work/sphere.raw
        Expect picture;
        const char* message;  // what the one line on standard error says; null for no line
        bool unreadable = false;
    };
    const auto bytes = [&](size_t count) {
        std::vector<char> b = good;
        b.resize(count, 'x');
        return b;
    };
    const Case cases[] = {
        {"longer than an image", [&](const std::string& p) { return writeFile(p, bytes(kImageBytes + 1000)); },
         Expect::goodImage, nullptr},
        {"missing", [](const std::string&) { return true; }, Expect::builtInImage,
         "cannot read \"sphere.raw\" (No such file or directory) nor \"../sphere.raw\" (No such file or directory)"},
        {"a directory", [](const std::string& p) { return mkdir(p.c_str(), 0755) == 0; }, Expect::builtInImage,
         "\"sphere.raw\" (a directory)"},
        {"a FIFO nobody writes to", [](const std::string& p) { return mkfifo(p.c_str(), 0644) == 0; },
         Expect::builtInImage, "\"sphere.raw\" (not a regular file)"},
        {"unreadable", [&](const std::string& p) { return writeFile(p, good) && chmod(p.c_str(), 0) == 0; },
         Expect::builtInImage, "\"sphere.raw\" (Permission denied)", true},
        {"one byte short", [&](const std::string& p) { return writeFile(p, bytes(kImageBytes - 1)); },
         Expect::goodImage, "read only 196607 of 196608 bytes from \"sphere.raw\""},
        {"one byte", [&](const std::string& p) { return writeFile(p, bytes(1)); }, Expect::blackImage,
         "read only 1 of 196608 bytes from \"sphere.raw\""},
        {"empty", [&](const std::string& p) { return writeFile(p, {}); }, Expect::blackImage,
         "read only 0 of 196608 bytes from \"sphere.raw\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("sphere.raw ") + c.name);
        std::vector<std::string> launcher;
        if (c.unreadable && geteuid() == 0) {
            std::vector<std::string> probe = kWithoutOverridingPermissions;
            probe.push_back("true");
            if (runCommand(probe, 10s).exitCode != 0) {
                std::printf("Skipped the unreadable file: running as root, and setpriv cannot drop the "
                            "privilege to read any file\n");
                continue;
            }
            launcher = kWithoutOverridingPermissions;
        }
        NestedFolder folder;
        ASSERT_TRUE(folder.made());
        ASSERT_TRUE(c.makeFile(folder.dataFile()));
        Shown shown;
        ASSERT_TRUE(showSceneFive(folder, shown, launcher));
        EXPECT_EQ(shown.output, withGoodFile.output);
        if (c.message) {
            EXPECT_EQ(lineCount(shown.errors), 1u) << shown.errors;
            EXPECT_EQ(shown.errors.rfind("pixelwright: ", 0), 0u) << shown.errors;
            EXPECT_NE(shown.errors.find(c.message), std::string::npos) << shown.errors;
        } else {
            EXPECT_EQ(shown.errors, "");
        }
        const int differing = shown.scene5.countDifferencesFrom(withGoodFile.scene5);
        switch (c.picture) {
        case Expect::goodImage:
            // One byte short leaves the last texel's blue at 0: a few pixels at most.
            EXPECT_LE(differing, 50);
            break;
        case Expect::builtInImage: EXPECT_EQ(differing, 0); break;
        case Expect::blackImage:
            // The torus, a third of the window, reflects nothing but black.
            EXPECT_GT(480 * 480 - shown.scene5.countOtherThan({0, 0, 0}), 480 * 480 / 4);
            break;
        }
    }
}
