// The result list's progress bar while a fill runs: where it stands after each row and
// when the bar is worth touching at all.
//
// The bar runs from 0 to 100 and is given the row count modulo 500, so it fills over the
// first 100 rows, stays full until row 499 and starts empty again at every multiple of
// 500. A value above the maximum shows as a full bar. Setting the bar only schedules its
// repaint, which happens when the fill lets pending events run; still, a fill of 100,000
// rows that set it for every row would do 100,000 times the bookkeeping for a bar that
// changes faster than any screen can show. The bar is therefore set only when what it
// shows changes, and at most once per frame interval.
#pragma once

#include <chrono>

namespace query {

// The position the bar is given once `rows` rows are in the list.
inline int fillProgressPosition(int rows) { return rows % 500; }

// What a bar from `minimum` to `maximum` shows for `position` (clamped to the range).
inline int shownProgress(int position, int minimum, int maximum) {
    if (position < minimum) return minimum;
    if (position > maximum) return maximum;
    return position;
}

// The shortest time between two settings of the bar during a fill: one frame of a 60 Hz
// screen. Tests set it to zero to see every change.
inline std::chrono::steady_clock::duration& progressFrameInterval() {
    static std::chrono::steady_clock::duration interval = std::chrono::milliseconds(16);
    return interval;
}

// The shortest time between two repaints of the window during a fill (when it lets
// pending events run): often enough for the bar to move, rarely enough that repainting
// does not become the work. Tests set it to zero to let events in at every bar change.
inline std::chrono::steady_clock::duration& fillRepaintInterval() {
    static std::chrono::steady_clock::duration interval = std::chrono::milliseconds(100);
    return interval;
}

// Follows a fill: step() says whether the bar must be set for the new row count.
class FillProgress {
public:
    using Clock = std::chrono::steady_clock;
    FillProgress(int minimum, int maximum, Clock::duration interval = progressFrameInterval())
        : minimum_(minimum), maximum_(maximum), interval_(interval) {}

    // True when, after `rows` rows, the bar shows something new and the last setting is at
    // least one interval old; position() is then the value to give it. The first row
    // always sets the bar. The clock is read only when what the bar shows changes.
    bool step(int rows) { return step(rows, [] { return Clock::now(); }); }
    bool step(int rows, Clock::time_point now) { return step(rows, [now] { return now; }); }

    template <class Now>
    bool step(int rows, Now clock) {
        position_ = fillProgressPosition(rows);
        const int shown = shownProgress(position_, minimum_, maximum_);
        if (shown == shown_) return false;
        const Clock::time_point now = clock();
        if (shown_ >= 0 && now - lastSet_ < interval_) return false;
        shown_ = shown;
        lastSet_ = now;
        return true;
    }
    int position() const { return position_; }

private:
    int minimum_, maximum_;
    Clock::duration interval_;
    int position_ = 0;
    int shown_ = -1;  // nothing shown yet
    Clock::time_point lastSet_{};
};

}  // namespace query
