#include "design/design_result.h"

#include <cstdarg>
#include <cstdio>

#include "model/c_numbers.h"

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
    vsnprintfC(result.message, sizeof result.message, format, args);
    va_end(args);
    return result;
}

} // namespace kiro
