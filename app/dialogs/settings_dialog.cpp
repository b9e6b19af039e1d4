#include "app/dialogs/settings_dialog.h"

#include <climits>
#include <optional>

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/dialog_buttons.h"
#include "app/dialogs/number_fields.h"
#include "app/document.h"
#include "app/edit_steps.h"
#include "app/shell_text.h"
#include "presenters/settings_fields.h"

namespace kiro::app {
namespace {

namespace ControlId {
constexpr int RayCount = 101;
constexpr int IncidenceAngle = 102;
constexpr int FixedPoints = 103;
constexpr int FixedPitch = 104;
constexpr int GridPoints = 105;
constexpr int GridPitch = 106;
constexpr int Infinity = 107;
constexpr int PointSource = 108;
constexpr int SourceX = 109;
constexpr int SourceY = 110;
constexpr int SourceZ = 111;
} // namespace ControlId

constexpr int kNumberEditWidth = 70;

QString idName(int id) {
    return QString::number(id);
}

// Empty until showSettings fills it.
QLineEdit* numberEdit(int id, QWidget* parent, const QString& tip) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(idName(id));
    edit->setToolTip(tip);
    edit->setFixedWidth(kNumberEditWidth);
    return edit;
}

QRadioButton* radio(int id, const QString& text, QWidget* parent) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(idName(id));
    return button;
}

// The angle is held in hundredths of a degree in an int.
constexpr NumberLimits kIncidenceLimits{INT_MIN / 100.0, INT_MAX / 100.0, false, false};

// A whole number of 0 or more for the unsigned fields; beyond their range it is clamped
// as any large count is.
unsigned saturatedUnsigned(double value) {
    return value >= static_cast<double>(UINT_MAX) ? UINT_MAX : static_cast<unsigned>(value);
}

// Integer fields show their value as an unsigned number.
QString unsignedText(int value) {
    return QString::number(static_cast<unsigned>(value));
}

} // namespace

SettingsDialog::SettingsDialog(Document& document, QWidget* parent)
    : QDialog(parent), document_(document) {
    setObjectName(QStringLiteral("CONF"));
    setWindowTitle(tr("各種設定"));
    const Settings& s = document_.lens().settings;

    auto* view = new QGroupBox(tr("光学系表示"), this);
    auto* viewGrid = new QGridLayout(view);
    viewGrid->addWidget(new QLabel(tr("・光線の数"), view), 0, 0);
    viewGrid->addWidget(
        numberEdit(ControlId::RayCount, view, tr("配置図に描く光線の本数（0〜20）")), 0, 1);
    viewGrid->addWidget(new QLabel(tr("本"), view), 0, 2);
    viewGrid->addWidget(new QLabel(tr("・光線の入射角"), view), 1, 0);
    viewGrid->addWidget(
        numberEdit(ControlId::IncidenceAngle, view, tr("軸外の光線が光軸となす角度")), 1, 1);
    viewGrid->addWidget(new QLabel(tr("度"), view), 1, 2);
    viewGrid->setColumnStretch(3, 1);

    auto* spot = new QGroupBox(tr("スポットダイヤグラム"), this);
    auto* spotGrid = new QGridLayout(spot);
    auto* fixedPoints = radio(ControlId::FixedPoints, tr("ポイント数固定"), spot);
    fixedPitch_ = radio(ControlId::FixedPitch, tr("ピッチ固定"), spot);
    (s.spotGridMode == SpotGridMode::FixedCount ? fixedPoints : fixedPitch_)->setChecked(true);
    spotGrid->addWidget(fixedPoints, 0, 0);
    spotGrid->addWidget(new QLabel(tr("縦横共に"), spot), 0, 1);
    spotGrid->addWidget(
        numberEdit(ControlId::GridPoints, spot, tr("開口の直径を横切る点の数（1〜100）")), 0, 2);
    spotGrid->addWidget(new QLabel(tr("ポイント"), spot), 0, 3);
    spotGrid->addWidget(fixedPitch_, 1, 0);
    spotGrid->addWidget(new QLabel(tr("ピッチ"), spot), 1, 1);
    spotGrid->addWidget(numberEdit(ControlId::GridPitch, spot, tr("点の間隔（1mm単位、1以上）")), 1,
                        2);
    spotGrid->addWidget(new QLabel(QStringLiteral("mm"), spot), 1, 3);
    spotGrid->setColumnStretch(4, 1);

    auto* source = new QGroupBox(tr("光源の位置"), this);
    auto* sourceBox = new QVBoxLayout(source);
    auto* infinity = radio(ControlId::Infinity, tr("無限遠"), source);
    pointSource_ = radio(ControlId::PointSource, tr("座標指定"), source);
    (s.sourceMode == SourceMode::Infinity ? infinity : pointSource_)->setChecked(true);
    sourceBox->addWidget(infinity);
    const QString sourceTip = tr("点光源の座標（mm）");
    auto* coordinates = new QHBoxLayout;
    coordinates->addWidget(pointSource_);
    coordinates->addWidget(new QLabel(QStringLiteral("("), source));
    coordinates->addWidget(numberEdit(ControlId::SourceX, source, sourceTip));
    coordinates->addWidget(new QLabel(QStringLiteral(","), source));
    coordinates->addWidget(numberEdit(ControlId::SourceY, source, sourceTip));
    coordinates->addWidget(new QLabel(QStringLiteral(","), source));
    coordinates->addWidget(numberEdit(ControlId::SourceZ, source, sourceTip));
    coordinates->addWidget(new QLabel(QStringLiteral(")"), source));
    coordinates->addStretch(1);
    sourceBox->addLayout(coordinates);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addWidget(spot);
    layout->addWidget(source);
    layout->addWidget(makeOkCancelButtons(this));
    showSettings(s);
}

