#include "app/dialogs/analysis_view.h"

#include <utility>

#include <QGuiApplication>
#include <QPainter>

namespace kiro::app {

AnalysisView::AnalysisView(QSize size, PaintFunction paint, QWidget* parent)
    : QWidget(parent), paint_(std::move(paint)) {
    setObjectName(QStringLiteral("view"));
    setFixedSize(size);
    // The picture covers every pixel: no background to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void AnalysisView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A picture file is painted in the application's font; the widget's own font may have
    // been changed by a style or a parent.
    painter.setFont(QGuiApplication::font());
    paintPicture(painter, width(), height(), paint_);
}

} // namespace kiro::app
