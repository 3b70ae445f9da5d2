#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// What a storm has sent so far, by kind. A key stroke, a button press, a button release, a pointer
// move, a window resize and a window move each count as one event.
struct StormCounts {
    long keys = 0;
    long sceneKeys = 0;  // the number keys 1 to 9
    long presses[6] = {};  // by X button number, 1 to 5
    long releases[6] = {};
    long moves = 0;
    long movesOutside = 0;  // to a point outside the window
    long resizes = 0;
    long tinyResizes = 0;  // to 1 x 1
    long hugeResizes = 0;  // to 2000 x 2000
    long windowMoves = 0;

    long events() const;
};

// Seeded random input for one window at (0, 0), as the arguments of chained xdotool commands, one
// command line per batch: key strokes of every kind except those that quit (letters of both cases,
// digits, space, function and cursor keys, Control with a letter), presses and releases of all
// five mouse buttons, drags that wander across and outside the window with one or more buttons
// held, window resizes from 1 x 1 up to 2000 x 2000, and window moves, partly off the screen.
//
// Each button is released where it was pressed, and the wheel turns one notch each way at once.
// Whatever part of that the window receives (presses outside it go elsewhere), the camera then
// ends where it started, so a picture taken after the storm can be compared with one from before.
class InputStorm {
public:
    InputStorm(uint64_t seed, std::string window, int screenWidth, int screenHeight);

    // The xdotool arguments of the next `events` events or a few more. Every button is up again
    // at its end, and the window back at (0, 0) and no bigger than 800 x 800, so no frame drawn
    // between two batches is a huge one.
    std::vector<std::string> nextBatch(int events);

    const StormCounts& counts() const { return counts_; }

private:
    struct HeldButton {
        int button, x, y;
    };

    void strokeKey();
    void movePointer();
    void moveTo(int x, int y);
    void pressButton();
    void releaseButton(size_t held);
    void turnWheel();
    void resize(int width, int height);
    void moveWindow(int x, int y);
    void resizeRandomly();
    int pick(int low, int high);  // inclusive
    bool chance(double probability);

    std::mt19937_64 random_;
    std::string window_;
    int screenWidth_, screenHeight_;
    int originX_ = 0, originY_ = 0;
    int width_ = 480, height_ = 480;
    int pointerX_ = -1, pointerY_ = -1;
    std::vector<HeldButton> held_;
    int hugeEventsLeft_ = 0;  // how long a huge window may stay before it shrinks again
    std::vector<std::string> batch_;
    bool inKeyCommand_ = false;  // the batch ends in a key command that more strokes can join
    StormCounts counts_;
};
