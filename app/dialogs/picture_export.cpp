#include "app/dialogs/picture_export.h"

#include <string_view>
#include <utility>

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringList>

#include "app/message_boxes.h"
#include "model/atomic_file.h"

namespace kiro::app {

namespace {

PictureFileAsker& asker() {
    static PictureFileAsker instance;
    return instance;
}

// The folder of the last picture saved, offered again for the next one.
QString& lastFolder() {
    static QString folder;
    return folder;
}

QString askWithFileDialog(QWidget* owner, const QString& suggestedName) {
    const QStringList filters{QStringLiteral("PNG (*.png)"), QStringLiteral("SVG (*.svg)"),
                              QStringLiteral("PDF (*.pdf)")};
    const QStringList suffixes{QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("pdf")};
    QFileDialog dialog(owner, QCoreApplication::translate("PictureExport", "画像を保存"),
                       lastFolder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // Names in full: the detail columns of Qt's own dialog cut names and sizes short.
    dialog.setViewMode(QFileDialog::List);
    dialog.selectFile(suggestedName);
    // A name typed without an extension gets the chosen type's, before the dialog asks
    // about overwriting.
    dialog.setDefaultSuffix(suffixes.front());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &filters, &suffixes](const QString& filter) {
                         const qsizetype k = filters.indexOf(filter);
                         dialog.setDefaultSuffix(suffixes.value(k, suffixes.front()));
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    lastFolder() = dialog.directory().absolutePath();
    return dialog.selectedFiles().front();
}

} // namespace

void setPictureFileAsker(PictureFileAsker a) {
    asker() = std::move(a);
}

bool writePicture(QWidget* owner, const QString& path, QSize size, const PaintFunction& paint) {
    const std::optional<PictureFormat> format = pictureFormatOf(path);
    if (!format) {
        showError(owner, QCoreApplication::translate(
                             "PictureExport",
                             "画像の形式は名前の拡張子 .png、.svg、.pdf で選んで下さい。\n\"%1\"")
                             .arg(path));
        return false;
    }
    const QByteArray bytes = encodePicture(*format, size.width(), size.height(), paint);
    const QByteArray name = QFile::encodeName(path);
    // A name with a NUL in it would be cut there and land on another file.
    if (bytes.isEmpty() || name.contains('\0') ||
        !replaceFileAtomically(
            name.constData(),
            std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))) {
        showError(owner, QCoreApplication::translate("PictureExport",
                                                     "\"%1\" に画像を保存できませんでした。")
                             .arg(path));
        return false;
    }
    return true;
}

void savePictureAs(QWidget* owner, const QString& suggestedName, QSize size,
                   const PaintFunction& paint) {
    const QString path =
        asker() ? asker()(owner, suggestedName) : askWithFileDialog(owner, suggestedName);
    if (path.isEmpty()) {
        return;
    }
    writePicture(owner, path, size, paint);
}

} // namespace kiro::app
