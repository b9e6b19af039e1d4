#include "app/dialogs/fan_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/dialogs/analysis_view.h"

namespace kiro::app {

namespace {

constexpr int kScrollBarId = 101;
constexpr int kFirstLineBoxId = 102;
constexpr int kFirstHeightEditId = 108;
constexpr int kHeightEditWidth = 70;

} // namespace

FanDialog::FanDialog(const LensSystem& lens, QWidget* parent)
    : AnalysisDialog(lens, QSize(kFanPictureWidth, kFanPictureHeight), QStringLiteral("fans.png"),
                     parent),
      state_(openFanDialog(lens.surfaces)) {
    setObjectName(QStringLiteral("FANS"));
    setWindowTitle(tr("収差図"));

    QGroupBox* lineGroup = makeLineGroup(kFirstLineBoxId, state_.lineShown);

    auto* heights = new QHBoxLayout;
    heights->addWidget(new QLabel(tr("像高"), this));
    for (int j = 0; j < kSpotPanelCount; ++j) {
        QLineEdit* edit =
            makeHeightEdit(kFirstHeightEditId + j, j, state_.heights[static_cast<size_t>(j)]);
        edit->setFixedWidth(kHeightEditWidth);
        heights->addWidget(edit);
        heights->addWidget(new QLabel(QStringLiteral("mm"), this));
    }
    heights->addStretch(1);

    auto* scale = new QHBoxLayout;
    scale->addWidget(new QLabel(tr("縦軸の倍率"), this));
    QScrollBar* bar = makeScrollBar(kScrollBarId, kSpotScrollMin, kSpotScrollMax, state_.scrollPos);
    connect(bar, &QScrollBar::valueChanged, this, [this](int pos) {
        state_.scrollPos = pos;
        repaintView();
    });
    scale->addWidget(bar, 1);

    auto* side = new QVBoxLayout;
    side->addWidget(lineGroup);
    side->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(view(), 0, Qt::AlignTop);
    top->addLayout(side);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addLayout(heights);
    layout->addLayout(scale);
    layout->addLayout(makeButtonRow());
}

void FanDialog::paintCurrent(Canvas& canvas) const {
    paintRayFans(canvas, lens().surfaces, lens().settings, fanViewOf(state_));
}

} // namespace kiro::app
