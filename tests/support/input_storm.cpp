#include "support/input_storm.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// Keys without a character, and characters the viewer ignores. Never Escape; "ctrl+bracketleft"
// and Control with the digits 3 to 7 would type an Escape too, so Control goes only with letters.
const char* const kOtherKeys[] = {
    "space", "Return", "Tab",   "BackSpace", "Delete",    "Insert",       "Home",       "End",
    "Prior", "Next",   "Left",  "Right",     "Up",        "Down",         "F1",         "F2",
    "F3",    "F4",     "F5",    "F6",        "F7",        "F8",           "F9",         "F10",
    "F11",   "F12",    "comma", "period",    "slash",     "minus",        "equal",      "semicolon",
    "grave", "backslash", "bracketleft", "bracketright", "apostrophe", "Shift_L", "Control_L", "Alt_L",
};

// A window this big takes the software renderer a second or more per frame (several under the
// sanitizers), so it stays only for a few events at a time.
constexpr long kBigArea = 800L * 800L;

}  // namespace

long StormCounts::events() const
{
    long buttons = 0;
    for (int b = 1; b <= 5; ++b) buttons += presses[b] + releases[b];
    return keys + buttons + moves + resizes + windowMoves;
}

InputStorm::InputStorm(uint64_t seed, std::string window, int screenWidth, int screenHeight)
    : random_(seed), window_(std::move(window)), screenWidth_(screenWidth), screenHeight_(screenHeight)
{
}

int InputStorm::pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

bool InputStorm::chance(double probability) { return std::bernoulli_distribution(probability)(random_); }

std::vector<std::string> InputStorm::nextBatch(int events)
{
    batch_.clear();
    inKeyCommand_ = false;
    const long end = counts_.events() + events;
    while (counts_.events() < end) {
        if (hugeEventsLeft_ > 0 && --hugeEventsLeft_ == 0) resizeRandomly();
        const int roll = pick(0, 99);
        if (roll < 40) {
            strokeKey();
        } else if (roll < 68) {
            movePointer();
        } else if (roll < 80) {
            pressButton();
        } else if (roll < 92) {
            if (!held_.empty()) releaseButton(static_cast<size_t>(pick(0, static_cast<int>(held_.size()) - 1)));
        } else if (roll < 97) {
            turnWheel();
        } else if (roll < 99) {
            resizeRandomly();  // also in the middle of a drag
        } else if (held_.empty()) {
            // Not in a drag: moving the window under a still pointer moves it in the window.
            moveWindow(pick(-600, 600), pick(-600, 600));
        }
    }
    while (!held_.empty()) releaseButton(held_.size() - 1);
    while (static_cast<long>(width_) * height_ > kBigArea) resizeRandomly();
    if (originX_ != 0 || originY_ != 0) moveWindow(0, 0);
    hugeEventsLeft_ = 0;
    return batch_;
}

void InputStorm::strokeKey()
{
    std::string key;
    const int roll = pick(0, 99);
    if (roll < 12) {
        key = "g";  // the renderer
    } else if (roll < 20) {
        key = "a";  // texture filtering
    } else if (roll < 28) {
        key = std::to_string(pick(1, 9));  // a scene switch
        ++counts_.sceneKeys;
    } else if (roll < 30) {
        key = "0";
    } else if (roll < 50) {
        do key = std::string(1, static_cast<char>('a' + pick(0, 25)));
        while (key == "q");
    } else if (roll < 65) {
        key = std::string(1, static_cast<char>('A' + pick(0, 25)));  // "Q" quits nothing
    } else if (roll < 72) {
        key = std::string("ctrl+") + static_cast<char>('a' + pick(0, 25));
    } else {
        key = kOtherKeys[pick(0, static_cast<int>(std::size(kOtherKeys)) - 1)];
    }
    // Strokes in a row share one key command; --delay 0 drops xdotool's pause between them.
    if (!inKeyCommand_) batch_.insert(batch_.end(), {"key", "--window", window_, "--delay", "0"});
    inKeyCommand_ = true;
    batch_.push_back(key);
    ++counts_.keys;
}

