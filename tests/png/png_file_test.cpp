#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "png/png_file.h"

namespace {

std::string temporaryFolder()
{
    char pattern[] = "/tmp/pixelwright-png-XXXXXX";
    return mkdtemp(pattern);
}

}  // namespace

TEST(PngFile, RoundTripsTopRowFirstAndRefusesBadPaths)
{
    const std::string folder = temporaryFolder();
    RgbImage image{3, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90}};
    std::string error;
    const std::string path = folder + "/out.png";
    ASSERT_TRUE(canWriteFile(path, error)) << error;
    ASSERT_TRUE(writePng(path, image, error)) << error;
    RgbImage back;
    ASSERT_TRUE(readPng(path, back, error)) << error;
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.pixels, image.pixels);
    EXPECT_NE(access((path + ".partial").c_str(), F_OK), 0);

    EXPECT_FALSE(canWriteFile(folder, error));
    EXPECT_NE(error.find("directory"), std::string::npos);
    EXPECT_FALSE(canWriteFile(folder + "/missing/out.png", error));
    EXPECT_NE(error.find("does not exist"), std::string::npos);
    EXPECT_FALSE(canWriteFile(path + "/out.png", error));
    EXPECT_NE(error.find("'" + path + "' is not a folder"), std::string::npos) << error;

    // The picture is first written under the name with ".partial" added, so the name must leave
    // room for it before anything is drawn.
    const auto longestName = static_cast<size_t>(pathconf(folder.c_str(), _PC_NAME_MAX));
    const std::string longest = folder + "/" + std::string(longestName - 12, 'a') + ".png";
    ASSERT_TRUE(canWriteFile(longest, error)) << error;
    EXPECT_TRUE(writePng(longest, image, error)) << error;
    EXPECT_FALSE(canWriteFile(folder + "/" + std::string(longestName - 11, 'a') + ".png", error));
    EXPECT_NE(error.find("too long"), std::string::npos) << error;
    EXPECT_FALSE(canWriteFile(folder + "/" + std::string(longestName + 1, 'a'), error));
    if (geteuid() != 0) {  // root writes anywhere, so permissions cannot be checked as root
        chmod(folder.c_str(), 0500);
        EXPECT_FALSE(canWriteFile(folder + "/other.png", error));
        chmod(folder.c_str(), 0700);
    }
    std::system(("rm -rf " + folder).c_str());
}
