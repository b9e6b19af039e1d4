#include "app/dialogs/curve_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QScrollBar>

#include "app/dialogs/analysis_view.h"

namespace kiro::app {

namespace {

constexpr int kScrollBarId = 101;
constexpr int kFirstLineBoxId = 102;

} // namespace

CurveDialog::CurveDialog(const LensSystem& lens, QWidget* parent)
    : AnalysisDialog(lens, QSize(kCurveDialogWidth, kCurveDialogHeight),
                     QStringLiteral("curves.png"), parent) {
    setObjectName(QStringLiteral("ERR"));
    setWindowTitle(tr("球面収差曲線"));
    state_.curveScale = curveScaleForScroll(state_.curveScrollPos);

    // The plot is tall: the controls stand beside it.
    QGroupBox* lineGroup = makeLineGroup(kFirstLineBoxId, state_.curveLineShown);
    lineGroup->layout()->addWidget(new QLabel(tr("黒線：正弦条件 (d線)"), lineGroup));

    QScrollBar* bar =
        makeScrollBar(kScrollBarId, kCurveScrollMin, kCurveScrollMax, state_.curveScrollPos);
    connect(bar, &QScrollBar::valueChanged, this, [this](int pos) {
        state_.curveScrollPos = pos;
        state_.curveScale = curveScaleForScroll(pos);
        repaintView();
    });

    placeBesideView(lineGroup, {{tr("横軸の倍率"), bar}});
}

void CurveDialog::paintCurrent(Canvas& canvas) const {
    paintCurveDialog(canvas, state_, lens().surfaces, lens().settings, kCurveDialogWidth,
                     kCurveDialogHeight - kCurveButtonStrip);
}

} // namespace kiro::app
