#pragma once

#include <array>

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kiro::app {

class Document;

// "DESIGN2", the refracting telescope designer: a doublet, optionally with a field
// flattener, for the glasses chosen. OK works as the reflecting designer's does.
class RefractorDesignerDialog : public QDialog {
    Q_OBJECT

  public:
    RefractorDesignerDialog(Document& document, QWidget* parent = nullptr);

    void accept() override;

  private:
    Document& document_;
    QComboBox* type_ = nullptr;
    QLineEdit* aperture_ = nullptr;
    QLineEdit* fNumber_ = nullptr;
    std::array<QComboBox*, 3> glasses_{};
    std::array<QLineEdit*, 3> thicknesses_{};
    std::array<QCheckBox*, 3> measures_{}; // spherical, chromatic, OSC
    QButtonGroup* line_ = nullptr;
    QButtonGroup* chromaticLines_ = nullptr;
};

// Menu command 701. True when OK built a new design.
bool runRefractorDesigner(Document& document, QWidget* parent);

} // namespace kiro::app