QLineEdit* SettingsDialog::edit(int id) {
    return findChild<QLineEdit*>(idName(id));
}

void SettingsDialog::accept() {
    const auto read = [this](int id, const QString& name, const NumberLimits& limits) {
        return readNumberField(this, edit(id), name, limits);
    };
    const std::optional<double> rays =
        read(ControlId::RayCount, tr("光線の数"), kNonNegativeWholeNumber);
    if (!rays) {
        return;
    }
    const std::optional<double> angle =
        read(ControlId::IncidenceAngle, tr("光線の入射角"), kIncidenceLimits);
    if (!angle) {
        return;
    }
    const std::optional<double> points =
        read(ControlId::GridPoints, tr("ポイント数"), kNonNegativeWholeNumber);
    if (!points) {
        return;
    }
    const std::optional<double> pitch =
        read(ControlId::GridPitch, tr("ピッチ"), kNonNegativeWholeNumber);
    if (!pitch) {
        return;
    }
    std::optional<double> source[3];
    const int sourceIds[3] = {ControlId::SourceX, ControlId::SourceY, ControlId::SourceZ};
    for (int c = 0; c < 3; ++c) {
        source[c] = read(sourceIds[c], tr("光源の座標 %1").arg(QLatin1Char("xyz"[c])), {});
        if (!source[c]) {
            return;
        }
    }
    SettingsEntry entry;
    entry.gridMode = fixedPitch_->isChecked() ? SpotGridMode::FixedPitch : SpotGridMode::FixedCount;
    entry.sourceMode = pointSource_->isChecked() ? SourceMode::Point : SourceMode::Infinity;
    entry.rayCount = saturatedUnsigned(*rays);
    entry.incidenceDegrees = *angle;
    entry.gridPoints = saturatedUnsigned(*points);
    entry.gridPitch = saturatedUnsigned(*pitch);
    entry.sourceX = *source[0];
    entry.sourceY = *source[1];
    entry.sourceZ = *source[2];
    document_.applySettings(acceptSettingsEntry(document_.lens().settings, entry),
                            stepName(EditStep::Settings));
    // The fields show what was kept: clamped counts, the angle in whole hundredths.
    showSettings(document_.lens().settings);
    QDialog::accept();
}

void SettingsDialog::showSettings(const Settings& s) {
    edit(ControlId::RayCount)->setText(unsignedText(s.rayCount));
    edit(ControlId::IncidenceAngle)->setText(formatNumber("%.2lf", s.incidenceAngle / 100.0));
    edit(ControlId::GridPoints)->setText(unsignedText(s.spotGridPoints));
    edit(ControlId::GridPitch)->setText(unsignedText(s.spotGridPitch));
    edit(ControlId::SourceX)->setText(formatNumber("%lg", s.sourceX));
    edit(ControlId::SourceY)->setText(formatNumber("%lg", s.sourceY));
    edit(ControlId::SourceZ)->setText(formatNumber("%lg", s.sourceZ));
}

void SettingsDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    done(QDialog::Accepted);
}

} // namespace kiro::app
