#pragma once

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLineEdit;

namespace kiro::app {

class Document;

// "DESIGN1", the reflecting telescope designer. OK runs the chosen builder on a copy of
// the design; the copy, refocused at the reference line, becomes the design. Values that
// are refused or fail to build are remembered all the same.
class ReflectorDesignerDialog : public QDialog {
    Q_OBJECT

  public:
    ReflectorDesignerDialog(Document& document, QWidget* parent = nullptr);

    void accept() override;

  private:
    Document& document_;
    QComboBox* type_ = nullptr;
    QComboBox* glass_ = nullptr;
    QLineEdit* aperture_ = nullptr;
    QLineEdit* fNumber_ = nullptr;
    QLineEdit* ratio_ = nullptr;
    QLineEdit* backFocus_ = nullptr;
    QButtonGroup* line_ = nullptr;
};

// Menu command 702. True when OK built a new design.
bool runReflectorDesigner(Document& document, QWidget* parent);

} // namespace kiro::app
