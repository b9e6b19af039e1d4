#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace kiro::app {

class Document;

// "CONF": the rays of the side view, the spot diagram's sampling and the light source.
class SettingsDialog : public QDialog {
    Q_OBJECT

  public:
    SettingsDialog(Document& document, QWidget* parent = nullptr);

    // OK: the fields, clamped as the settings keep them (acceptSettingsEntry), become the
    // design's settings.
    void accept() override;

  protected:
    // The window's close button ends the dialog with 1 and stores nothing.
    void closeEvent(QCloseEvent* event) override;

  private:
    QLineEdit* edit(int id);

    Document& document_;
    QRadioButton* fixedPitch_ = nullptr;
    QRadioButton* pointSource_ = nullptr;
};

} // namespace kiro::app
