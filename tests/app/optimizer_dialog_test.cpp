#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/dialogs/optimizer_dialog.h"
#include "app/dialogs/optimizer_progress_dialog.h"
#include "app/shell_text.h"
#include "design/optimizer.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using kiro::test::control;
using kiro::test::ModalDriver;

namespace {

constexpr const char* kDoublet = "designed/doublet-100-f9.OPT";

// The doublet followed by `pairs` weak lens pairs far behind it: 4 + 2 * pairs
// spherical lens rows to vary.
LensSystem relayDesign(const GlassCatalog& catalog, int pairs) {
    LensSystem lens = kiro::test::startDesign();
    const int bk7 = findGlass(catalog, "N-BK7"), f2 = findGlass(catalog, "N-F2");
    auto set = [&](int k, int type, double z, double radius, double diameter, int glass) {
        Surface& row = lens.surfaces[k];
        row.type = type;
        row.z = z;
        row.radius = radius;
        row.effectiveRadius = diameter / 2.0;
        applyGlass(row, catalog, glass);
    };
    set(0, SurfaceType::Stop, 0.0, 0.0, 100.0, 0);
    set(1, SurfaceType::SphericalLens, -1.0, -400.0, 104.0, bk7);
    set(2, SurfaceType::SphericalLens, -13.0, 406.0, 104.0, 0);
    set(3, SurfaceType::SphericalLens, -14.0, 400.0, 104.0, f2);
    set(4, SurfaceType::SphericalLens, -20.0, 6450.0, 104.0, 0);
    int k = 5;
    for (int p = 0; p < pairs; ++p) {
        set(k++, SurfaceType::SphericalLens, -600.0 - 10.0 * p, -516.8, 50.0, bk7);
        set(k++, SurfaceType::SphericalLens, -606.0 - 10.0 * p, 516.8, 50.0, 0);
    }
    set(k, SurfaceType::FlatFocal, -900.0, 0.0, 60.0, 0);
    return lens;
}

// A widget that counts its paints, repainted on every tick of a short timer: the proof
// that the window's thread goes on handling events.
class RepaintCounter : public QWidget {
  public:
    int paints = 0;
    int ticks = 0;
    RepaintCounter() {
        resize(50, 50);
        connect(&timer_, &QTimer::timeout, this, [this] {
            ++ticks;
            update();
        });
        timer_.start(10);
    }

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }

  private:
    QTimer timer_;
};

} // namespace

class OptimizerDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void settingsRoundTripThroughTheDocument() {
        Document document;
        test::prepareDocument(document);
        {
            OptimizerDialog dialog(document);
            QVERIFY(control<QCheckBox>(&dialog, 101)->isChecked());
            QVERIFY(control<QRadioButton>(&dialog, 103)->isChecked());
            QVERIFY(control<QCheckBox>(&dialog, 113)->isChecked());
            QVERIFY(control<QCheckBox>(&dialog, 115)->isChecked());
            QVERIFY(!control<QCheckBox>(&dialog, 121)->isChecked());
            QCOMPARE(control<QLineEdit>(&dialog, 131)->text(), QStringLiteral("5"));
            QVERIFY(!control<QCheckBox>(&dialog, 143)->isChecked());
            dialog.show();
            for (int id : {101, 105, 112, 113, 121, 142, 143}) {
                control<QAbstractButton>(&dialog, id)->click();
            }
            control<QLineEdit>(&dialog, 131)->setText(QStringLiteral("7.5"));
            QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        const OptimizerSettings& s = document.optimizerSettings();
        QVERIFY(!s.minimiseSpherical);
        QCOMPARE(s.sphericalLine, WavelengthLine::F);
        QCOMPARE(chromaticMask(s), (1 << WavelengthLine::C) | (1 << WavelengthLine::F));
        QVERIFY(s.minimiseOsc);
        QCOMPARE(s.changeRangePercent, 7.5);
        QCOMPARE(kindFlags(s), KindFlag::SphericalLenses | KindFlag::LensSpacings);

        OptimizerDialog again(document);
        QVERIFY(!control<QCheckBox>(&again, 101)->isChecked());
        QVERIFY(control<QRadioButton>(&again, 105)->isChecked());
        QVERIFY(control<QCheckBox>(&again, 112)->isChecked());
        QVERIFY(!control<QCheckBox>(&again, 113)->isChecked());
        QCOMPARE(control<QLineEdit>(&again, 131)->text(), QStringLiteral("7.5"));
        QVERIFY(!control<QCheckBox>(&again, 142)->isChecked());
        QVERIFY(control<QCheckBox>(&again, 143)->isChecked());
    }

