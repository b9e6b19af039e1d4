#include "app/layout_widget.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/document.h"
#include "render/qt_canvas.h"

namespace kiro::app {
namespace {

// One notch of a wheel (120 eighths of a degree) zooms by a quarter.
constexpr double kWheelNotch = 120.0;
constexpr double kZoomPerNotch = 1.25;

} // namespace

LayoutWidget::LayoutWidget(const Document& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    setCursor(Qt::CrossCursor);
    // The right button zooms out; it opens no menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    connect(&document_, &Document::lensChanged, this, &LayoutWidget::designChanged);
}

void LayoutWidget::fit() {
    updateLayoutView(view_, document_.lens().surfaces, LayoutMode::Fit, width(), height(), width(),
                     height());
    emit viewChanged(view_);
}

void LayoutWidget::zoomIn() {
    zoom(LayoutMode::ZoomIn, rect().center());
}

void LayoutWidget::zoomOut() {
    zoom(LayoutMode::ZoomOut, rect().center());
}

void LayoutWidget::showFitted() {
    fit();
    update();
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

void LayoutWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit pointerMoved(layoutPointAt(view_, at.x(), at.y()));
}

void LayoutWidget::leaveEvent(QEvent*) {
    emit pointerMoved(std::nullopt);
}

void LayoutWidget::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / kWheelNotch;
    if (notches == 0.0) {
        event->ignore();
        return;
    }
    const QPointF at = event->position();
    zoomLayoutAbout(view_, std::pow(kZoomPerNotch, notches), at.x(), at.y());
    emit viewChanged(view_);
    emit pointerMoved(layoutPointAt(view_, at.x(), at.y()));
    update();
}

void LayoutWidget::zoom(LayoutMode mode, QPoint pointer) {
    updateLayoutView(view_, document_.lens().surfaces, mode, pointer.x(), pointer.y(), width(),
                     height());
    emit viewChanged(view_);
    update();
}

} // namespace kiro::app
