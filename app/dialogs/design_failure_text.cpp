#include "app/dialogs/design_failure_text.h"

#include <cstring>

#include <QCoreApplication>

#include "app/shell_text.h"
#include "model/text_bytes.h"

namespace kiro::app {

namespace {

QString number(double value) {
    return formatNumber("%g", value);
}

} // namespace

QString glassControlLabel(GlassControl control) {
    switch (control) {
    case GlassControl::Glass1:
        return QCoreApplication::translate("GlassControl", "第１ガラス材");
    case GlassControl::Glass2:
        return QCoreApplication::translate("GlassControl", "第２ガラス材");
    case GlassControl::Glass3:
        return QCoreApplication::translate("GlassControl", "第３ガラス材");
    case GlassControl::Corrector:
        return QCoreApplication::translate("GlassControl", "補正版のガラス材");
    }
    return {};
}

QString designFailureText(const DesignResult& result) {
    const DesignFailureDetails& d = result.details;
    const QString control = glassControlLabel(d.control);
    switch (result.failure) {
    case DesignFailure::None:
        return {};
    case DesignFailure::TypeNotChosen:
        return QCoreApplication::translate("DesignFailure", "「%1」が選ばれていません。")
            .arg(QCoreApplication::translate("DesignFailure", "望遠鏡の種類"));
    case DesignFailure::GlassNotChosen:
        return QCoreApplication::translate("DesignFailure", "「%1」が選ばれていません。")
            .arg(control);
    case DesignFailure::UnusableLine:
        return QCoreApplication::translate("DesignFailure", "基準の光の波長が正しくありません。");
    case DesignFailure::GlassIndexNotAboveOne:
        // As the core: a name that is not UTF-8 is left out for the glass's number.
        if (d.glassName[0] != '\0' && isValidUtf8(d.glassName, std::strlen(d.glassName))) {
            return QCoreApplication::translate(
                       "DesignFailure",
                       "「%1」の %2 は基準の波長での屈折率が1を超えないため使えません。")
                .arg(control, QString::fromUtf8(d.glassName));
        }
        return QCoreApplication::translate(
                   "DesignFailure",
                   "「%1」のガラス（%2番）は基準の波長での屈折率が1を超えないため使えません。")
            .arg(control)
            .arg(d.glass);
    case DesignFailure::UnusableSize:
        return QCoreApplication::translate("DesignFailure",
                                           "口径とF値には正の数を指定してください。");
    case DesignFailure::NoTwoMirrorSolution:
        return QCoreApplication::translate(
                   "DesignFailure",
                   "口径 %1 mm、焦点距離 %2 mm、曲率比 %3、バックフォーカス %4 mm を満たす"
                   "２枚鏡の配置が見つかりません。")
            .arg(number(d.aperture), number(d.focalLength), number(d.ratio), number(d.backFocus));
    case DesignFailure::NoSchmidtCorrector:
        return QCoreApplication::translate("DesignFailure",
                                           "口径 %1 mm、焦点距離 %2 mm ではシュミット補正板を計算"
                                           "できません（F値が小さすぎます）。")
            .arg(number(d.aperture), number(d.focalLength));
    case DesignFailure::UntraceableFocalLength:
        return QCoreApplication::translate(
            "DesignFailure", "設計したレンズの焦点距離を光線追跡で求められませんでした。");
    }
    return {};
}

} // namespace kiro::app