    // A range that is no percentage runs nothing: refused by name, nothing stored.
    void aRangeThatIsNoPercentageIsRefused() {
        Document document;
        test::prepareDocument(document, kDoublet);
        test::BoxRecorder boxes;
        for (const char* typed : {"abc", "0", "-5", "nan", "250"}) {
            OptimizerDialog dialog(document);
            dialog.open();
            control<QLineEdit>(&dialog, 131)->setText(QString::fromLatin1(typed));
            QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
            QVERIFY2(dialog.isVisible(), typed);
            QVERIFY(boxes.seen.last().text.contains(QStringLiteral("パラメータの変更範囲(%)")));
            QCOMPARE(document.optimizerSettings().changeRangePercent, 5.0);
        }
        QCOMPARE(boxes.seen.size(), 5);
    }

    void closingFromTheTitleBarCancels() {
        Document document;
        test::prepareDocument(document, kDoublet);
        const QByteArray before = test::savedBytes(document);
        ModalDriver driver(QStringLiteral("OPTMIZE"), [](QWidget* dialog) {
            control<QLineEdit>(dialog, 131)->setText(QStringLiteral("20"));
            dialog->close();
            return true;
        });
        QVERIFY(!runOptimizer(document, nullptr));
        QCOMPARE(document.optimizerSettings().changeRangePercent, 5.0);
        QCOMPARE(test::savedBytes(document), before);
        QVERIFY(!document.isModified());
    }

