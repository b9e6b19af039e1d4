#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "analysis/recording_canvas.h"
#include "app/dialogs/wavefront_dialog.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using namespace kiro::test;

namespace {

constexpr int kDLineBox = 102;
constexpr int kFigureWaitMs = 30000;

// Waits until the figures of the dialog's last state are drawn (the status is then empty).
bool figuresArrive(WavefrontDialog& dialog, QSignalSpy& spy) {
    const auto* status = dialog.findChild<QLabel*>(QStringLiteral("status"));
    while (!status->text().isEmpty()) {
        if (!spy.wait(kFigureWaitMs)) {
            return false;
        }
    }
    return dialog.figures() != nullptr;
}

std::string recorded(const WavefrontDialog& dialog) {
    RecordingCanvas canvas;
    dialog.paintCurrent(canvas);
    return canvas.text();
}

} // namespace

class WavefrontDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithTheSpotPanelsAndComputesOffTheWindowThread() {
        WavefrontDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
        QSignalSpy shown(&dialog, &WavefrontDialog::figuresShown);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("波面・MTF"));
        QCOMPARE(dialog.view()->size(), QSize(720, 340));
        QCOMPARE(dialog.state().grid, 64);
        // Nothing is computed on the window's thread: the dialog opens without figures.
        QVERIFY(dialog.figures() == nullptr);
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("status"))->text(),
                 QStringLiteral("計算中..."));
        QVERIFY(figuresArrive(dialog, shown));
        // The paraboloid on axis is diffraction-limited; the rim of the field is not.
        const std::string text = recorded(dialog);
        QCOMPARE(text.find("回折限界") != std::string::npos, true);
        QCOMPARE(dialog.figures()->set.panels[0].lines[1].numbers.strehlBest >= 0.8, true);
        QCOMPARE(dialog.figures()->set.panels[2].lines[1].numbers.strehlBest < 0.8, true);
    }

    // A change made while figures are computed is not lost: the figures shown at the end
    // are those of the last state.
    void theLastChangeWins() {
        WavefrontDialog dialog(loadExample(QStringLiteral("spherical-mirror-r200.OPT")));
        QSignalSpy shown(&dialog, &WavefrontDialog::figuresShown);
        control<QCheckBox>(&dialog, kDLineBox)->setChecked(false);
        auto* grid = dialog.findChild<QComboBox*>(QStringLiteral("grid"));
        grid->setCurrentIndex(grid->findData(32));
        QVERIFY(figuresArrive(dialog, shown));
        const WavefrontFigures* figures = dialog.figures();
        QCOMPARE(figures->set.panels[0].lines[0].map.n, 32);
        QCOMPARE(figures->lineShown[1], 0);
        // Without the d line the figures are of the first shown line, C.
        QCOMPARE(figures->line, 1);
        auto* side = dialog.findChild<QComboBox*>(QStringLiteral("side"));
        QCOMPARE(side->currentData().toInt(), dialog.state().side);
    }

    void viewEqualsKiroCliRender() {
        for (const QString& view :
             {QStringLiteral("wavefront"), QStringLiteral("psf"), QStringLiteral("mtf")}) {
            WavefrontDialog dialog(loadExample(QStringLiteral("newtonian-200-f5.OPT")));
            QSignalSpy shown(&dialog, &WavefrontDialog::figuresShown);
            auto* picture = dialog.findChild<QComboBox*>(QStringLiteral("picture"));
            picture->setCurrentIndex(view == QStringLiteral("psf")   ? 1
                                     : view == QStringLiteral("mtf") ? 2
                                                                     : 0);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QVERIFY(figuresArrive(dialog, shown));
            QCoreApplication::processEvents();
            QCOMPARE(grabView(dialog),
                     renderWithCli(view, QStringLiteral("newtonian-200-f5.OPT"), {}));
        }
    }
};

QTEST_MAIN(WavefrontDialogTest)
#include "wavefront_dialog_test.moc"
