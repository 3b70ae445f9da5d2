#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>

#include "support/input_storm.h"
#include "support/viewer_process.h"

namespace {

long environmentNumber(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

bool screenSize(int& width, int& height)
{
    const CommandResult result = runCommand({"xdotool", "getdisplaygeometry"}, 10s);
    std::istringstream words(result.output);
    return result.exitCode == 0 && (words >> width >> height) && width > 0 && height > 0;
}

// Capture conditions: the picture equals `frame`, or differs from it.
std::function<bool(const Screenshot&)> sameAs(const Screenshot& frame)
{
    return [&frame](const Screenshot& s) { return s.countDifferencesFrom(frame) == 0; };
}
std::function<bool(const Screenshot&)> otherThan(const Screenshot& frame)
{
    return [&frame](const Screenshot& s) { return s.countDifferencesFrom(frame) > 0; };
}

size_t count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

// PIXELWRIGHT_STORM_SEED and PIXELWRIGHT_STORM_EVENTS choose another storm.
TEST(ViewerStorm, StillAnswersAfterThousandsOfRandomEvents)
{
    const long events = environmentNumber("PIXELWRIGHT_STORM_EVENTS", 5000);
    const auto seed = static_cast<uint64_t>(environmentNumber("PIXELWRIGHT_STORM_SEED", 20261208));
    int screenWidth = 0, screenHeight = 0;
    ASSERT_TRUE(screenSize(screenWidth, screenHeight));
    if (screenWidth <= 2000 || screenHeight <= 2000)
        std::printf("The %dx%d screen cannot hold the pointer outside a 2000x2000 window, nor such a window whole "
                    "for a capture (scripts/test.sh makes it 2048x2048)\n", screenWidth, screenHeight);

    ViewerProcess viewer;
    ASSERT_TRUE(viewer.open());
    ASSERT_TRUE(viewer.expectLine("Creating scene: 4"));
    // Scene 4 in both renderers before the storm. The window is black until the first frame.
    Screenshot opengl, software, shot;
    ASSERT_TRUE(viewer.captureSteady([](const Screenshot& s) { return s.countOtherThan({0, 0, 0}) > 0; }, opengl));
    ASSERT_TRUE(viewer.press({"g"}));
    ASSERT_TRUE(viewer.captureSteady(otherThan(opengl), software));
    ASSERT_TRUE(viewer.press({"g"}));
    ASSERT_TRUE(viewer.captureUntil(sameAs(opengl), shot));

    InputStorm storm(seed, viewer.windowId(), screenWidth, screenHeight);
    for (int batch = 0; storm.counts().events() < events; ++batch) {
        ASSERT_TRUE(viewer.xdotool(storm.nextBatch(250))) << "seed " << seed << ", batch " << batch;
        ASSERT_TRUE(viewer.running()) << "seed " << seed << ", batch " << batch << "\n" << viewer.errors();
    }
    const StormCounts& sent = storm.counts();
    std::printf("Storm of seed %llu: %ld events: %ld keys (%ld scene switches), %ld pointer moves (%ld outside the "
                "window), presses of buttons 1-5: %ld %ld %ld %ld %ld, %ld resizes (%ld to 1x1, %ld to 2000x2000), "
                "%ld window moves\n",
                static_cast<unsigned long long>(seed), sent.events(), sent.keys, sent.sceneKeys, sent.moves,
                sent.movesOutside, sent.presses[1], sent.presses[2], sent.presses[3], sent.presses[4],
                sent.presses[5], sent.resizes, sent.tinyResizes, sent.hugeResizes, sent.windowMoves);
    for (int b = 1; b <= 5; ++b) EXPECT_GT(sent.presses[b], 0) << "button " << b;
    EXPECT_GT(sent.movesOutside, 0);
    EXPECT_GT(sent.tinyResizes, 0);
    EXPECT_GT(sent.hugeResizes, 0);
    EXPECT_GT(sent.windowMoves, 0);

    // The viewer works off the storm in order; the scene line comes once all of it is handled.
    ASSERT_TRUE(viewer.switchScene(4, 120s));
    // Frames at the two extreme sizes, captured whole (the window must fit on the screen).
    if (screenWidth > 2000 && screenHeight > 2000) {
        ASSERT_TRUE(viewer.resize(2000, 2000));
        Screenshot huge;
        const auto sceneShown = [](const Screenshot& s) {
            return s.width == 2000 && s.height == 2000 && s.countOtherThan({255, 255, 255}) > 100000;
        };
        EXPECT_TRUE(viewer.captureSteady(sceneShown, huge));
        ASSERT_TRUE(viewer.press({"g"}));
        const auto softwareShown = [&](const Screenshot& s) { return sceneShown(s) && otherThan(huge)(s); };
        EXPECT_TRUE(viewer.captureUntil(softwareShown, shot, 60s)) << "no software frame at 2000x2000";
        ASSERT_TRUE(viewer.resize(1, 1));
        EXPECT_TRUE(viewer.captureUntil([](const Screenshot& s) { return s.width == 1 && s.height == 1; }, shot));
    }

    // Back to the first window size and scene: every drag ended where it began and the wheel
    // turned as far each way, so both renderers must show exactly what they showed before.
    ASSERT_TRUE(viewer.xdotool({"windowsize", viewer.windowId(), "480", "480"}));
    ASSERT_TRUE(viewer.switchScene(4));
    EXPECT_TRUE(viewer.captureUntil(sameAs(opengl), shot))
        << shot.countDifferencesFrom(opengl) << " pixels differ from the OpenGL frame before the storm";
    ASSERT_TRUE(viewer.press({"g"}));
    EXPECT_TRUE(viewer.captureUntil(sameAs(software), shot))
        << shot.countDifferencesFrom(software) << " pixels differ from the software frame before the storm";
    ASSERT_TRUE(viewer.switchScene(1));
    EXPECT_TRUE(viewer.quitWith("q"));

    // One build at start, one per number key, and the three after the storm.
    EXPECT_EQ(count(viewer.output(), "Creating scene: "), static_cast<size_t>(sent.sceneKeys + 4));
    EXPECT_EQ(viewer.output().find("ERROR:"), std::string::npos) << viewer.output();
    EXPECT_EQ(viewer.errors(), "");
}
