#include "app/dialogs/optimizer_dialog.h"

#include <optional>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/dialog_support.h"
#include "app/dialogs/number_fields.h"
#include "app/document.h"
#include "app/shell_text.h"

namespace kiro::app {

namespace {

constexpr int kSphericalId = 101;
constexpr int kFirstSphericalLineId = 102;
constexpr int kChromaticId = 111;
constexpr int kFirstChromaticLineId = 112;
constexpr int kOscId = 121;
constexpr int kRangeId = 131;
constexpr int kFirstKindId = 141;

// A range of 0 % or less would search nothing; above 100 % radii would change sign.
constexpr NumberLimits kRangeLimits{0.0, 100.0, true, false};

constexpr const char* kContext = "kiro::app::OptimizerDialog";
const char* const kKindLabels[3] = {
    QT_TRANSLATE_NOOP("kiro::app::OptimizerDialog", "球面レンズ"),
    QT_TRANSLATE_NOOP("kiro::app::OptimizerDialog", "球面鏡"),
    QT_TRANSLATE_NOOP("kiro::app::OptimizerDialog", "レンズ間距離")};

} // namespace

OptimizerDialog::OptimizerDialog(Document& document, QWidget* parent)
    : QDialog(parent), document_(document) {
    setObjectName(QStringLiteral("OPTMIZE"));
    setWindowTitle(tr("レンズデータの最適化"));
    setModal(true);
    const OptimizerSettings& s = document.optimizerSettings();

    auto* sphericalBox = new QGroupBox(this);
    spherical_ = makeCheck(this, kSphericalId, tr("球面収差最小"), s.minimiseSpherical);
    sphericalLine_ = makeLineButtons(sphericalBox, kFirstSphericalLineId, s.sphericalLine);

    auto* chromaticBox = new QGroupBox(this);
    chromatic_ = makeCheck(this, kChromaticId, tr("色収差最小"), s.minimiseChromatic);
    chromaticLines_ = makeLineChecks(chromaticBox, kFirstChromaticLineId, chromaticMask(s));

    osc_ = makeCheck(this, kOscId, tr("OSC最小"), s.minimiseOsc);

    range_ = new QLineEdit(formatNumber("%lg", s.changeRangePercent), this);
    range_->setObjectName(QString::number(kRangeId));
    range_->setToolTip(
        tr("最初のパスで曲率半径を変える幅。パスごとに半分になり、1%未満で終わります"));
    auto* rangeRow = new QFormLayout;
    rangeRow->addRow(tr("パラメータの変更範囲(%)"), range_);

    auto* kindsBox = new QGroupBox(tr("変化させるパラメータ"), this);
    auto* kindsLayout = new QHBoxLayout(kindsBox);
    const bool kept[3] = {s.varySphericalLenses, s.varySphericalMirrors, s.varyLensSpacings};
    for (int k = 0; k < 3; ++k) {
        kinds_[k] = makeCheck(kindsBox, kFirstKindId + k,
                              QCoreApplication::translate(kContext, kKindLabels[k]), kept[k]);
        kindsLayout->addWidget(kinds_[k]);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(spherical_);
    layout->addWidget(sphericalBox);
    layout->addWidget(chromatic_);
    layout->addWidget(chromaticBox);
    layout->addWidget(osc_);
    layout->addLayout(rangeRow);
    layout->addWidget(kindsBox);
    layout->addWidget(makeOkCancelButtons(this));
}

OptimizerSettings OptimizerDialog::settings() const {
    OptimizerSettings s;
    s.minimiseSpherical = spherical_->isChecked();
    s.sphericalLine = checkedLine(sphericalLine_, kFirstSphericalLineId, WavelengthLine::d);
    s.minimiseChromatic = chromatic_->isChecked();
    const int mask = checkedMask(chromaticLines_, kFirstChromaticLineId);
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        s.chromaticLines[line - WavelengthLine::First] = (mask & (1 << line)) != 0;
    }
    s.minimiseOsc = osc_->isChecked();
    const NumberReading range =
        readNumberText(range_->text().toStdString(), desktopDecimalMarks(), kRangeLimits);
    s.changeRangePercent =
        range.ok() ? range.value : document_.optimizerSettings().changeRangePercent;
    s.varySphericalLenses = kinds_[0]->isChecked();
    s.varySphericalMirrors = kinds_[1]->isChecked();
    s.varyLensSpacings = kinds_[2]->isChecked();
    return s;
}

void OptimizerDialog::accept() {
    const std::optional<double> range =
        readNumberField(this, range_, tr("パラメータの変更範囲(%)"), kRangeLimits);
    if (!range) {
        return;
    }
    OptimizerSettings chosen = settings();
    chosen.changeRangePercent = *range;
    document_.setOptimizerSettings(chosen);
    QDialog::accept();
}

} // namespace kiro::app
