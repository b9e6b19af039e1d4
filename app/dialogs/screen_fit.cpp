#include "app/dialogs/screen_fit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include "app/application_filter.h"

namespace kiro::app {
namespace {

// Room left for the window frame and title bar around the client area.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;

class ScreenFitter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QDialog* dialog = ourDialog(watched);
        if (event->type() == QEvent::Show && dialog != nullptr && dialog->screen() != nullptr) {
            const QSize available = dialog->screen()->availableGeometry().size();
            scrollWhenLarger(dialog, available.shrunkBy(QMargins(0, 0, kFrameWidth, kFrameHeight)));
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

bool scrollWhenLarger(QDialog* dialog, QSize room) {
    QLayout* layout = dialog->layout();
    if (layout == nullptr ||
        dialog->findChild<QScrollArea*>(QStringLiteral("screenFit"), Qt::FindDirectChildrenOnly)) {
        return false;
    }
    const QSize wanted = layout->totalSizeHint();
    if (wanted.width() <= room.width() && wanted.height() <= room.height()) {
        return false;
    }
    // The content, with its layout and widgets, moves into the scroll area; a fixed size
    // the old layout put on the dialog now holds for the content alone.
    auto* content = new QWidget;
    content->setLayout(layout);
    auto* area = new QScrollArea(dialog);
    area->setObjectName(QStringLiteral("screenFit"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    auto* outer = new QVBoxLayout(dialog);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);
    dialog->setMinimumSize(0, 0);
    dialog->setMaximumSize(room);
    const int bar = dialog->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    dialog->resize(wanted.grownBy(QMargins(0, 0, bar, bar)).boundedTo(room));
    return true;
}

void fitDialogsToScreen() {
    installApplicationFilterOnce<ScreenFitter>();
}

} // namespace kiro::app