    void runThroughTheProgressWindowIsTheCommandLines() {
        Document document;
        test::prepareDocument(document, kDoublet);
        QSignalSpy changes(&document, &Document::lensChanged);
        test::BoxRecorder boxes;
        ModalDriver driver(QStringLiteral("OPTMIZE"), [](QWidget* dialog) {
            QTest::mouseClick(control<QPushButton>(dialog, 1), Qt::LeftButton);
            return true;
        });
        QVERIFY(runOptimizer(document, nullptr));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).value<ViewFit>(), ViewFit::Keep);
        const QByteArray cli = test::cliDesignFile({"optimize", test::examplePath(kDoublet)});
        QVERIFY(!cli.isEmpty());
        QCOMPARE(test::savedBytes(document), cli);

        // The summary: kiro-cli's pass lines, number for number (the seconds aside).
        QCOMPARE(boxes.seen.size(), 1);
        QTemporaryDir dir;
        const test::CliRun run =
            test::runKiroCli({"optimize", test::examplePath(kDoublet), "-o",
                              dir.filePath("out.OPT"), "--glass-file", test::shippedCatalogPath()});
        const QRegularExpression seconds(QStringLiteral(" seconds [0-9.]+"));
        const auto passLines = [&seconds](const QString& text) {
            QStringList lines =
                text.split(u'\n').filter(QRegularExpression(QStringLiteral("^pass ")));
            lines.replaceInStrings(seconds, QString());
            return lines;
        };
        const QStringList expected = passLines(QString::fromUtf8(run.out));
        QCOMPARE(expected.size(), passCount(OptimizerSettings{}.changeRangePercent));
        QCOMPARE(passLines(boxes.seen.at(0).text), expected);
        QVERIFY(boxes.seen.at(0).text.startsWith(QString::fromUtf8("評価値 ")));
        // Then each chosen measure before and after (spherical and chromatic by default).
        const QString& text = boxes.seen.at(0).text;
        const QRegularExpression measureLine(QString::fromUtf8("^  (.+) (\\S+) → (\\S+)$"),
                                             QRegularExpression::MultilineOption);
        QStringList names;
        for (auto m = measureLine.globalMatch(text); m.hasNext();) {
            const QRegularExpressionMatch match = m.next();
            names << match.captured(1);
            bool ok = false;
            QVERIFY(match.captured(3).toDouble(&ok) >= 0.0 && ok);
        }
        QCOMPARE(names, QStringList({QString::fromUtf8("球面収差"), QString::fromUtf8("色収差")}));
    }

    // Cancel in the second pass: the first pass's result stays, the second's is dropped,
    // and the window repaints the whole time.
    void cancelKeepsThePassesDoneWhileTheWindowRepaints() {
        Document document;
        test::prepareDocument(document);
        const LensSystem start = relayDesign(document.catalog(), 2);
        test::holdSavedDesign(document, start);

        LensSystem expected = start;
        PassReport report;
        const OptimizerSettings settings = document.optimizerSettings();
        QCOMPARE(optimizePass(expected, passParameters(settings, 0.05), {}, report),
                 OptimizeStatus::Done);

        test::BoxRecorder boxes;
        RepaintCounter window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int paintsWhileRunning = -1;
        ModalDriver driver(QStringLiteral("OPTPROGRESS"), [&](QWidget* progress) {
            if (paintsWhileRunning < 0) {
                paintsWhileRunning = window.paints;
            }
            const QString pass = progress->findChild<QLabel*>(QStringLiteral("pass"))->text();
            if (!pass.startsWith(QStringLiteral("パス 2"))) {
                return false;
            }
            paintsWhileRunning = window.paints - paintsWhileRunning;
            QTest::mouseClick(control<QPushButton>(progress, 2), Qt::LeftButton);
            return true;
        });
        QVERIFY(runOptimization(document, nullptr));
        QVERIFY(paintsWhileRunning > 0);
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.seen.at(0).text.contains(QStringLiteral("中止")));
        QVERIFY(boxes.seen.at(0).text.contains(QStringLiteral("1回")));
        QVERIFY(document.isModified());
        QCOMPARE(test::savedBytes(document), QByteArray::fromStdString(designFileText(expected)));
    }

    void tooManyRadiiShowTheErrorInsteadOfStarting() {
        Document document;
        test::prepareDocument(document);
        test::holdSavedDesign(document, relayDesign(document.catalog(), 5)); // 14 rows
        const QByteArray before = test::savedBytes(document);
        test::BoxRecorder boxes;
        QVERIFY(!runOptimization(document, nullptr));
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.at(0).title, QStringLiteral("Error !"));
        QVERIFY(boxes.seen.at(0).text.contains(QStringLiteral("14")));
        QCOMPARE(test::savedBytes(document), before);
        QVERIFY(!document.isModified());
    }

    // A design whose spherical aberration cannot be measured (an obstruction over the
    // whole mirror) gets a warning and no search, and nothing changes.
    void anUnmeasurableDesignIsWarnedAboutInsteadOfSearched() {
        Document document;
        test::prepareDocument(document);
        LensSystem lens = document.lens();
        clearLensSystem(lens);
        auto set = [&](int k, int type, double z, double radius, double effectiveRadius) {
            lens.surfaces[k].type = type;
            lens.surfaces[k].z = z;
            lens.surfaces[k].radius = radius;
            lens.surfaces[k].effectiveRadius = effectiveRadius;
        };
        set(0, SurfaceType::Obstruction, 50.0, 0.0, 500.0);
        set(1, SurfaceType::SphericalMirror, 0.0, 200.0, 50.0);
        set(2, SurfaceType::FlatFocal, 100.0, 0.0, 10.0);
        test::holdSavedDesign(document, lens);
        const QByteArray before = test::savedBytes(document);
        test::BoxRecorder boxes;
        QVERIFY(!runOptimization(document, nullptr));
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.at(0).icon, QMessageBox::Warning);
        QCOMPARE(boxes.seen.at(0).title, OptimizerProgressDialog::title());
        QVERIFY(boxes.seen.at(0).text.contains(QStringLiteral("球面収差を測れない")));
        QCOMPARE(test::savedBytes(document), before);
        QVERIFY(!document.isModified());
    }
};

QTEST_MAIN(OptimizerDialogTest)
#include "optimizer_dialog_test.moc"
