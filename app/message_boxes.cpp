#include "app/message_boxes.h"

#include <utility>

namespace kiro::app {
namespace {

BoxAnswerer& answerer() {
    static BoxAnswerer instance;
    return instance;
}

} // namespace

void setBoxAnswerer(BoxAnswerer a) {
    answerer() = std::move(a);
}

QMessageBox::StandardButton showBox(QWidget* owner, const BoxRequest& request) {
    if (answerer()) {
        return answerer()(request);
    }
    QMessageBox box(request.icon, request.title, request.text, request.buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool confirm(QWidget* owner, const QString& text) {
    const BoxRequest request{QStringLiteral("Caution !"), text, QMessageBox::Warning,
                             QMessageBox::Ok | QMessageBox::Cancel};
    return showBox(owner, request) == QMessageBox::Ok;
}

void showError(QWidget* owner, const QString& text) {
    showBox(owner, {QStringLiteral("Error !"), text, QMessageBox::Critical, QMessageBox::Ok});
}

void showWarning(QWidget* owner, const QString& text) {
    showBox(owner, {QStringLiteral("Caution !"), text, QMessageBox::Warning, QMessageBox::Ok});
}

} // namespace kiro::app
