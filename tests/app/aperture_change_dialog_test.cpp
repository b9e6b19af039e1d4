#include <cmath>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/dialogs/aperture_change_dialog.h"
#include "app/document.h"
#include "app/layout_widget.h"
#include "app/shell_text.h"
#include "model/aperture_change.h"

using namespace kiro;
using namespace kiro::app;

namespace {

Surface row(int type, double z, double radius, double effectiveRadius) {
    Surface s;
    s.type = type;
    s.z = z;
    s.radius = radius;
    s.effectiveRadius = effectiveRadius;
    return s;
}

// Two stops of diameter 80 and 60 before a lens of diameter 100, a stop of 120 after it.
SurfaceTable stopsBeforeALens() {
    SurfaceTable table{};
    table[0] = row(SurfaceType::Stop, 0, 0, 40);
    table[1] = row(SurfaceType::Stop, -10, 0, 30);
    table[2] = row(SurfaceType::SphericalLens, -20, 500, 50);
    table[3] = row(SurfaceType::AsphericLens, -30, 0.002, 50);
    table[3].a2 = 8e-9;
    table[4] = row(SurfaceType::Stop, -40, 0, 60);
    table[5] = row(SurfaceType::FlatFocal, -900, 0, 20);
    return table;
}

struct Dialog {
    Document document;
    std::unique_ptr<ApertureChangeDialog> dialog;
    explicit Dialog(const SurfaceTable& table) {
        document.setTable(table, ViewFit::Refit);
        document.setModified(false);
        dialog = std::make_unique<ApertureChangeDialog>(
            document, currentSemiAperture(document.lens().surfaces));
        dialog->open();
    }
    QLineEdit* edit(const char* id) { return dialog->findChild<QLineEdit*>(QLatin1String(id)); }
    void click(const char* id) { dialog->findChild<QAbstractButton*>(QLatin1String(id))->click(); }
};

} // namespace

class ApertureChangeDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { useCNumbers(); }

    void opensWithTheScannedApertureAndScaleModeSelected() {
        Dialog d(stopsBeforeALens());
        QCOMPARE(d.dialog->windowTitle(), QString::fromUtf8("口径／F値の変更"));
        QCOMPARE(d.edit("103")->text(), QStringLiteral("60.000000"));
        QCOMPARE(d.edit("104")->text(), QString());
        QVERIFY(d.dialog->findChild<QRadioButton*>(QStringLiteral("101"))->isChecked());
        QVERIFY(!d.dialog->findChild<QRadioButton*>(QStringLiteral("102"))->isChecked());
    }

    void scaleModeScalesTheWholeDesign() {
        Dialog d(stopsBeforeALens());
        d.edit("104")->setText(QStringLiteral("120"));
        d.click("1");
        QCOMPARE(d.dialog->result(), int(QDialog::Accepted));
        const SurfaceTable& t = d.document.lens().surfaces;
        QCOMPARE(t[2].z, -40.0);
        QCOMPARE(t[2].radius, 1000.0);
        QCOMPARE(t[2].effectiveRadius, 100.0);
        QCOMPARE(t[3].radius, 0.001);
        QCOMPARE(t[3].a2, 1e-9);
        QCOMPARE(t[5].z, -1800.0);
        QVERIFY(d.document.isModified());
    }

    void apertureModeChangesOnlyTheClearAperturesFromTheEditedOldAperture() {
        Dialog d(stopsBeforeALens());
        d.click("102");
        d.edit("103")->setText(QStringLiteral("80"));
        d.edit("104")->setText(QStringLiteral("100"));
        d.click("1");
        const SurfaceTable& t = d.document.lens().surfaces;
        QCOMPARE(t[0].effectiveRadius, 50.0);
        QCOMPARE(t[4].effectiveRadius, 75.0);
        QCOMPARE(t[2].z, -20.0);
        QCOMPARE(t[2].radius, 500.0);
    }

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
        Dialog d(stopsBeforeALens());
        d.edit("103")->setText(oldAperture);
        d.edit("104")->setText(newAperture);
        d.click("1");
        QCOMPARE(d.dialog->result(), int(QDialog::Rejected));
        QVERIFY(!d.document.isModified());
        QCOMPARE(d.document.lens().surfaces[2].radius, 500.0);
    }

    void threeHundredDigitsGiveAHugeButFiniteDesignThatStillDraws() {
        Dialog d(stopsBeforeALens());
        d.edit("104")->setText(QString(300, u'9'));
        d.click("1");
        for (const Surface& s : d.document.lens().surfaces) {
            QVERIFY(std::isfinite(s.z) && std::isfinite(s.radius) &&
                    std::isfinite(s.effectiveRadius));
        }
        LayoutWidget view(d.document);
        view.resize(630, 400);
        view.fit();
        QVERIFY(!view.grab().isNull());
    }
};

QTEST_MAIN(ApertureChangeDialogTest)
#include "aperture_change_dialog_test.moc"
