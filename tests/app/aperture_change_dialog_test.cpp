#include <cmath>
#include <memory>

#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "app/dialogs/aperture_change_dialog.h"
#include "app/document.h"
#include "app/layout_widget.h"
#include "app/shell_text.h"
#include "presenters/aperture_change.h"
#include "tests/app/shell_test_support.h"
#include "tests/support/surface_tables.h"

using namespace kiro;
using namespace kiro::app;
using test::control;
using test::makeRow;

namespace {

// Two stops of diameter 80 and 60 before a lens of diameter 100, a stop of 120 after it.
SurfaceTable stopsBeforeALens() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0, 0, 40);
    table[1] = makeRow(SurfaceType::Stop, -10, 0, 30);
    table[2] = makeRow(SurfaceType::SphericalLens, -20, 500, 50);
    table[3] = makeRow(SurfaceType::SphericalLens, -30, 800, 50);
    table[4] = makeRow(SurfaceType::Stop, -40, 0, 60);
    table[5] = makeRow(SurfaceType::FlatFocal, -900, 0, 20);
    return table;
}

// The dialog opened on that design, as the menu command opens it.
struct Dialog {
    Document document;
    std::unique_ptr<ApertureChangeDialog> dialog;
    Dialog() {
        LensSystem lens = document.lens();
        lens.surfaces = stopsBeforeALens();
        test::holdSavedDesign(document, lens);
        dialog = std::make_unique<ApertureChangeDialog>(
            document, currentSemiAperture(document.lens().surfaces));
        dialog->open();
    }
    QLineEdit* edit(int id) { return control<QLineEdit>(dialog.get(), id); }
    void click(int id) { control<QAbstractButton>(dialog.get(), id)->click(); }
    const SurfaceTable& table() const { return document.lens().surfaces; }
};

} // namespace

class ApertureChangeDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { useCNumbers(); }

    void opensWithTheScannedApertureAndScaleModeSelected() {
        Dialog d;
        QCOMPARE(d.dialog->windowTitle(), QString::fromUtf8("口径／F値の変更"));
        QCOMPARE(d.edit(103)->text(), QStringLiteral("60.000000"));
        QCOMPARE(d.edit(104)->text(), QString());
        QVERIFY(control<QRadioButton>(d.dialog.get(), 101)->isChecked());
    }

    void okRescalesFromTheOldApertureInTheChosenMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("oldAperture");
        QTest::addColumn<double>("lensZ");
        QTest::addColumn<double>("lensRadius");
        QTest::addColumn<double>("lastStopRadius");
        QTest::newRow("whole design 60 -> 120") << 101 << "60" << -40.0 << 1000.0 << 120.0;
        QTest::newRow("apertures only, old edited to 80 -> 120")
            << 102 << "80" << -20.0 << 500.0 << 90.0;
    }

    void okRescalesFromTheOldApertureInTheChosenMode() {
        QFETCH(int, mode);
        QFETCH(QString, oldAperture);
        QFETCH(double, lensZ);
        QFETCH(double, lensRadius);
        QFETCH(double, lastStopRadius);
        Dialog d;
        d.click(mode);
        d.edit(103)->setText(oldAperture);
        d.edit(104)->setText(QStringLiteral("120"));
        d.click(1);
        QCOMPARE(d.dialog->result(), int(QDialog::Accepted));
        QCOMPARE(d.table()[2].z, lensZ);
        QCOMPARE(d.table()[2].radius, lensRadius);
        QCOMPARE(d.table()[4].effectiveRadius, lastStopRadius);
        QVERIFY(d.document.isModified());
    }

    // A field that is no aperture, or a change no design can hold, is refused with a
    // message and the dialog stays.
    void unusableAperturesLeaveTheDesignAsItWas_data() {
        QTest::addColumn<QString>("oldAperture");
        QTest::addColumn<QString>("newAperture");
        QTest::newRow("empty") << "60"
                               << "";
        QTest::newRow("text") << "60"
                              << "abc";
        QTest::newRow("zero") << "0"
                              << "100";
        QTest::newRow("negative") << "60"
                                  << "-100";
        QTest::newRow("nan") << "60"
                             << "nan";
        QTest::newRow("1e999") << "60"
                               << "1e999";
        QTest::newRow("tiny to huge") << "1e-300"
                                      << "1e300";
    }

    void unusableAperturesLeaveTheDesignAsItWas() {
        QFETCH(QString, oldAperture);
        QFETCH(QString, newAperture);
        test::BoxRecorder boxes;
        Dialog d;
        d.edit(103)->setText(oldAperture);
        d.edit(104)->setText(newAperture);
        d.click(1);
        QCOMPARE(d.dialog->result(), int(QDialog::Rejected));
        QVERIFY(d.dialog->isVisible());
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY(!d.document.isModified());
        QCOMPARE(d.table()[2].radius, 500.0);
    }

    void threeHundredDigitsGiveAHugeButFiniteDesignThatStillDraws() {
        Dialog d;
        d.edit(104)->setText(QString(300, u'9'));
        d.click(1);
        for (const Surface& s : d.table()) {
            QVERIFY(std::isfinite(s.z) && std::isfinite(s.radius) &&
                    std::isfinite(s.effectiveRadius));
        }
        LayoutWidget view(d.document);
        view.resize(630, 400);
        view.fit();
        // Drawn, and drawn sanely: some lines on the background, not a flooded picture.
        const QImage picture = view.grab().toImage();
        const QRgb background = picture.pixel(0, 0);
        qsizetype drawn = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                drawn += picture.pixel(x, y) != background ? 1 : 0;
            }
        }
        QVERIFY(drawn > 0);
        QVERIFY2(drawn < picture.width() * picture.height() / 2,
                 qPrintable(QString::number(drawn)));
    }
};

QTEST_MAIN(ApertureChangeDialogTest)
#include "aperture_change_dialog_test.moc"
