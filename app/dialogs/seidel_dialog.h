#pragma once

#include <QDialog>

#include "analysis/seidel_sums.h"
#include "model/lens_system.h"

class QTableWidget;

namespace kiro::app {

// "ザイデル収差": the third-order sums row by row with their totals and the wavefront
// coefficients, in a table ("table"); "copy" puts it on the clipboard as text, OK (1).
class SeidelDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit SeidelDialog(const LensSystem& lens, QWidget* parent = nullptr);

    const SeidelSums& sums() const { return sums_; }
    QTableWidget* table() const { return table_; }
    // What "copy" puts on the clipboard.
    QString copiedText() const;

  private:
    SeidelSums sums_;
    QTableWidget* table_ = nullptr;
};

} // namespace kiro::app
