#include "shell/progress_step.h"

namespace kv::shell {

int progressStep(long long recordCount) {
    long long hundredths = recordCount / 100;
    const long long remainder = recordCount % 100;
    if (remainder > 50 || (remainder == 50 && hundredths % 2 == 1)) ++hundredths;
    return static_cast<int>(hundredths + 1);
}

} // namespace kv::shell
