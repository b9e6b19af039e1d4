#include "app/layout_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/document.h"
#include "render/qt_canvas.h"

namespace kiro::app {

LayoutWidget::LayoutWidget(const Document& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    setCursor(Qt::CrossCursor);
    // The right button zooms out; it opens no menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&document_, &Document::lensChanged, this, &LayoutWidget::designChanged);
}

void LayoutWidget::fit() {
    updateLayoutView(view_, document_.lens().surfaces, LayoutMode::Fit, width(), height(), width(),
                     height());
}

void LayoutWidget::designChanged(ViewFit fit) {
    if (fit == ViewFit::Refit) {
        this->fit();
    }
    update();
}

void LayoutWidget::paintEvent(QPaintEvent*) {
    // Everything is drawn again on every paint, as kiro-cli render layout draws it.
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    QtCanvas canvas(painter);
    const LensSystem& lens = document_.lens();
    drawLayout(canvas, view_, lens.surfaces, lens.settings);
    canvas.flush();
    emit painted();
}

void LayoutWidget::resizeEvent(QResizeEvent*) {
    fit();
    update();
}

void LayoutWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        zoom(LayoutMode::ZoomIn, event->position().toPoint());
    } else if (event->button() == Qt::RightButton) {
        zoom(LayoutMode::ZoomOut, event->position().toPoint());
    }
}

void LayoutWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void LayoutWidget::zoom(LayoutMode mode, QPoint pointer) {
    updateLayoutView(view_, document_.lens().surfaces, mode, pointer.x(), pointer.y(), width(),
                     height());
    update();
}

} // namespace kiro::app
