#include "design/design_result.h"

#include <cstdarg>
#include <cstdio>

namespace kiro {

DesignResult designSucceeded() {
    return DesignResult{};
}

DesignResult designRefused() {
    DesignResult result;
    result.ok = false;
    return result;
}

DesignResult designFailed(const char* format, ...) {
    DesignResult result;
    result.ok = false;
    va_list args;
    va_start(args, format);
    std::vsnprintf(result.message, sizeof result.message, format, args);
    va_end(args);
    return result;
}

} // namespace kiro
