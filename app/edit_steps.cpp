#include "app/edit_steps.h"

#include <QCoreApplication>

namespace kiro::app {

QString stepName(EditStep step) {
    switch (step) {
    case EditStep::New:
        return QCoreApplication::translate("EditStep", "新規作成");
    case EditStep::Open:
        return QCoreApplication::translate("EditStep", "開く");
    case EditStep::LensData:
        return QCoreApplication::translate("EditStep", "レンズ設定");
    case EditStep::ApertureChange:
        return QCoreApplication::translate("EditStep", "口径変更");
    case EditStep::Description:
        return QCoreApplication::translate("EditStep", "説明入力");
    case EditStep::Settings:
        return QCoreApplication::translate("EditStep", "各種設定");
    case EditStep::RefractorDesign:
        return QCoreApplication::translate("EditStep", "屈折望遠鏡設計");
    case EditStep::ReflectorDesign:
        return QCoreApplication::translate("EditStep", "反射望遠鏡設計");
    case EditStep::Optimize:
        return QCoreApplication::translate("EditStep", "最適化");
    }
    return {};
}

} // namespace kiro::app
