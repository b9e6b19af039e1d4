#include "app/dialogs/refractor_designer_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/design_failure_text.h"
#include "app/dialogs/dialog_support.h"
#include "app/dialogs/number_fields.h"
#include "app/document.h"
#include "app/edit_steps.h"
#include "presenters/design_dialog_logic.h"

namespace kiro::app {

namespace {

constexpr int kTypeId = 101;
constexpr int kApertureId = 102;
constexpr int kFNumberId = 103;
constexpr int kFirstGlassId = 104;
constexpr int kFirstMeasureId = 107; // spherical, chromatic, OSC
constexpr int kFirstLineId = 110;
constexpr int kFirstChromaticId = 116;
constexpr int kFirstThicknessId = 130;

constexpr const char* kTypeContext = "RefractorType";
const char* const kTypeNames[kRefractorTypeCount] = {
    QT_TRANSLATE_NOOP("RefractorType", "２枚玉屈折"),
    QT_TRANSLATE_NOOP("RefractorType", "２枚玉＋フラットナー")};
constexpr GlassControl kGlassControls[3] = {GlassControl::Glass1, GlassControl::Glass2,
                                            GlassControl::Glass3};
constexpr const char* kContext = "kiro::app::RefractorDesignerDialog";
const char* const kMeasureLabels[3] = {
    QT_TRANSLATE_NOOP("kiro::app::RefractorDesignerDialog", "球面収差最小"),
    QT_TRANSLATE_NOOP("kiro::app::RefractorDesignerDialog", "色収差最小"),
    QT_TRANSLATE_NOOP("kiro::app::RefractorDesignerDialog", "OSC最小")};
constexpr MeasureFlag kMeasureBits[3] = {MeasureFlag::Spherical, MeasureFlag::Chromatic,
                                         MeasureFlag::SineCondition};

} // namespace

RefractorDesignerDialog::RefractorDesignerDialog(Document& document, QWidget* parent)
    : QDialog(parent), document_(document) {
    setObjectName(QStringLiteral("DESIGN2"));
    setWindowTitle(tr("屈折望遠鏡設計"));
    setModal(true);
    const RefractorInputs& kept = document.refractorInputs();

    type_ = makeList(this, kTypeId, translatedNames(kTypeContext, kTypeNames));
    selectPosition(type_, listPosition(kept.type));
    aperture_ = makeEdit(this, kApertureId, kept.aperture);
    fNumber_ = makeEdit(this, kFNumberId, kept.fNumber);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(tr("望遠鏡の種類"), this), 0, 0);
    top->addWidget(type_, 0, 1, 1, 3);
    top->addWidget(new QLabel(tr("口径(mm)"), this), 1, 0);
    top->addWidget(aperture_, 1, 1);
    top->addWidget(new QLabel(tr("F値"), this), 1, 2);
    top->addWidget(fNumber_, 1, 3);

    const QStringList glasses = glassNames(document.catalog());
    const int keptGlass[3] = {kept.glass1, kept.glass2, kept.glass3};
    const double keptThickness[3] = {kept.thickness1, kept.thickness2, kept.thickness3};
    for (int g = 0; g < 3; ++g) {
        glasses_[g] = makeList(this, kFirstGlassId + g, glasses);
        selectPosition(glasses_[g], keptGlass[g]);
        thicknesses_[g] = makeEdit(this, kFirstThicknessId + g, keptThickness[g]);
        thicknesses_[g]->setToolTip(tr("レンズの中心の厚み。0 以下なら自動で決めます"));
        top->addWidget(new QLabel(glassControlLabel(kGlassControls[g]), this), 2 + g, 0);
        top->addWidget(glasses_[g], 2 + g, 1);
        top->addWidget(new QLabel(tr("厚み(mm)"), this), 2 + g, 2);
        top->addWidget(thicknesses_[g], 2 + g, 3);
    }
    top->setColumnStretch(1, 2);
    top->setColumnStretch(3, 1);

    auto* measures = new QHBoxLayout;
    for (int m = 0; m < 3; ++m) {
        measures_[m] = makeCheck(this, kFirstMeasureId + m,
                                 QCoreApplication::translate(kContext, kMeasureLabels[m]),
                                 kept.measureFlags.has(kMeasureBits[m]));
        measures->addWidget(measures_[m]);
    }
    measures->addStretch(1);

    auto* lines = new QGroupBox(tr("基準の光の波長"), this);
    line_ = makeLineButtons(lines, kFirstLineId, kept.line);
    auto* chromatic = new QGroupBox(tr("色収差を見る波長"), this);
    chromaticLines_ = makeLineChecks(chromatic, kFirstChromaticId, kept.chromaticMask);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(measures);
    layout->addWidget(lines);
    layout->addWidget(chromatic);
    layout->addWidget(makeOkCancelButtons(this));
}

void RefractorDesignerDialog::accept() {
    RefractorInputs read;
    read.type = refractorTypeAt(type_->currentIndex());
    read.glass1 = glasses_[0]->currentIndex();
    read.glass2 = glasses_[1]->currentIndex();
    read.glass3 = glasses_[2]->currentIndex();
    read.measureFlags = {};
    for (int m = 0; m < 3; ++m) {
        read.measureFlags.set(kMeasureBits[m], measures_[m]->isChecked());
    }
    read.line = checkedLine(line_, kFirstLineId, WavelengthLine::d);
    read.chromaticMask = checkedMask(chromaticLines_, kFirstChromaticId);
    const std::optional<double> aperture = readNumberField(this, aperture_, tr("口径(mm)"));
    if (!aperture) {
        return;
    }
    const std::optional<double> fNumber = readNumberField(this, fNumber_, tr("F値"));
    if (!fNumber) {
        return;
    }
    double* const thicknesses[3] = {&read.thickness1, &read.thickness2, &read.thickness3};
    for (int g = 0; g < 3; ++g) {
        const QString name =
            tr("%1の厚み(mm)").arg(glassControlLabel(kGlassControls[static_cast<size_t>(g)]));
        const std::optional<double> thickness = readNumberField(this, thicknesses_[g], name);
        if (!thickness) {
            return;
        }
        *thicknesses[g] = *thickness;
    }
    read.aperture = *aperture;
    read.fNumber = *fNumber;

    LensSystem lens = document_.lens();
    RefractorInputs kept;
    int referenceLine = document_.referenceLine();
    const DesignResult result = confirmRefractorInputs(
        lens, kept, referenceLine, correctedRefractorInputs(read), document_.catalog());
    document_.setRefractorInputs(kept);
    document_.setReferenceLine(referenceLine);
    if (finishDesign(this, document_, lens, result, referenceLine,
                     stepName(EditStep::RefractorDesign))) {
        QDialog::accept();
    }
}

bool runRefractorDesigner(Document& document, QWidget* parent) {
    RefractorDesignerDialog dialog(document, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace kiro::app