void InputStorm::moveTo(int x, int y)
{
    if (x == pointerX_ && y == pointerY_) return;  // no motion at all
    inKeyCommand_ = false;
    batch_.insert(batch_.end(), {"mousemove", std::to_string(x), std::to_string(y)});
    pointerX_ = x;
    pointerY_ = y;
    ++counts_.moves;
    if (x < originX_ || y < originY_ || x >= originX_ + width_ || y >= originY_ + height_) ++counts_.movesOutside;
}

void InputStorm::movePointer()
{
    int x, y;
    do {
        if (chance(0.6)) {
            x = std::clamp(originX_ + pick(0, width_ - 1), 0, screenWidth_ - 1);
            y = std::clamp(originY_ + pick(0, height_ - 1), 0, screenHeight_ - 1);
        } else {
            x = pick(0, screenWidth_ - 1);
            y = pick(0, screenHeight_ - 1);
        }
    } while (x == pointerX_ && y == pointerY_);
    moveTo(x, y);
}

void InputStorm::pressButton()
{
    int free[3], count = 0;
    for (int button : {1, 2, 3})
        if (std::none_of(held_.begin(), held_.end(), [&](const HeldButton& h) { return h.button == button; }))
            free[count++] = button;
    if (count == 0) return;
    if (pointerX_ < 0) movePointer();
    const int button = free[pick(0, count - 1)];
    inKeyCommand_ = false;
    batch_.insert(batch_.end(), {"mousedown", std::to_string(button)});
    held_.push_back({button, pointerX_, pointerY_});
    ++counts_.presses[button];
}

void InputStorm::releaseButton(size_t index)
{
    const HeldButton button = held_[index];
    held_.erase(held_.begin() + static_cast<std::ptrdiff_t>(index));
    // Back where it went down: a drag then turns or pans by exactly nothing overall.
    moveTo(button.x, button.y);
    inKeyCommand_ = false;
    batch_.insert(batch_.end(), {"mouseup", std::to_string(button.button)});
    ++counts_.releases[button.button];
}

void InputStorm::turnWheel()
{
    if (pointerX_ < 0) movePointer();
    // Each press and each release moves the camera one step: one notch each way cancels out.
    const bool nearerFirst = chance(0.5);
    const std::string first = nearerFirst ? "4" : "5";
    const std::string second = nearerFirst ? "5" : "4";
    inKeyCommand_ = false;
    batch_.insert(batch_.end(), {"mousedown", first, "mouseup", first, "mousedown", second, "mouseup", second});
    for (int b : {4, 5}) {
        ++counts_.presses[b];
        ++counts_.releases[b];
    }
}

void InputStorm::resize(int width, int height)
{
    inKeyCommand_ = false;
    batch_.insert(batch_.end(), {"windowsize", window_, std::to_string(width), std::to_string(height)});
    width_ = width;
    height_ = height;
    ++counts_.resizes;
    if (width == 1 && height == 1) ++counts_.tinyResizes;
    if (width == 2000 && height == 2000) ++counts_.hugeResizes;
    hugeEventsLeft_ = static_cast<long>(width) * height > kBigArea ? pick(3, 30) : 0;
}

void InputStorm::moveWindow(int x, int y)
{
    inKeyCommand_ = false;
    batch_.insert(batch_.end(), {"windowmove", window_, std::to_string(x), std::to_string(y)});
    originX_ = x;
    originY_ = y;
    ++counts_.windowMoves;
}

void InputStorm::resizeRandomly()
{
    // The two extremes come first, so every storm has them.
    if (counts_.hugeResizes == 0) return resize(2000, 2000);
    if (counts_.tinyResizes == 0) return resize(1, 1);
    const bool mayBeBig = hugeEventsLeft_ == 0 && static_cast<long>(width_) * height_ <= kBigArea;
    const int roll = pick(0, 99);
    if (roll < 15) return resize(1, 1);
    if (roll < 25 && mayBeBig) return resize(2000, 2000);
    if (roll < 35) return resize(pick(1, 3), pick(1, 2000));
    if (roll < 45) return resize(pick(1, 2000), pick(1, 3));
    resize(pick(1, 800), pick(1, 800));
}
