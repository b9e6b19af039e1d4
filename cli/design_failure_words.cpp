#include "cli/design_failure_words.h"

#include <cstdio>
#include <cstring>

#include "model/c_numbers.h"
#include "model/text_bytes.h"

namespace kiro::cli {

namespace {

constexpr size_t kMessageBytes = 256;

// The label of both designers' type list.
constexpr const char* kTypeListName = "望遠鏡の種類";

// The control's label in the designer dialogs.
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

} // namespace

std::string designFailureWords(const DesignResult& result) {
    char out[kMessageBytes];
    constexpr size_t size = sizeof out;
    const DesignFailureDetails& d = result.details;
    const char* control = glassControlName(d.control);
    switch (result.failure) {
    case DesignFailure::None:
        return {};
    case DesignFailure::TypeNotChosen:
        snprintfC(out, size, "「%s」が選ばれていません。", kTypeListName);
        return out;
    case DesignFailure::GlassNotChosen:
        snprintfC(out, size, "「%s」が選ばれていません。", control);
        return out;
    case DesignFailure::UnusableLine:
        snprintfC(out, size, "基準の光の波長が正しくありません。");
        return out;
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
        return out;
    case DesignFailure::UnusableSize:
        snprintfC(out, size, "口径とF値には正の数を指定してください。");
        return out;
    case DesignFailure::NoTwoMirrorSolution:
        snprintfC(out, size,
                  "口径 %g mm、焦点距離 %g mm、曲率比 %g、バックフォーカス %g mm を満たす"
                  "２枚鏡の配置が見つかりません。",
                  d.aperture, d.focalLength, d.ratio, d.backFocus);
        return out;
    case DesignFailure::NoSchmidtCorrector:
        snprintfC(out, size,
                  "口径 %g mm、焦点距離 %g mm ではシュミット補正板を計算できません"
                  "（F値が小さすぎます）。",
                  d.aperture, d.focalLength);
        return out;
    case DesignFailure::UntraceableFocalLength:
        snprintfC(out, size, "設計したレンズの焦点距離を光線追跡で求められませんでした。");
        return out;
    }
    return {};
}

} // namespace kiro::cli
