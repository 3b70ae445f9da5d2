#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "texture/environment_image.h"
#include "texture/raw_image.h"
#include "support/temp_dir.h"

namespace {

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool sameTexels(const Texture& a, const Texture& b)
{
    return a.width == b.width && a.height == b.height && a.channels == b.channels &&
           std::memcmp(a.texels.get(), b.texels.get(), kRawImageBytes * sizeof(float)) == 0;
}

bool isFallback(const Texture& image) { return sameTexels(image, makeEnvironmentImage()); }

// What loadRawImage printed on standard error.
std::string stderrOf(Texture& image, const char* path = nullptr)
{
    testing::internal::CaptureStderr();
    image = loadRawImage(path);
    return testing::internal::GetCapturedStderr();
}

// Emscripten's file system has no /dev/zero.
#if defined(__EMSCRIPTEN__)
constexpr const char* kEndlessDevice = "/dev/urandom";
#else
constexpr const char* kEndlessDevice = "/dev/zero";
#endif

size_t lineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(RawImage, DecodesBytesInFileOrder)
{
    WorkingDirectoryInTemp dir;
    std::vector<unsigned char> bytes(kRawImageBytes + 100, 7);
    bytes[0] = 255;
    bytes[1] = 128;
    bytes[2] = 0;
    bytes[768] = 10;
    bytes[769] = 20;
    bytes[770] = 30;
    bytes[kRawImageBytes - 1] = 51;
    bytes[kRawImageBytes] = 255;  // past the image: ignored
    writeFile("sphere.raw", bytes);

    Texture image;
    EXPECT_EQ(stderrOf(image), "");
    ASSERT_EQ(image.width, 256);
    ASSERT_EQ(image.height, 256);
    ASSERT_EQ(image.channels, 3u);
    EXPECT_EQ(image.texel(0, 0)[0], 1.0f);
    EXPECT_EQ(image.texel(0, 0)[1], static_cast<float>(128 / 255.0));
    EXPECT_NEAR(image.texel(0, 0)[1], 0.50196f, 1e-5f);
    EXPECT_EQ(image.texel(0, 0)[2], 0.0f);
    EXPECT_EQ(image.texel(0, 1)[0], static_cast<float>(10 / 255.0));
    EXPECT_EQ(image.texel(0, 1)[2], static_cast<float>(30 / 255.0));
    EXPECT_EQ(image.texel(1, 0)[0], static_cast<float>(7 / 255.0));
    EXPECT_EQ(image.texel(255, 255)[2], 0.2f);
}

TEST(RawImage, FallsBackToTheParentDirectoryThenToTheBuiltInImage)
{
    WorkingDirectoryInTemp dir;
    std::vector<unsigned char> bytes(kRawImageBytes, 0);
    bytes[0] = 255;
    writeFile("../sphere.raw", bytes);
    Texture image;
    EXPECT_EQ(stderrOf(image), "");
    EXPECT_EQ(image.texel(0, 0)[0], 1.0f);

    std::remove("../sphere.raw");
    const std::string message = stderrOf(image);
    EXPECT_EQ(lineCount(message), 1u) << message;
    EXPECT_NE(message.find("\"sphere.raw\""), std::string::npos) << message;
    EXPECT_NE(message.find("\"../sphere.raw\""), std::string::npos) << message;
    EXPECT_TRUE(isFallback(image));
}

TEST(RawImage, DirectoriesFifosAndDevicesAreNotReadNorWaitedFor)
{
    WorkingDirectoryInTemp dir;
    ASSERT_EQ(mkdir("sphere.raw", 0755), 0);
    // Nobody ever writes to this FIFO: opening it for a blocking read would hang. Emscripten's file
    // system has no FIFOs; an endless device stands in there.
#if defined(__EMSCRIPTEN__)
    ASSERT_EQ(symlink(kEndlessDevice, "../sphere.raw"), 0);
#else
    ASSERT_EQ(mkfifo("../sphere.raw", 0644), 0);
#endif
    Texture image;
    std::string message = stderrOf(image);
    EXPECT_EQ(lineCount(message), 1u) << message;
    EXPECT_NE(message.find("\"sphere.raw\" (a directory)"), std::string::npos) << message;
    EXPECT_NE(message.find("\"../sphere.raw\" (not a regular file)"), std::string::npos) << message;
    EXPECT_TRUE(isFallback(image));

    message = stderrOf(image, "../sphere.raw");
    EXPECT_EQ(lineCount(message), 1u) << message;
    EXPECT_EQ(message.find("\"sphere.raw\""), std::string::npos) << "only the given path is tried: " << message;
    EXPECT_TRUE(isFallback(image));

    message = stderrOf(image, kEndlessDevice);
    EXPECT_NE(message.find("\"" + std::string(kEndlessDevice) + "\" (not a regular file)"), std::string::npos)
        << message;
    EXPECT_TRUE(isFallback(image));
}

TEST(RawImage, ShortFilesLeaveTheMissingTexelsBlack)
{
    WorkingDirectoryInTemp dir;
    writeFile("short.raw", std::vector<unsigned char>(1000, 255));
    Texture image;
    std::string message = stderrOf(image, "short.raw");
    EXPECT_EQ(lineCount(message), 1u) << message;
    EXPECT_NE(message.find("1000 of 196608 bytes"), std::string::npos) << message;
    EXPECT_EQ(image.texels[999], 1.0f);
    EXPECT_EQ(image.texels[1000], 0.0f);
    EXPECT_EQ(image.texel(255, 255)[2], 0.0f);

    writeFile("sphere.raw", {});
    message = stderrOf(image);
    EXPECT_NE(message.find("read only 0 of 196608 bytes from \"sphere.raw\""), std::string::npos) << message;
    EXPECT_EQ(image.texels[0], 0.0f);
    EXPECT_FALSE(isFallback(image));
}

// WebAssembly cannot start the second process a death test runs in: native builds only.
#if GTEST_HAS_DEATH_TEST
TEST(RawImageDeathTest, UnreadableFileFallsBackWithAMessage)
{
    WorkingDirectoryInTemp dir;
    writeFile("sphere.raw", std::vector<unsigned char>(kRawImageBytes, 9));
    ASSERT_EQ(chmod("sphere.raw", 0), 0);
    ASSERT_EQ(chmod(dir.outer().c_str(), 0755), 0);
    ASSERT_EQ(chmod(dir.work().c_str(), 0755), 0);
    // Permissions do not stop the superuser, so the child gives that up before trying.
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::_Exit(3);
            const Texture image = loadRawImage();
            std::_Exit(isFallback(image) ? 0 : 4);
        },
        testing::ExitedWithCode(0), "\"sphere.raw\" \\(Permission denied\\)");
}
#endif

