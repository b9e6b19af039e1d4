#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "app/document.h"
#include "app/message_boxes.h"
#include "model/design_file.h"
#include "model/glass_catalog.h"

// Shared by the dialog tests: documents on the shipped catalogue, controls by their
// identifiers, boxes answered and recorded, kiro-cli's output for comparison.
namespace kiro::test {

inline GlassCatalog shippedCatalog() {
    GlassCatalog catalog;
    loadGlassCatalog(catalog, KIRO_SOURCE_DIR "/data/glass.dat");
    return catalog;
}

// A document as the program starts it, on the shipped catalogue, optionally holding a
// design file of the repository.
inline void prepareDocument(app::Document& document, const char* designPath = nullptr) {
    document.setCatalog(shippedCatalog());
    if (designPath != nullptr) {
        LensSystem lens = document.lens();
        const QByteArray path = QByteArray(KIRO_SOURCE_DIR "/") + designPath;
        QVERIFY(readDesignFile(lens, path.constData()) == 1);
        document.setLens(lens, app::ViewFit::Refit);
        document.setModified(false);
    }
}

template <typename T> T* control(const QWidget* dialog, int id) {
    T* widget = dialog->findChild<T*>(QString::number(id));
    if (widget == nullptr) {
        qWarning("no control %d", id);
    }
    return widget;
}

// Every box is answered with OK and remembered, until the recorder goes.
struct BoxRecorder {
    QList<app::BoxRequest> boxes;
    BoxRecorder() {
        app::setBoxAnswerer([this](const app::BoxRequest& request) {
            boxes.append(request);
            return QMessageBox::Ok;
        });
    }
    ~BoxRecorder() { app::setBoxAnswerer({}); }
};

// Runs kiro-cli with the arguments and "-o FILE --glass-file" the shipped catalogue;
// the bytes it wrote, empty when it failed.
inline QByteArray cliDesignFile(QStringList arguments) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.OPT"));
    arguments << QStringLiteral("-o") << out << QStringLiteral("--glass-file")
              << QStringLiteral(KIRO_SOURCE_DIR "/data/glass.dat");
    QProcess cli;
    cli.start(QStringLiteral(KIRO_CLI), arguments);
    if (!cli.waitForFinished(120000) || cli.exitCode() != 0) {
        qWarning("kiro-cli failed: %s", cli.readAllStandardError().constData());
        return {};
    }
    QFile file(out);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray savedBytes(const app::Document& document) {
    return QByteArray::fromStdString(designFileText(document.lens()));
}

} // namespace kiro::test
