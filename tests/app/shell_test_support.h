#pragma once

// What the shell's tests share: the shipped catalogue and the example designs, controls
// found by their identifiers, message boxes answered and recorded, modal dialogs driven
// from a timer, and kiro-cli run for the results the window must agree with.

#include <functional>
#include <utility>

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/dialogs/analysis_dialog.h"
#include "app/dialogs/analysis_view.h"
#include "app/document.h"
#include "app/edit_steps.h"
#include "app/message_boxes.h"
#include "model/design_file.h"
#include "model/glass_catalog.h"
#include "tests/support/example_designs.h"

namespace kiro::test {

// ---- Files of the repository

inline QString shippedCatalogPath() {
    return QStringLiteral(KIRO_SOURCE_DIR "/data/glass.dat");
}

inline GlassCatalog shippedCatalog() {
    GlassCatalog catalog;
    loadGlassCatalog(catalog, QFile::encodeName(shippedCatalogPath()).constData());
    return catalog;
}

// relative: a design below examples/, as "designed/doublet-100-f9.OPT".
inline QString examplePath(const QString& relative) {
    return QStringLiteral(KIRO_SOURCE_DIR "/examples/") + relative;
}

// Three designs of different kinds: a mirror, a catadioptric and a lens objective.
inline const QStringList& exampleDesigns() {
    static const QStringList designs{
        QStringLiteral("newtonian-200-f5.OPT"),
        QStringLiteral("designed/schmidt-cassegrain-200-f10.OPT"),
        QStringLiteral("designed/doublet-100-f9.OPT"),
    };
    return designs;
}

// The rows of a data function over exampleDesigns(), in a column "design".
inline void addExampleDesignRows() {
    QTest::addColumn<QString>("design");
    for (const QString& design : exampleDesigns()) {
        QTest::newRow(design.toUtf8().constData()) << design;
    }
}

// The start settings, then the file, as kiro-cli and the program read a design.
inline LensSystem loadExample(const QString& relative) {
    LensSystem lens = test::startDesign();
    const QByteArray path = QFile::encodeName(examplePath(relative));
    if (readDesignFile(lens, path.constData()) == 0) {
        qFatal("cannot read the example %s", path.constData());
    }
    lens.settings.sourceMode = SourceMode::Infinity;
    return lens;
}

// The design in the document, one step named "setup", with nothing to save.
inline void holdSavedDesign(app::Document& document, const LensSystem& lens) {
    document.applyDesign(lens, app::ViewFit::Refit, QStringLiteral("setup"));
    document.markSaved();
}

// A document as the program starts it, on the shipped catalogue, optionally holding an
// example design with nothing to save.
inline void prepareDocument(app::Document& document, const QString& example = {}) {
    document.setCatalog(shippedCatalog());
    if (!example.isEmpty()) {
        holdSavedDesign(document, loadExample(example));
    }
}

// The file opened as Open opens it; true when it was accepted.
inline bool openFile(app::Document& document, const QString& path) {
    return document.open(path, app::stepName(app::EditStep::Open)).accepted();
}

// The design as Save writes it.
inline QByteArray savedBytes(const app::Document& document) {
    return QByteArray::fromStdString(designFileText(document.lens()));
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// ---- Controls, boxes and modal dialogs

// The control whose object name is its identifier in the dialog template.
template <typename T> T* control(const QWidget* dialog, int id) {
    T* widget = dialog->findChild<T*>(QString::number(id));
    if (widget == nullptr) {
        qFatal("%s has no control %d", qPrintable(dialog->objectName()), id);
    }
    return widget;
}

// Answers every box through the shell's seam, with the answers in turn (OK once they run
// out), and keeps what the boxes said, until the recorder goes.
struct BoxRecorder {
    QList<app::BoxRequest> seen;
    QList<QMessageBox::StandardButton> answers;
    BoxRecorder() {
        app::setBoxAnswerer([this](const app::BoxRequest& request) {
            seen.append(request);
            return answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst();
        });
    }
    ~BoxRecorder() { app::setBoxAnswerer({}); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;
};

// Calls act on the modal dialog named name (any modal widget when name is empty) each
// time one is up, every few milliseconds, until act returns true.
class ModalDriver : public QObject {
  public:
    ModalDriver(QString name, std::function<bool(QWidget*)> act)
        : name_(std::move(name)), act_(std::move(act)) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && (name_.isEmpty() || modal->objectName() == name_) &&
                act_(modal)) {
                timer_.stop();
            }
        });
        timer_.start(kPollMilliseconds);
    }

  private:
    static constexpr int kPollMilliseconds = 5;
    QString name_;
    std::function<bool(QWidget*)> act_;
    QTimer timer_;
};

// ---- kiro-cli

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// kiro-cli with the arguments as given; a run that does not end within two minutes
// counts as failed.
inline CliRun runKiroCli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(KIRO_CLI), arguments);
    CliRun run;
    if (cli.waitForFinished(120000) && cli.exitStatus() == QProcess::NormalExit) {
        run.exitCode = cli.exitCode();
    }
    run.out = cli.readAllStandardOutput();
    run.err = cli.readAllStandardError();
    if (run.exitCode != 0) {
        qWarning("kiro-cli %s failed: %s", qPrintable(arguments.join(u' ')), run.err.constData());
    }
    return run;
}

// kiro-cli with the arguments and "-o FILE --glass-file" the shipped catalogue: the bytes
// it wrote, empty when it failed.
inline QByteArray cliDesignFile(QStringList arguments) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.OPT"));
    arguments << QStringLiteral("-o") << out << QStringLiteral("--glass-file")
              << shippedCatalogPath();
    return runKiroCli(arguments).exitCode == 0 ? fileBytes(out) : QByteArray();
}

// ---- Pictures

inline QImage asRgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// `kiro-cli render VIEW EXAMPLE -o picture.png OPTIONS...`, read back.
inline QImage renderWithCli(const QString& view, const QString& example,
                            const QStringList& options) {
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("picture.png"));
    const CliRun run = runKiroCli(QStringList{QStringLiteral("render"), view, examplePath(example),
                                              QStringLiteral("-o"), out} +
                                  options);
    return run.exitCode == 0 ? asRgb(QImage(out)) : QImage();
}

// What an analysis dialog's drawing shows on the screen.
inline QImage grabView(const app::AnalysisDialog& dialog) {
    return asRgb(dialog.view()->grab().toImage());
}

inline int pixelsOfColour(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

} // namespace kiro::test
