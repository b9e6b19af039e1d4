#pragma once

#include <QDialog>

class QLineEdit;

namespace kiro::app {

class Document;

// "ABST": the one-line description of the design, which the window shows as its title.
class DescriptionDialog : public QDialog {
    Q_OBJECT

  public:
    DescriptionDialog(Document& document, QWidget* parent = nullptr);

    // OK: the text as the design stores it, CP932 cut at 255 bytes. Text with a character
    // CP932 cannot hold is refused with a message and the dialog stays open.
    void accept() override;

  private:
    Document& document_;
    QLineEdit* text_ = nullptr;
};

} // namespace kiro::app
