#pragma once

#include <functional>

#include <QMessageBox>
#include <QString>

class QWidget;

namespace kiro::app {

// Every message box of the program goes through showBox, so that tests can answer boxes
// instead of leaving a modal box nobody closes.
struct BoxRequest {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Returns the button pressed (Cancel or Escape when the box is closed otherwise).
QMessageBox::StandardButton showBox(QWidget* owner, const BoxRequest& request);

// Tests: answer every box with this function instead of showing it; an empty function
// shows boxes again.
using BoxAnswerer = std::function<QMessageBox::StandardButton(const BoxRequest&)>;
void setBoxAnswerer(BoxAnswerer answerer);

// "Caution !", exclamation icon, OK and Cancel: true exactly when OK is pressed.
bool confirm(QWidget* owner, const QString& text);

// "Error !", critical icon, OK.
void showError(QWidget* owner, const QString& text);

// "Caution !", warning icon, OK: something went through, but not wholly as asked.
void showWarning(QWidget* owner, const QString& text);

} // namespace kiro::app
