#include "app/dialogs/settings_dialog.h"

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

QLineEdit* numberEdit(int id, const QString& text, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(idName(id));
    edit->setFixedWidth(kNumberEditWidth);
    return edit;
}

QRadioButton* radio(int id, const QString& text, QWidget* parent) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(idName(id));
    return button;
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
    viewGrid->addWidget(numberEdit(ControlId::RayCount, unsignedText(s.rayCount), view), 0, 1);
    viewGrid->addWidget(new QLabel(tr("本"), view), 0, 2);
    viewGrid->addWidget(new QLabel(tr("・光線の入射角"), view), 1, 0);
    viewGrid->addWidget(numberEdit(ControlId::IncidenceAngle,
                                   formatNumber("%.2lf", s.incidenceAngle / 100.0), view),
                        1, 1);
    viewGrid->addWidget(new QLabel(tr("度"), view), 1, 2);
    viewGrid->setColumnStretch(3, 1);

    auto* spot = new QGroupBox(tr("スポットダイヤグラム"), this);
    auto* spotGrid = new QGridLayout(spot);
    auto* fixedPoints = radio(ControlId::FixedPoints, tr("ポイント数固定"), spot);
    fixedPitch_ = radio(ControlId::FixedPitch, tr("ピッチ固定"), spot);
    (s.spotGridMode == 0 ? fixedPoints : fixedPitch_)->setChecked(true);
    spotGrid->addWidget(fixedPoints, 0, 0);
    spotGrid->addWidget(new QLabel(tr("縦横共に"), spot), 0, 1);
    spotGrid->addWidget(numberEdit(ControlId::GridPoints, unsignedText(s.spotGridPoints), spot), 0,
                        2);
    spotGrid->addWidget(new QLabel(tr("ポイント"), spot), 0, 3);
    spotGrid->addWidget(fixedPitch_, 1, 0);
    spotGrid->addWidget(new QLabel(tr("ピッチ"), spot), 1, 1);
    spotGrid->addWidget(numberEdit(ControlId::GridPitch, unsignedText(s.spotGridPitch), spot), 1,
                        2);
    spotGrid->addWidget(new QLabel(QStringLiteral("mm"), spot), 1, 3);
    spotGrid->setColumnStretch(4, 1);

    auto* source = new QGroupBox(tr("光源の位置"), this);
    auto* sourceBox = new QVBoxLayout(source);
    auto* infinity = radio(ControlId::Infinity, tr("無限遠"), source);
    pointSource_ = radio(ControlId::PointSource, tr("座標指定"), source);
    (s.sourceMode == 0 ? infinity : pointSource_)->setChecked(true);
    sourceBox->addWidget(infinity);
    auto* coordinates = new QHBoxLayout;
    coordinates->addWidget(pointSource_);
    coordinates->addWidget(new QLabel(QStringLiteral("("), source));
    coordinates->addWidget(numberEdit(ControlId::SourceX, formatNumber("%lg", s.sourceX), source));
    coordinates->addWidget(new QLabel(QStringLiteral(","), source));
    coordinates->addWidget(numberEdit(ControlId::SourceY, formatNumber("%lg", s.sourceY), source));
    coordinates->addWidget(new QLabel(QStringLiteral(","), source));
    coordinates->addWidget(numberEdit(ControlId::SourceZ, formatNumber("%lg", s.sourceZ), source));
    coordinates->addWidget(new QLabel(QStringLiteral(")"), source));
    coordinates->addStretch(1);
    sourceBox->addLayout(coordinates);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view);
    layout->addWidget(spot);
    layout->addWidget(source);
    layout->addWidget(makeOkCancelButtons(this));
}

QLineEdit* SettingsDialog::edit(int id) {
    return findChild<QLineEdit*>(idName(id));
}

void SettingsDialog::accept() {
    SettingsEntry entry;
    entry.gridMode = fixedPitch_->isChecked() ? 1 : 0;
    entry.sourceMode = pointSource_->isChecked() ? 1 : 0;
    entry.rayCount = readUnsigned(edit(ControlId::RayCount)->text());
    entry.incidenceDegrees = readNumber(edit(ControlId::IncidenceAngle)->text());
    entry.gridPoints = readUnsigned(edit(ControlId::GridPoints)->text());
    entry.gridPitch = readUnsigned(edit(ControlId::GridPitch)->text());
    entry.sourceX = readNumber(edit(ControlId::SourceX)->text());
    entry.sourceY = readNumber(edit(ControlId::SourceY)->text());
    entry.sourceZ = readNumber(edit(ControlId::SourceZ)->text());
    document_.applySettings(acceptSettingsEntry(document_.lens().settings, entry),
                            stepName(EditStep::Settings));
    QDialog::accept();
}

void SettingsDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    done(QDialog::Accepted);
}

} // namespace kiro::app
