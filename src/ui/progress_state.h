#pragma once
// The numbers of the progress bar and the rules they obey, shared by the window and the fake so
// that both refuse and clamp alike.

namespace kv::ui {

class ProgressState {
public:
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int position() const { return position_; }
    int step() const { return step_; }

    // Throws std::runtime_error when maximum < minimum (a record count of -1, for example).
    void setRange(int minimum, int maximum);
    // Kept within the range.
    void setPosition(int position);
    void setStep(int step) { step_ = step; }
    // Advances by one step, stopping at the maximum.
    void stepIt() { setPosition(position_ + step_); }

    bool operator==(const ProgressState&) const = default;

private:
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    int step_ = 10;
};

}  // namespace kv::ui
