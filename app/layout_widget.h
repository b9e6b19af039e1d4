#pragma once

#include <optional>

#include <QWidget>

#include "analysis/layout_view.h"

namespace kiro::app {

class Document;
enum class ViewFit;

// The main window's client area: the side view of the document's design, fitted to the
// widget, zoomed in about the pointer by a left click and out by a right click, zoomed
// by the wheel keeping the point under the pointer, and fitted again when the widget is
// resized or the design's table is replaced.
class LayoutWidget : public QWidget {
    Q_OBJECT

  public:
    explicit LayoutWidget(const Document& document, QWidget* parent = nullptr);

    const LayoutView& view() const { return view_; }
    // Fits the view to the widget's size.
    void fit();

    // The View menu's commands: zoom in or out about the middle, back to the fitted view.
    void zoomIn();
    void zoomOut();
    void showFitted();

  signals:
    // After every paint (the window shows the description as its title from the first).
    void painted();
    // The design point under the pointer; nothing once the pointer has left.
    void pointerMoved(std::optional<kiro::LayoutPoint> point);
    // The scale or the frame changed.
    void viewChanged(const kiro::LayoutView& view);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The second press of a double click zooms no further.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void designChanged(ViewFit fit);
    void zoom(LayoutMode mode, QPoint pointer);

    const Document& document_;
    LayoutView view_;
};

} // namespace kiro::app
