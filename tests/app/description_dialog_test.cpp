#include <cstring>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/dialogs/description_dialog.h"
#include "app/document.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using kiro::test::control;

class DescriptionDialogTest : public QObject {
    Q_OBJECT

    static QLineEdit* text(DescriptionDialog& dialog) { return control<QLineEdit>(&dialog, 101); }
    static void press(DescriptionDialog& dialog, int id) {
        control<QPushButton>(&dialog, id)->click();
    }

  private slots:
    void showsTheDescriptionDecodedAndStoresItOnOkOnly() {
        Document document;
        LensSystem older = document.lens();
        std::strcpy(older.description, "\x94\xbd\x8e\xcb"); // 反射 in CP932, as older files hold it
        test::holdSavedDesign(document, older);
        DescriptionDialog dialog(document);
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("設計データの説明"));
        QCOMPARE(text(dialog)->text(), QString::fromUtf8("反射"));

        text(dialog)->setText(QString::fromUtf8("反射望遠鏡 200mm"));
        press(dialog, 2);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!document.isModified());

        dialog.open();
        text(dialog)->setText(QString::fromUtf8("反射望遠鏡 200mm"));
        press(dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // Stored as CP932 bytes, as the design files keep it.
        QCOMPARE(QByteArray(document.lens().description),
                 QByteArray("\x94\xbd\x8e\xcb\x96\x5d\x89\x93\x8b\xbe 200mm"));
    }

    void storesAtMost255BytesWithoutSplittingACharacter() {
        Document document;
        DescriptionDialog dialog(document);
        dialog.open();
        text(dialog)->setText(QStringLiteral("a") + QString(200, QChar(0x671B))); // a望望...
        press(dialog, 1);
        QCOMPARE(qstrlen(document.lens().description), 255u);
    }

    void refusesCharactersWithoutACp932FormAndStaysOpen() {
        Document document;
        document.applyDescription("kept", {});
        test::BoxRecorder boxes;
        DescriptionDialog dialog(document);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        text(dialog)->setText(QString::fromUtf8("望遠鏡 😀"));
        press(dialog, 1);
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].title, QStringLiteral("Error !"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(QByteArray(document.lens().description), QByteArray("kept"));
    }
};

QTEST_MAIN(DescriptionDialogTest)
#include "description_dialog_test.moc"
