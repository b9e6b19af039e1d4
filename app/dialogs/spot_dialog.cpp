#include "app/dialogs/spot_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/dialogs/analysis_view.h"

namespace kiro::app {

namespace {

constexpr int kFirstLineBoxId = 101;
constexpr int kScrollBarId = 107;
constexpr int kFirstHeightEditId = 108;

} // namespace

SpotDialog::SpotDialog(const LensSystem& lens, QWidget* parent)
    : AnalysisDialog(lens, QSize(kSpotDialogWidth, kSpotDialogHeight), QStringLiteral("spot.png"),
                     parent),
      state_(openSpotDialog(lens.surfaces)) {
    setObjectName(QStringLiteral("SPOT"));
    setWindowTitle(QStringLiteral("Spot Diagram"));

    // The line boxes stand beside the drawing, as in the curve dialog.
    QGroupBox* lineGroup = makeLineGroup(kFirstLineBoxId, state_.spotLineShown);
    // Ours: the d-line Airy disk and the spot radii under each panel; off on every opening.
    auto* airy = new QCheckBox(tr("エアリーディスク"), this);
    airy->setObjectName(QStringLiteral("airy"));
    connect(airy, &QCheckBox::toggled, this, [this](bool shown) {
        state_.spotAiryShown = shown;
        repaintView();
    });

    // One height edit under each panel.
    QGridLayout* heights = makeHeightEdits(kFirstHeightEditId, state_.spotHeight);

    auto* magnification = new QHBoxLayout;
    magnification->addWidget(new QLabel(tr("倍率"), this));
    QScrollBar* bar =
        makeScrollBar(kScrollBarId, kSpotScrollMin, kSpotScrollMax, state_.spotScrollPos);
    connect(bar, &QScrollBar::valueChanged, this, [this](int pos) {
        state_.spotScrollPos = pos;
        state_.spotMagnification = spotMagnificationForScroll(pos);
        repaintView();
    });
    magnification->addWidget(bar, 1);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(view(), 0, 0);
    auto* side = new QVBoxLayout;
    side->addWidget(lineGroup);
    side->addWidget(airy);
    side->addStretch(1);
    layout->addLayout(side, 0, 1);
    // The heights' columns take the drawing's width, so each edit sits under its panel.
    layout->addLayout(heights, 1, 0);
    layout->addLayout(magnification, 2, 0, 1, 2);
    layout->addLayout(makeButtonRow(), 3, 0, 1, 2);
}

void SpotDialog::paintCurrent(Canvas& canvas) const {
    paintSpotDialog(canvas, state_, lens().surfaces, lens().settings);
}

} // namespace kiro::app
