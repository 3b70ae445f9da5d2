#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "support/render_tool_process.h"
#include "support/viewer_process.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Anonymous resident memory in KiB (RssAnon in /proc/PID/status), -1 if unreadable: what the
// process allocated itself. The file-backed rest is library code and data read from disk, which
// grows whenever the driver's compiler first runs a path of its own and which no leak can grow.
long anonymousResidentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("RssAnon:", 0) == 0) return std::stol(line.substr(8));
    return -1;
}

// What the heap meter preloaded into the viewer wrote last: bytes allocated and not freed; -1 if none.
long long liveBytes(const std::string& meterFile)
{
    std::ifstream in(meterFile);
    long long bytes = -1;
    in >> bytes;
    return in ? bytes : -1;
}

// `rounds` times every number key in turn, each scene then switched to the software renderer.
std::vector<std::string> keyRounds(const std::string& window, int delayMs, int rounds)
{
    std::vector<std::string> arguments = {"key", "--window", window, "--delay", std::to_string(delayMs)};
    for (int r = 0; r < rounds; ++r) {
        for (int sceneNumber = 1; sceneNumber <= 9; ++sceneNumber) {
            arguments.push_back(std::to_string(sceneNumber));
            arguments.push_back("g");
        }
    }
    return arguments;
}

}  // namespace

// Scene builds, texture uploads and frames in both renderers, over and over: nothing may pile up.
TEST(ViewerMemory, LiveAndResidentMemoryStayFlatOverAThousandSceneSwitchesAndToggles)
{
    // The resident size counts freed blocks that the C library keeps in its heap. Blocks of 16 KiB
    // and more straight from the system and back, and a trimmed heap top, make it follow what is
    // alive. AddressSanitizer keeps freed blocks aside (256 MiB by default) to catch late uses,
    // which would read as growth: a small quarantine still catches them. An empty shader cache of
    // its own makes every run start as on a fresh machine.
    TemporaryFolder folder;
    const std::string meterFile = folder.path() + "/live-bytes";
    const char* preload = std::getenv("LD_PRELOAD");  // the sanitizer build's, which must stay first
    std::vector<std::string> environment = {
        "GLIBC_TUNABLES=glibc.malloc.mmap_threshold=16384:glibc.malloc.trim_threshold=65536",
        "MESA_SHADER_CACHE_DIR=" + folder.path() + "/shader-cache",
        std::string("LD_PRELOAD=") + (preload ? std::string(preload) + ":" : "") + PIXELWRIGHT_HEAP_METER,
        "PIXELWRIGHT_HEAP_METER_FILE=" + meterFile};
    const char* asanOptions = std::getenv("ASAN_OPTIONS");
    if (kSanitized)
        environment.push_back(std::string("ASAN_OPTIONS=") + (asanOptions ? asanOptions : "") +
                              ":quarantine_size_mb=8:thread_local_quarantine_size_kb=256");
    ViewerProcess viewer(PIXELWRIGHT_SOURCE_DIR, {}, environment);
    ASSERT_TRUE(viewer.open());
    ASSERT_TRUE(viewer.expectLine("Creating scene: 4"));

    // Rounds of nine switches and nine toggles. The keys come faster than most software frames are
    // drawn, so frames fold into the next. The allocators and the driver's caches fill during the
    // first rounds, by an amount that depends on the timing of frames and keys (the sanitizer's
    // allocator grows by a fifth before it settles); only the rounds after those are judged.
    constexpr int kSettlingRounds = 12, kRoundsPerSample = 5, kSamples = 21;
    constexpr int kDelayMs = 8;
    std::vector<long long> live;
    std::vector<long> resident;
    for (int command = 0; command <= kSamples; ++command) {
        const int rounds = command == 0 ? kSettlingRounds : kRoundsPerSample;
        ASSERT_TRUE(viewer.xdotool(keyRounds(viewer.windowId(), kDelayMs, rounds)));
        for (int r = 0; r < rounds; ++r) ASSERT_TRUE(viewer.expectLine("Creating scene: 9", 60s));
        viewer.waitForExit(300ms);  // lets the last frames finish
        if (command == 0) continue;
        live.push_back(liveBytes(meterFile));
        resident.push_back(anonymousResidentKilobytes(viewer.pid()));
        ASSERT_GT(live.back(), 0) << "the heap meter wrote nothing to " << meterFile;
        ASSERT_GT(resident.back(), 0);
    }
    std::string liveTrace, residentTrace;
    for (long long bytes : live) liveTrace += " " + std::to_string(bytes / 1024);
    for (long kb : resident) residentTrace += " " + std::to_string(kb);
    std::printf("After round %d and every %d rounds more, KiB allocated:%s\nand anonymous resident:%s\n",
                kSettlingRounds + kRoundsPerSample, kRoundsPerSample, liveTrace.c_str(), residentTrace.c_str());

    // What a leak looks like: memory kept on every scene switch makes a new high after every few
    // rounds (1 KiB a switch is 45 KiB between two samples). A driver that grows a cache of its own
    // now and then raises the plateau in a step or two and then stays.
    constexpr long long kRiseBytes = 16 * 1024;
    int newHighs = 0;
    long long highest = live.front();
    for (size_t i = 1; i < live.size(); ++i) {
        if (live[i] >= highest + kRiseBytes) ++newHighs;
        highest = std::max(highest, live[i]);
    }
    const int intervals = static_cast<int>(live.size()) - 1;
    std::printf("New highs of the allocated bytes in %d of %d intervals; %+lld KiB in all\n", newHighs, intervals,
                (live.back() - live.front()) / 1024);
    EXPECT_LE(newHighs, intervals / 2) << "allocated memory rises steadily (KiB):" << liveTrace;
    // The resident size also holds the heap's free holes and the allocators' slack, which the timing
    // of frames and keys moves; however it moves, it must not rise by much.
    EXPECT_LE(resident.back(), resident.front() * 5 / 4) << "anonymous resident (KiB):" << residentTrace;

    EXPECT_TRUE(viewer.quitWith("q"));
    // LeakSanitizer, where it runs, reports at exit on standard error and changes the status.
    EXPECT_EQ(viewer.errors().find("LeakSanitizer"), std::string::npos) << viewer.errors();
    EXPECT_EQ(viewer.output().find("ERROR:"), std::string::npos);
}
