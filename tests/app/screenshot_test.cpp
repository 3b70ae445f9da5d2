#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "support/viewer_process.h"

using WindowCapture = RunningViewer;

// The window-dump decoder against an independent one, on the viewer's first frame.
TEST_F(WindowCapture, XwdDecodingAgreesWithImageConverter)
{
    if (runCommand({"convert-im6.q16", "-version"}, 10s).exitCode != 0)
        GTEST_SKIP() << "convert-im6.q16 (imagemagick) is not installed";
    Screenshot first;
    // Before its first frame the window holds nothing the viewer drew.
    ASSERT_TRUE(viewer.captureUntil([](const Screenshot& s) { return s.countOtherThan({0, 0, 0}) > 0; }, first));

    const CommandResult dump = runCommand({"xwd", "-silent", "-id", viewer.windowId()}, 10s);
    ASSERT_EQ(dump.exitCode, 0) << dump.errors;
    char path[] = "/tmp/pixelwright-shot-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(path, std::ios::binary) << dump.output;
    const CommandResult converted =
        runCommand({"convert-im6.q16", std::string("xwd:") + path, "-strip", "-depth", "8", "ppm:-"}, 20s);
    std::remove(path);
    ASSERT_EQ(converted.exitCode, 0) << converted.errors;

    std::string error;
    const std::optional<Screenshot> ours = decodeXwd(dump.output, error);
    ASSERT_TRUE(ours) << error;
    const std::optional<Screenshot> theirs = decodePpm(converted.output, error);
    ASSERT_TRUE(theirs) << error;
    EXPECT_EQ(ours->width, 480);
    EXPECT_EQ(ours->height, 480);
    EXPECT_EQ(ours->width, theirs->width);
    EXPECT_EQ(ours->height, theirs->height);
    ASSERT_EQ(ours->rgb.size(), theirs->rgb.size());
    size_t differing = 0;
    for (size_t i = 0; i < ours->rgb.size(); ++i) differing += ours->rgb[i] != theirs->rgb[i];
    EXPECT_EQ(differing, 0u) << "bytes that differ";
}
