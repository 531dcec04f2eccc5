#pragma once
// The clock the benchmarks time their runs by.

#include <chrono>

namespace kv::bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace kv::bench
