#include "app/dialogs/reflector_designer_dialog.h"

#include <optional>

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/design_failure_text.h"
#include "app/dialogs/dialog_support.h"
#include "app/dialogs/number_fields.h"
#include "app/document.h"
#include "app/edit_steps.h"
#include "app/shell_text.h"
#include "presenters/design_dialog_logic.h"

namespace kiro::app {

namespace {

constexpr int kTypeId = 101;
constexpr int kApertureId = 102;
constexpr int kFNumberId = 103;
constexpr int kGlassId = 104;
constexpr int kFirstLineId = 105;
constexpr int kRatioId = 120;
constexpr int kBackFocusId = 121;

constexpr const char* kTypeContext = "ReflectorType";
const char* const kTypeNames[kReflectorTypeCount] = {
    QT_TRANSLATE_NOOP("ReflectorType", "ニュートン"),
    QT_TRANSLATE_NOOP("ReflectorType", "純カセグレン"),
    QT_TRANSLATE_NOOP("ReflectorType", "マクストーフニュートン"),
    QT_TRANSLATE_NOOP("ReflectorType", "マクストーフカセグレン"),
    QT_TRANSLATE_NOOP("ReflectorType", "ドール・カーカム"),
    QT_TRANSLATE_NOOP("ReflectorType", "シュミットカセグレン"),
    QT_TRANSLATE_NOOP("ReflectorType", "ベーカー・シュミットカセグレン"),
    QT_TRANSLATE_NOOP("ReflectorType", "シュミットカメラ")};

} // namespace

ReflectorDesignerDialog::ReflectorDesignerDialog(Document& document, QWidget* parent)
    : QDialog(parent), document_(document) {
    setObjectName(QStringLiteral("DESIGN1"));
    setWindowTitle(tr("反射望遠鏡設計"));
    setModal(true);
    const ReflectorInputs& kept = document.reflectorInputs();

    type_ = makeList(this, kTypeId, translatedNames(kTypeContext, kTypeNames));
    selectPosition(type_, listPosition(kept.type));
    aperture_ = makeEdit(this, kApertureId, kept.aperture);
    fNumber_ = makeEdit(this, kFNumberId, kept.fNumber);
    ratio_ = makeEdit(this, kRatioId, kept.ratio);
    backFocus_ = makeEdit(this, kBackFocusId, kept.backFocus);
    glass_ = makeList(this, kGlassId, glassNames(document.catalog()));
    selectPosition(glass_, kept.glass);

    auto* form = new QFormLayout;
    form->addRow(tr("望遠鏡の種類"), type_);
    form->addRow(tr("口径(mm)"), aperture_);
    form->addRow(tr("F値"), fNumber_);
    form->addRow(tr("副鏡の曲率／主鏡の曲率"), ratio_);
    form->addRow(tr("バックフォーカス距離"), backFocus_);
    form->addRow(glassControlLabel(GlassControl::Corrector), glass_);

    auto* lines = new QGroupBox(tr("基準の光の波長"), this);
    line_ = makeLineButtons(lines, kFirstLineId, kept.line);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lines);
    layout->addWidget(makeOkCancelButtons(this));
}

void ReflectorDesignerDialog::accept() {
    ReflectorInputs read;
    read.type = reflectorTypeAt(type_->currentIndex());
    read.glass = glass_->currentIndex();
    read.line = checkedLine(line_, kFirstLineId, WavelengthLine::d);
    const std::optional<double> aperture = readNumberField(this, aperture_, tr("口径(mm)"));
    if (!aperture) {
        return;
    }
    const std::optional<double> fNumber = readNumberField(this, fNumber_, tr("F値"));
    if (!fNumber) {
        return;
    }
    const std::optional<double> ratio = readNumberField(this, ratio_, tr("副鏡の曲率／主鏡の曲率"));
    if (!ratio) {
        return;
    }
    // An empty back focus means the aperture.
    const bool emptyBack = backFocus_->text().trimmed().isEmpty();
    const std::optional<double> backFocus =
        emptyBack ? 0.0 : readNumberField(this, backFocus_, tr("バックフォーカス距離"));
    if (!backFocus) {
        return;
    }
    read.aperture = *aperture;
    read.fNumber = *fNumber;
    read.ratio = *ratio;
    read.backFocus = *backFocus;

    LensSystem lens = document_.lens();
    ReflectorInputs kept;
    int referenceLine = document_.referenceLine();
    const DesignResult result = confirmReflectorInputs(
        lens, kept, referenceLine, correctedReflectorInputs(read, emptyBack), document_.catalog());
    document_.setReflectorInputs(kept);
    document_.setReferenceLine(referenceLine);
    if (finishDesign(this, document_, lens, result, referenceLine,
                     stepName(EditStep::ReflectorDesign))) {
        QDialog::accept();
    }
}

bool runReflectorDesigner(Document& document, QWidget* parent) {
    ReflectorDesignerDialog dialog(document, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace kiro::app
