#pragma once

#include <array>

#include <QDialog>

#include "design/optimizer_settings.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace kiro::app {

class Document;

// "OPTMIZE", the optimizer's settings. OK stores them in the document for the rest of
// the run; Cancel and the title bar's close button leave them and start nothing.
class OptimizerDialog : public QDialog {
    Q_OBJECT

  public:
    OptimizerDialog(Document& document, QWidget* parent = nullptr);

    void accept() override;

    // The settings the controls show; a range that is not one keeps the stored range.
    OptimizerSettings settings() const;

  private:
    Document& document_;
    QCheckBox* spherical_ = nullptr;
    QButtonGroup* sphericalLine_ = nullptr;
    QCheckBox* chromatic_ = nullptr;
    QButtonGroup* chromaticLines_ = nullptr;
    QCheckBox* osc_ = nullptr;
    QLineEdit* range_ = nullptr;
    std::array<QCheckBox*, 3> kinds_{}; // spherical lenses, spherical mirrors, lens spacings
};

} // namespace kiro::app
