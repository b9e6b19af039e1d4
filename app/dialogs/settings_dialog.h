#pragma once

#include <QDialog>

#include "model/lens_system.h"

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
    // design's settings, and the fields show what was kept. A field that is no number it
    // can take is refused with a message and nothing is stored.
    void accept() override;

  protected:
    // The window's close button ends the dialog with 1 and stores nothing.
    void closeEvent(QCloseEvent* event) override;

  private:
    QLineEdit* edit(int id);
    // The number fields as the settings show them, on opening and after OK.
    void showSettings(const Settings& settings);

    Document& document_;
    QRadioButton* fixedPitch_ = nullptr;
    QRadioButton* pointSource_ = nullptr;
};

} // namespace kiro::app
