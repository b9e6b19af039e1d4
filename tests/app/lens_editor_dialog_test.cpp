#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "app/dialogs/lens_editor_dialog.h"
#include "app/shell_text.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using kiro::test::control;

namespace {

constexpr const char* kDoublet = "designed/doublet-100-f9.OPT";

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
        QCOMPARE(boxes.seen.at(0).text, QStringLiteral("有効径が0又は負の箇所があります！"));
        QCOMPARE(test::savedBytes(document), before);

        // A focus button is refused the same way; add then shows the diameters typed.
        QTest::mouseClick(control<QPushButton>(&dialog, 401), Qt::LeftButton);
        QCOMPARE(boxes.seen.size(), 2);
        QTest::mouseClick(control<QPushButton>(&dialog, 350), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(&dialog, 116)->text(), QStringLiteral("100"));
        QCOMPARE(control<QLineEdit>(&dialog, 136)->text(), QStringLiteral("0"));
        dialog.reject();
    }

    void focusButtonRefocusesAndLocksAddAndDelete() {
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
        QTest::mouseClick(control<QPushButton>(&dialog, 300), Qt::LeftButton);
        QCOMPARE(control<QComboBox>(&dialog, 101)->currentText(), QStringLiteral("球面レンズ"));
        QCOMPARE(focalPosition->text(), refocused);
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QCOMPARE(formatNumber("%lg", document.lens().surfaces[4].z), refocused);
    }
};

QTEST_MAIN(LensEditorDialogTest)
#include "lens_editor_dialog_test.moc"
