#include "design/design_result.h"

#include <cstdio>
#include <cstring>

#include "model/c_numbers.h"
#include "model/text_bytes.h"

namespace kiro {

namespace {

// The message of a failure in the core's words.
void writeMessage(DesignResult& result) {
    char* out = result.message;
    constexpr size_t size = sizeof result.message;
    const DesignFailureDetails& d = result.details;
    const char* control = glassControlName(d.control);
    switch (result.failure) {
    case DesignFailure::None:
        out[0] = '\0';
        return;
    case DesignFailure::TypeNotChosen:
        snprintfC(out, size, "「%s」が選ばれていません。", kDesignTypeListName);
        return;
    case DesignFailure::GlassNotChosen:
        snprintfC(out, size, "「%s」が選ばれていません。", control);
        return;
    case DesignFailure::UnusableLine:
        snprintfC(out, size, "基準の光の波長が正しくありません。");
        return;
    case DesignFailure::GlassIndexNotAboveOne:
        // A name that is not UTF-8 (CP932 catalogues) would spoil the message's encoding.
        if (d.glassName[0] != '\0' && isValidUtf8(d.glassName, std::strlen(d.glassName))) {
            snprintfC(out, size, "「%s」の %s は基準の波長での屈折率が1を超えないため使えません。",
                      control, d.glassName);
        } else {
            snprintfC(out, size,
                      "「%s」のガラス（%d番）は基準の波長での屈折率が1を超えないため使えません。",
                      control, d.glass);
        }
        return;
    case DesignFailure::UnusableSize:
        snprintfC(out, size, "口径とF値には正の数を指定してください。");
        return;
    case DesignFailure::NoTwoMirrorSolution:
        snprintfC(out, size,
                  "口径 %g mm、焦点距離 %g mm、曲率比 %g、バックフォーカス %g mm を満たす"
                  "２枚鏡の配置が見つかりません。",
                  d.aperture, d.focalLength, d.ratio, d.backFocus);
        return;
    case DesignFailure::NoSchmidtCorrector:
        snprintfC(out, size,
                  "口径 %g mm、焦点距離 %g mm ではシュミット補正板を計算できません"
                  "（F値が小さすぎます）。",
                  d.aperture, d.focalLength);
        return;
    case DesignFailure::UntraceableFocalLength:
        snprintfC(out, size, "設計したレンズの焦点距離を光線追跡で求められませんでした。");
        return;
    }
    out[0] = '\0';
}

} // namespace

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
    writeMessage(result);
    return result;
}

const char* glassControlName(GlassControl control) {
    switch (control) {
    case GlassControl::Glass1:
        return "第１ガラス材";
    case GlassControl::Glass2:
        return "第２ガラス材";
    case GlassControl::Glass3:
        return "第３ガラス材";
    case GlassControl::Corrector:
        return "補正版のガラス材";
    }
    return "";
}

} // namespace kiro
