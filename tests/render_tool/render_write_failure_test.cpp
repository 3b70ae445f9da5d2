#include <gtest/gtest.h>

#include <string>

#include "support/child_process.h"
#include "support/render_tool_process.h"

// Every up-front check passes, then the disk refuses the picture part way: a file-size limit stands
// in for a full disk. With SIGXFSZ ignored (sh's trap carries over exec), the write fails with
// EFBIG instead of killing the tool, which must say so, exit 1 and leave no file behind.
TEST(RenderWriteFailure, APngTheDiskRefusesExitsOneNamingTheFileAndTheReasonAndLeavesNothing)
{
    TemporaryFolder folder;
    const CommandResult result = runCommand(
        {"sh", "-c", "trap '' XFSZ; exec \"$@\"", "sh", "prlimit", "--fsize=4096", "--", "env", "-u", "DISPLAY",
         PIXELWRIGHT_RENDER, "--scene", "4", "--output", "out.png"},
        std::chrono::seconds(120), folder.path(), ChildProcess::Preload::inherit);
    ASSERT_TRUE(result.startError.empty()) << result.startError;
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_EQ(result.errors, "pixelwright-render: writing 'out.png' failed: File too large\n");
    EXPECT_EQ(result.output, "Creating scene: 4\n");
    EXPECT_TRUE(folder.contents().empty());
}
