#include "app/design_status_bar.h"

#include <QLabel>

#include "analysis/information_text.h"
#include "model/c_numbers.h"

namespace kiro::app {
namespace {

QString shown(const char* format, double value) {
    return QString::fromStdString(formatShownC(format, value));
}

QLabel* addReadout(QStatusBar* bar, const char* name, int stretch) {
    auto* label = new QLabel(bar);
    label->setObjectName(QString::fromLatin1(name));
    bar->addWidget(label, stretch);
    return label;
}

} // namespace

DesignStatusBar::DesignStatusBar(QWidget* parent)
    : QStatusBar(parent), pointer_(addReadout(this, "pointer", 2)),
      scale_(addReadout(this, "scale", 1)), optics_(addReadout(this, "optics", 2)) {
    pointer_->setToolTip(tr("ポインタの位置: 光軸方向 z と光軸からの高さ x (mm)"));
    scale_->setToolTip(tr("側面図の縮尺: 1画素あたりの長さ"));
    optics_->setToolTip(tr("d線の焦点距離とF値 (情報表示と同じ値)"));
}

void DesignStatusBar::showPointer(std::optional<LayoutPoint> point) {
    pointer_->setText(
        point ? tr("z %1 mm  x %2 mm").arg(shown("%.2f", point->z), shown("%.2f", point->x))
              : QString());
}

void DesignStatusBar::showScale(const LayoutView& view) {
    scale_->setText(tr("%1 mm/画素").arg(shown("%.4g", 1.0 / view.scale)));
}

void DesignStatusBar::showOptics(const LensSystem& lens) {
    if (lens.surfaces[0].type < 0) {
        optics_->clear();
        return;
    }
    const double r = apertureRadius(lens.surfaces);
    optics_->setText(tr("焦点距離 %1 mm  F%2")
                         .arg(shown("%.2f", nearAxisFocalLength(lens.surfaces, lens.settings, r)),
                              shown("%.2f", informationFNumber(lens.surfaces, lens.settings, r))));
}

} // namespace kiro::app
