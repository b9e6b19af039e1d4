#pragma once

#include <QSize>
#include <QWidget>

#include "render/qt_canvas.h"

namespace kiro::app {

// The drawing of an analysis dialog: a fixed client area painted by the same analysis code
// as kiro-cli's pictures, so that the window and an exported file show the same pixels.
class AnalysisView final : public QWidget {
  public:
    AnalysisView(QSize size, PaintFunction paint, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    PaintFunction paint_;
};

} // namespace kiro::app
