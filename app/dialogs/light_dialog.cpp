#include "app/dialogs/light_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/dialogs/analysis_view.h"

namespace kiro::app {

namespace {

constexpr int kScrollBarId = 101;

QString percentText(int percent) {
    return QStringLiteral("%1%").arg(percent);
}

} // namespace

LightDialog::LightDialog(const LensSystem& lens, QWidget* parent)
    : AnalysisDialog(lens, QSize(kLightDialogWidth, kLightDialogHeight),
                     QStringLiteral("light.png"), parent) {
    setObjectName(QStringLiteral("BRIGHT"));
    setWindowTitle(tr("光量曲線"));

    auto* value = new QLabel(percentText(floor_), this);
    value->setObjectName(QStringLiteral("floorValue"));
    // Room for "90%" so that the bar does not jump as the number grows.
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(percentText(kLightFloorMax)));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QScrollBar* bar = makeScrollBar(kScrollBarId, kLightFloorMin, kLightFloorMax, floor_);
    connect(bar, &QScrollBar::valueChanged, this, [this, value](int floor) {
        floor_ = floor;
        value->setText(percentText(floor));
        repaintView();
    });

    auto* floorRow = new QHBoxLayout;
    floorRow->addWidget(new QLabel(tr("下端の光量"), this));
    floorRow->addWidget(bar, 1);
    floorRow->addWidget(value);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(view());
    layout->addLayout(floorRow);
    layout->addLayout(makeButtonRow());
}

void LightDialog::paintCurrent(Canvas& canvas) const {
    paintLightDialog(canvas, lens().surfaces, lens().settings, kLightDialogWidth,
                     kLightDialogHeight - kLightButtonStrip, floor_);
}

} // namespace kiro::app
