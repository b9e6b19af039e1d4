#include "app/dialogs/field_dialog.h"

#include <QGroupBox>
#include <QScrollBar>

#include "app/dialogs/analysis_view.h"

namespace kiro::app {

namespace {

constexpr int kCurvatureBarId = 101;
constexpr int kFirstLineBoxId = 102;
constexpr int kDistortionBarId = 108;

} // namespace

FieldDialog::FieldDialog(const LensSystem& lens, QWidget* parent)
    : AnalysisDialog(lens, QSize(kFieldPictureWidth, kFieldPictureHeight),
                     QStringLiteral("field.png"), parent) {
    setObjectName(QStringLiteral("FIELD"));
    setWindowTitle(tr("像面湾曲・歪曲"));

    QGroupBox* lineGroup = makeLineGroup(kFirstLineBoxId, state_.lineShown);

    QScrollBar* curvature =
        makeScrollBar(kCurvatureBarId, kCurveScrollMin, kCurveScrollMax, state_.curvatureScrollPos);
    connect(curvature, &QScrollBar::valueChanged, this, [this](int pos) {
        state_.curvatureScrollPos = pos;
        repaintView();
    });
    QScrollBar* distortion = makeScrollBar(
        kDistortionBarId, 0, static_cast<int>(kDistortionScales.size()) - 1, state_.distortionStep);
    distortion->setPageStep(1);
    connect(distortion, &QScrollBar::valueChanged, this, [this](int step) {
        state_.distortionStep = step;
        repaintView();
    });

    placeBesideView(lineGroup, {{tr("像面湾曲の倍率"), curvature}, {tr("歪曲の倍率"), distortion}});
}

void FieldDialog::paintCurrent(Canvas& canvas) const {
    paintFieldCurves(canvas, lens().surfaces, lens().settings, fieldViewOf(state_));
}

} // namespace kiro::app
