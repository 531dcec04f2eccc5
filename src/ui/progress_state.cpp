#include "ui/progress_state.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace kv::ui {

void ProgressState::setRange(int minimum, int maximum) {
    if (maximum < minimum)
        throw std::runtime_error("Progress bar range " + std::to_string(minimum) + ".." + std::to_string(maximum) +
                                 " is not valid");
    minimum_ = minimum;
    maximum_ = maximum;
    setPosition(position_);
}

void ProgressState::setPosition(int position) { position_ = std::clamp(position, minimum_, maximum_); }

}  // namespace kv::ui
