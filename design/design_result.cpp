#include "design/design_result.h"

namespace kiro {

DesignResult designSucceeded() {
    return DesignResult{};
}

DesignResult designRefused() {
    DesignResult result;
    result.ok = false;
    return result;
}

DesignResult designFailed(DesignFailure failure, const DesignFailureDetails& details) {
    DesignResult result;
    result.ok = false;
    result.failure = failure;
    result.details = details;
    return result;
}

} // namespace kiro
