#include "app/print_picture.h"

#include <utility>

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace kiro::app {
namespace {

PrinterAnswerer& answerer() {
    static PrinterAnswerer instance;
    return instance;
}

} // namespace

void setPrinterAnswerer(PrinterAnswerer a) {
    answerer() = std::move(a);
}

void paintPrintedPage(QPrinter& printer, const QString& caption, QSize size,
                      const PaintFunction& paint) {
    QPainter painter(&printer);
    if (!painter.isActive()) {
        return;
    }
    const QRect page = painter.viewport();
    const QFontMetrics metrics(painter.font());
    const int captionHeight = 2 * metrics.height();
    painter.drawText(QRect(page.left(), page.top(), page.width(), captionHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
    // The picture is drawn at its own pixel size and the painter scales it to the page.
    const QSize room(page.width(), page.height() - captionHeight);
    const QSize shown = size.scaled(room, Qt::KeepAspectRatio);
    painter.translate(page.left(), page.top() + captionHeight);
    painter.scale(double(shown.width()) / size.width(), double(shown.height()) / size.height());
    paintPicture(painter, size.width(), size.height(), paint);
}

void printPicture(QWidget* owner, const QString& caption, QSize size, const PaintFunction& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(caption);
    if (answerer()) {
        answerer()(printer);
        paintPrintedPage(printer, caption, size, paint);
        return;
    }
    QPrintPreviewDialog preview(&printer, owner);
    preview.setObjectName(QStringLiteral("printPreview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* p) { paintPrintedPage(*p, caption, size, paint); });
    preview.exec();
}

} // namespace kiro::app
