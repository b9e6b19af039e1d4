#pragma once

// What the analysis dialogs' tests share: example designs read as kiro-cli reads them,
// kiro-cli's own pictures, and pixel comparisons.

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "app/dialogs/analysis_dialog.h"
#include "app/dialogs/analysis_view.h"
#include "model/design_file.h"
#include "model/lens_system.h"

namespace kiro::app::test {

inline QString examplePath(const char* relative) {
    return QStringLiteral(KIRO_SOURCE_DIR "/examples/") + QString::fromUtf8(relative);
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

// The start settings, then the file, as kiro-cli and the program read a design.
inline LensSystem loadExample(const QString& relative) {
    LensSystem lens;
    clearLensSystem(lens);
    setDefaultSettings(lens);
    const QByteArray path = examplePath(relative.toUtf8().constData()).toLocal8Bit();
    if (readDesignFile(lens, path.constData()) == 0) {
        qFatal("cannot read the example %s", path.constData());
    }
    lens.settings.sourceMode = 0;
    return lens;
}

inline QImage asRgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// What the dialog's drawing shows on the screen.
inline QImage grabView(const AnalysisDialog& dialog) {
    return asRgb(dialog.view()->grab().toImage());
}

// `kiro-cli render VIEW DESIGN -o picture.png OPTIONS...`, read back.
inline QImage renderWithCli(const QString& view, const QString& design,
                            const QStringList& options) {
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("picture.png"));
    QProcess cli;
    cli.start(QStringLiteral(KIRO_CLI),
              QStringList{QStringLiteral("render"), view, examplePath(design.toUtf8().constData()),
                          QStringLiteral("-o"), out} +
                  options);
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
        qWarning("kiro-cli failed: %s", cli.readAllStandardError().constData());
        return {};
    }
    return asRgb(QImage(out));
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

template <class Widget> Widget* control(const QWidget& dialog, int id) {
    auto* widget = dialog.findChild<Widget*>(controlName(id));
    if (widget == nullptr) {
        qFatal("control %d is missing", id);
    }
    return widget;
}

} // namespace kiro::app::test