TEST(EnvironmentImage, CommittedFileIsTheBuiltInImage)
{
    const std::vector<unsigned char> bytes = environmentImageBytes();
    ASSERT_EQ(bytes.size(), kRawImageBytes);
    std::ifstream in(PIXELWRIGHT_SOURCE_DIR "/sphere.raw", std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(file == bytes) << "sphere.raw differs from what make_sphere_map writes (" << file.size() << " bytes)";

    Texture image;
    EXPECT_EQ(stderrOf(image, PIXELWRIGHT_SOURCE_DIR "/sphere.raw"), "");
    EXPECT_TRUE(isFallback(image));
}

TEST(EnvironmentImage, SkyAboveSunAndCheckeredFloorBelow)
{
    const Texture image = makeEnvironmentImage();
    // Row 0 is the bottom of the ball. High up in the middle: deep blue sky.
    const float* zenith = image.texel(128, 235);
    EXPECT_GT(zenith[2], zenith[0] + 0.3f);
    // Low in the middle: the floor right under the ball, with both kinds of square nearby.
    float darkest = 1, lightest = 0;
    for (int x = 100; x < 156; ++x) {
        const float* t = image.texel(x, 30);
        EXPECT_NEAR(t[0], t[2], 0.1f) << "the floor is grey";
        darkest = std::min(darkest, t[0]);
        lightest = std::max(lightest, t[0]);
    }
    EXPECT_LT(darkest, 0.2f);
    EXPECT_GT(lightest, 0.8f);
    // The sun: a white spot in the upper left quarter.
    bool sun = false;
    for (int y = 128; y < 256; ++y)
        for (int x = 0; x < 128; ++x) sun = sun || (image.texel(x, y)[0] > 0.97f && image.texel(x, y)[2] > 0.85f);
    EXPECT_TRUE(sun);
}
