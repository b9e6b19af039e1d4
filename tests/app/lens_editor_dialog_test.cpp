#include <cstring>

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "app/dialogs/lens_editor_dialog.h"
#include "app/dialogs/number_fields.h"
#include "app/shell_text.h"
#include "presenters/aperture_change.h"
#include "presenters/design_dialog_logic.h"
#include "tests/app/shell_test_support.h"
#include "tests/support/german_numbers.h"

using namespace kiro;
using namespace kiro::app;
using kiro::test::control;

namespace {

constexpr const char* kDoublet = "designed/doublet-100-f9.OPT";

// The 100 mm f/9 doublet as the refracting designer computes it, refocused at d.
LensSystem designedDoublet(const GlassCatalog& catalog) {
    LensSystem lens = kiro::test::startDesign();
    RefractorFields fields;
    fields.type = RefractorType::Doublet;
    fields.glass1 = findGlass(catalog, "N-BK7");
    fields.glass2 = findGlass(catalog, "F2");
    fields.aperture = "100";
    fields.fNumber = "9";
    fields.thickness1 = "0";
    fields.thickness2 = "0";
    fields.thickness3 = "0";
    RefractorInputs kept;
    int line = WavelengthLine::d;
    if (!confirmRefractorDialog(lens, kept, line, fields, catalog).ok) {
        qFatal("the doublet could not be designed");
    }
    refocusAfterDesign(lens, line);
    return lens;
}

bool sameBits(const Surface& a, const Surface& b) {
    const double u[] = {
        a.x, a.y, a.z, a.nx, a.ny, a.nz, a.radius, a.a2, a.a3, a.a4, a.effectiveRadius};
    const double v[] = {
        b.x, b.y, b.z, b.nx, b.ny, b.nz, b.radius, b.a2, b.a3, b.a4, b.effectiveRadius};
    return a.type == b.type && std::memcmp(u, v, sizeof u) == 0 &&
           std::memcmp(a.index.data(), b.index.data(), sizeof(double) * kIndexSlots) == 0 &&
           std::memcmp(a.material, b.material, kNameBytes) == 0;
}

void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

} // namespace

class LensEditorDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void everyControlCarriesItsIdentifier() {
        Document document;
        test::prepareDocument(document, kDoublet);
        LensEditorDialog dialog(document);
        for (int k = 0; k < kEditorRows; ++k) {
            const int b = LensEditorDialog::rowBase(k);
            QVERIFY(control<QComboBox>(&dialog, b));
            for (int e = 1; e <= 5; ++e) {
                QVERIFY(control<QLineEdit>(&dialog, b + e));
            }
            const bool last = k == kEditorRows - 1;
            QCOMPARE(dialog.findChild<QComboBox*>(QString::number(b + 6)) != nullptr, !last);
            QCOMPARE(dialog.findChild<QLineEdit*>(QString::number(b + 7)) != nullptr, !last);
            QVERIFY(control<QLineEdit>(&dialog, b + 8));
            QVERIFY(control<QPushButton>(&dialog, 300 + k));
            QCOMPARE(dialog.findChild<QPushButton*>(QString::number(350 + k)) != nullptr, !last);
        }
        for (int id = 400; id <= 405; ++id) {
            QVERIFY(control<QPushButton>(&dialog, id));
        }
        QCOMPARE(control<QComboBox>(&dialog, 111)->currentText(), QStringLiteral("球面レンズ"));
        QCOMPARE(control<QComboBox>(&dialog, 111)->count(), kTypeListSize);
        QCOMPARE(control<QLineEdit>(&dialog, 102)->text(), QStringLiteral("-534.606"));
        QCOMPARE(control<QLineEdit>(&dialog, 103)->text(), QStringLiteral("-"));
        QCOMPARE(control<QLineEdit>(&dialog, 106)->text(), QStringLiteral("100"));
        QCOMPARE(control<QComboBox>(&dialog, 107)->currentText(), QStringLiteral("N-BK7"));
        QCOMPARE(control<QLineEdit>(&dialog, 108)->text(), QStringLiteral("15.5"));
        QCOMPARE(control<QLineEdit>(&dialog, 139)->text(), QStringLiteral("-24.5"));
        // The last row in use has nothing after it; the rows after it are empty.
        QCOMPARE(control<QComboBox>(&dialog, 147)->currentIndex(), -1);
        QCOMPARE(control<QComboBox>(&dialog, 151)->currentIndex(), -1);
        QCOMPARE(control<QLineEdit>(&dialog, 152)->text(), QString());
    }

    // The gap controls stand half a row lower than their row, and everything fits a
    // 1366 x 768 screen.
    void gridIsAlignedAndFitsTheScreen() {
        Document document;
        test::prepareDocument(document, kDoublet);
        LensEditorDialog dialog(document);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const int rowTop = control<QComboBox>(&dialog, 101)->y();
        const int pitch = control<QComboBox>(&dialog, 111)->y() - rowTop;
        QVERIFY(pitch > 0);
        QCOMPARE(control<QLineEdit>(&dialog, 108)->y(), rowTop + pitch / 2);
        QCOMPARE(control<QComboBox>(&dialog, 107)->y(), rowTop + pitch / 2);
        QCOMPARE(control<QLineEdit>(&dialog, 106)->y(), rowTop);
        QCOMPARE(control<QPushButton>(&dialog, 350)->y(), rowTop + pitch / 2);
        QCOMPARE(control<QPushButton>(&dialog, 300)->y(), rowTop);
        QCOMPARE(control<QLineEdit>(&dialog, 109)->y(), rowTop);
        QVERIFY(dialog.frameGeometry().width() <= 1366);
        QVERIFY(dialog.frameGeometry().height() <= 768);
    }

    void tabMovesThroughARowFromLeftToRight() {
        Document document;
        test::prepareDocument(document, kDoublet);
        LensEditorDialog dialog(document);
        QWidget* widget = control<QComboBox>(&dialog, 121);
        QStringList order;
        for (int i = 0; i < 11; ++i) {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
        }
        QCOMPARE(order, QStringList({"121", "122", "123", "124", "125", "126", "127", "128", "129",
                                     "302", "352"}));
    }

    void okStoresTheGridAndAsksForARefit() {
        Document document;
        test::prepareDocument(document, kDoublet);
        QSignalSpy changes(&document, &Document::lensChanged);
        LensEditorDialog dialog(document);
        dialog.show();
        typeInto(control<QLineEdit>(&dialog, 102), QStringLiteral("-500"));
        typeInto(control<QLineEdit>(&dialog, 108), QStringLiteral("12")); // spacing 0 -> 1
        QCOMPARE(control<QLineEdit>(&dialog, 119)->text(), QStringLiteral("-12"));
        QCOMPARE(control<QLineEdit>(&dialog, 129)->text(), QStringLiteral("-12.5"));
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(document.lens().surfaces[0].radius, -500.0);
        QCOMPARE(document.lens().surfaces[1].z, -12.0);
        QCOMPARE(document.lens().surfaces[0].effectiveRadius, 50.0);
        QCOMPARE(document.lens().surfaces[4].z, -911.323 + 3.5);
        QVERIFY(document.isModified());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).value<ViewFit>(), ViewFit::Refit);
    }

    void cancelLeavesTheDesign() {
        Document document;
        test::prepareDocument(document, kDoublet);
        const QByteArray before = test::savedBytes(document);
        LensEditorDialog dialog(document);
        dialog.show();
        typeInto(control<QLineEdit>(&dialog, 102), QStringLiteral("-1"));
        QTest::mouseClick(control<QPushButton>(&dialog, 2), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(test::savedBytes(document), before);
        QVERIFY(!document.isModified());
    }

    void invalidDiameterShowsTheErrorAndKeepsEditorAndDesign() {
        Document document;
        test::prepareDocument(document, kDoublet);
        const QByteArray before = test::savedBytes(document);
        test::BoxRecorder boxes;
        LensEditorDialog dialog(document);
        dialog.show();
        typeInto(control<QLineEdit>(&dialog, 126), QStringLiteral("0"));
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.at(0).title, QStringLiteral("Error !"));
        QCOMPARE(boxes.seen.at(0).text,
                 QStringLiteral("有効径が0又は負の箇所があります！\n（3行目）"));
        QCOMPARE(test::savedBytes(document), before);

        // A focus button is refused the same way; add then shows the diameters typed.
        QTest::mouseClick(control<QPushButton>(&dialog, 401), Qt::LeftButton);
        QCOMPARE(boxes.seen.size(), 2);
        QTest::mouseClick(control<QPushButton>(&dialog, 350), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(&dialog, 116)->text(), QStringLiteral("100"));
        QCOMPARE(control<QLineEdit>(&dialog, 136)->text(), QStringLiteral("0"));
        dialog.reject();
    }

    // After a focus button add, delete and the coupling work as before it.
    void focusButtonRefocusesAndLeavesTheEditorWorking() {
        Document document;
        test::prepareDocument(document, kDoublet);
        LensEditorDialog dialog(document);
        dialog.show();
        QLineEdit* focalPosition = control<QLineEdit>(&dialog, 149);
        typeInto(control<QLineEdit>(&dialog, 138), QStringLiteral("800"));
        QCOMPARE(focalPosition->text(), QStringLiteral("-824.5"));
        QTest::mouseClick(control<QPushButton>(&dialog, 401), Qt::LeftButton);
        const QString refocused = focalPosition->text();
        QVERIFY(refocused != QStringLiteral("-824.5"));
        QTest::mouseClick(control<QPushButton>(&dialog, 350), Qt::LeftButton);
        QCOMPARE(control<QComboBox>(&dialog, 111)->currentText(), QStringLiteral("絞り"));
        QCOMPARE(control<QLineEdit>(&dialog, 159)->text(), refocused);
        typeInto(control<QLineEdit>(&dialog, 108), QStringLiteral("10"));
        QCOMPARE(control<QLineEdit>(&dialog, 119)->text(), QStringLiteral("-10"));
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QCOMPARE(document.lens().surfaces[1].type, SurfaceType::Stop);
        QCOMPARE(document.lens().surfaces[2].z, -10.0);
    }

    // OK on a design the program computed, with nothing typed, stores every bit of it.
    void okWithoutEditsKeepsEveryBit_data() {
        QTest::addColumn<int>("which");
        QTest::newRow("designed 100 mm f/9 doublet") << 0;
        QTest::newRow("Schmidt-Cassegrain resized to 250 mm") << 1;
    }

    void okWithoutEditsKeepsEveryBit() {
        QFETCH(int, which);
        Document document;
        test::prepareDocument(document);
        LensSystem lens =
            which == 0
                ? designedDoublet(document.catalog())
                : test::loadExample(QStringLiteral("designed/schmidt-cassegrain-200-f10.OPT"));
        if (which == 1) {
            QVERIFY(changeAperture(lens.surfaces, ApertureChangeMode::ScaleDesign, 100.0, 125.0));
        }
        test::holdSavedDesign(document, lens);
        LensEditorDialog dialog(document);
        dialog.show();
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        SurfaceTable expected = lens.surfaces;
        for (int k = 0; k + 1 < kSurfaceRows; ++k) {
            expected[k].z -= lens.surfaces[0].z;
        }
        for (int k = 0; k < kSurfaceRows; ++k) {
            QVERIFY2(sameBits(document.lens().surfaces[k], expected[k]),
                     qPrintable(QString::number(k)));
        }
    }

    // A glass the catalogue lacks stays in its row's list, marked, and keeps its indices.
    void aGlassOutsideTheCatalogueIsKept() {
        Document document;
        test::prepareDocument(document);
        LensSystem lens = test::loadExample(QString::fromLatin1(kDoublet));
        std::strcpy(lens.surfaces[0].material, "BK7");
        lens.surfaces[0].index.fill(1.5);
        test::holdSavedDesign(document, lens);
        LensEditorDialog dialog(document);
        dialog.show();
        QCOMPARE(control<QComboBox>(&dialog, 107)->currentText(),
                 QStringLiteral("BK7（カタログにない）"));
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QCOMPARE(QByteArray(document.lens().surfaces[0].material), QByteArray("BK7"));
        QCOMPARE(document.lens().surfaces[0].index[2], 1.5);
    }

    // Entries typed before add or delete move with their rows.
    void typedEntriesMoveWithAddAndDelete() {
        Document document;
        test::prepareDocument(document, kDoublet);
        LensEditorDialog dialog(document);
        dialog.show();
        typeInto(control<QLineEdit>(&dialog, 112), QStringLiteral("-555"));
        QTest::mouseClick(control<QPushButton>(&dialog, 350), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(&dialog, 122)->text(), QStringLiteral("-555"));
        QTest::mouseClick(control<QPushButton>(&dialog, 301), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(&dialog, 112)->text(), QStringLiteral("-555"));
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QCOMPARE(document.lens().surfaces[1].radius, -555.0);
    }

    // Text that is no finite number is refused by name, marked, and nothing is stored.
    void unreadableNumbersAreRefusedAndNothingIsStored_data() {
        QTest::addColumn<QString>("text");
        for (const char* text : {"1e999", "nan", "inf", "abc", "12mm", "0,5"}) {
            QTest::newRow(text) << QString::fromLatin1(text);
        }
    }

    void unreadableNumbersAreRefusedAndNothingIsStored() {
        QFETCH(QString, text);
        Document document;
        test::prepareDocument(document, kDoublet);
        const QByteArray before = test::savedBytes(document);
        test::BoxRecorder boxes;
        LensEditorDialog dialog(document);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLineEdit* radius = control<QLineEdit>(&dialog, 112);
        typeInto(radius, text);
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.at(0).icon, QMessageBox::Warning);
        QVERIFY2(boxes.seen.at(0).text.contains(QStringLiteral("2行目の曲率半径(mm)")),
                 qPrintable(boxes.seen.at(0).text));
        QVERIFY(isMarkedNumberField(radius));
        QCOMPARE(radius->selectedText(), text);
        QCOMPARE(test::savedBytes(document), before);
        QVERIFY(!document.isModified());
        dialog.reject();
    }

    // On a desktop that writes decimal commas, a typed comma is the decimal separator.
    void aDecimalCommaCountsOnAGermanDesktop() {
        const test::GermanNumbers german;
        QVERIFY(german.active());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Document document;
        test::prepareDocument(document, kDoublet);
        LensEditorDialog dialog(document);
        dialog.show();
        typeInto(control<QLineEdit>(&dialog, 102), QStringLiteral("-600,75"));
        typeInto(control<QLineEdit>(&dialog, 112), QStringLiteral("300.5"));
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(document.lens().surfaces[0].radius, -600.75);
        QCOMPARE(document.lens().surfaces[1].radius, 300.5);
    }
};

QTEST_MAIN(LensEditorDialogTest)
#include "lens_editor_dialog_test.moc"
