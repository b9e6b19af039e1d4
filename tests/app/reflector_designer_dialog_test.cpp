#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "app/dialogs/reflector_designer_dialog.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using kiro::test::control;

namespace {

void setText(QWidget* dialog, int id, const QString& text) {
    control<QLineEdit>(dialog, id)->setText(text);
}

void pressOk(QWidget* dialog) {
    QTest::mouseClick(control<QPushButton>(dialog, 1), Qt::LeftButton);
}

int glassPosition(const Document& document, const char* name) {
    return findGlass(document.catalog(), name);
}

} // namespace

class ReflectorDesignerDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithTheStartValues() {
        Document document;
        test::prepareDocument(document);
        ReflectorDesignerDialog dialog(document);
        QCOMPARE(control<QComboBox>(&dialog, 101)->currentIndex(), -1);
        QCOMPARE(control<QComboBox>(&dialog, 101)->count(), 8);
        QCOMPARE(control<QComboBox>(&dialog, 101)->itemText(6),
                 QStringLiteral("ベーカー・シュミットカセグレン"));
        QCOMPARE(control<QLineEdit>(&dialog, 102)->text(), QStringLiteral("200"));
        QCOMPARE(control<QLineEdit>(&dialog, 103)->text(), QStringLiteral("5"));
        QCOMPARE(control<QLineEdit>(&dialog, 120)->text(), QStringLiteral("1"));
        QCOMPARE(control<QLineEdit>(&dialog, 121)->text(), QStringLiteral("100"));
        QCOMPARE(control<QComboBox>(&dialog, 104)->currentIndex(), -1);
        QVERIFY(control<QRadioButton>(&dialog, 106)->isChecked());
        QCOMPARE(control<QRadioButton>(&dialog, 110)->text(), QStringLiteral("h(404.7nm)"));
    }

    // 200 mm f/10 Schmidt-Cassegrain at the e line: the saved file is kiro-cli's.
    void designIsTheCommandLinesByteForByte() {
        Document document;
        test::prepareDocument(document, "newtonian-200-f5.OPT");
        QSignalSpy changes(&document, &Document::lensChanged);
        ReflectorDesignerDialog dialog(document);
        dialog.show();
        control<QComboBox>(&dialog, 101)
            ->setCurrentIndex(listPosition(ReflectorType::SchmidtCassegrain));
        control<QComboBox>(&dialog, 104)->setCurrentIndex(glassPosition(document, "N-BK7"));
        setText(&dialog, 103, QStringLiteral("10"));
        control<QRadioButton>(&dialog, 107)->click();
        pressOk(&dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(document.referenceLine(), WavelengthLine::e);
        QVERIFY(document.isModified());
        QCOMPARE(changes.last().at(0).value<ViewFit>(), ViewFit::Refit);
        const QByteArray cli = test::cliDesignFile(
            {"design", "reflector", "--type", "schmidt-cassegrain", "--aperture", "200", "--fnum",
             "10", "--glass", "N-BK7", "--line", "e"});
        QVERIFY(!cli.isEmpty());
        QCOMPARE(test::savedBytes(document), cli);
    }

    void inputsAreRememberedWithTheirCorrections() {
        Document document;
        test::prepareDocument(document);
        {
            ReflectorDesignerDialog dialog(document);
            dialog.show();
            control<QComboBox>(&dialog, 101)
                ->setCurrentIndex(listPosition(ReflectorType::Cassegrain));
            setText(&dialog, 102, QStringLiteral("150"));
            setText(&dialog, 103, QStringLiteral("12"));
            setText(&dialog, 120, QStringLiteral("-3"));
            setText(&dialog, 121, QString());
            control<QRadioButton>(&dialog, 108)->click();
            pressOk(&dialog);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        ReflectorDesignerDialog again(document);
        QCOMPARE(control<QComboBox>(&again, 101)->currentIndex(),
                 listPosition(ReflectorType::Cassegrain));
        QCOMPARE(control<QLineEdit>(&again, 102)->text(), QStringLiteral("150"));
        QCOMPARE(control<QLineEdit>(&again, 103)->text(), QStringLiteral("12"));
        QCOMPARE(control<QLineEdit>(&again, 120)->text(), QStringLiteral("1"));
        QCOMPARE(control<QLineEdit>(&again, 121)->text(), QStringLiteral("150"));
        QVERIFY(control<QRadioButton>(&again, 108)->isChecked());
        QCOMPARE(document.referenceLine(), WavelengthLine::F);
    }

    // OK never wipes the design unasked: no type, a field that is no number and a size
    // no designer builds each keep the dialog open with a message saying which.
    void refusedInputsSayWhyAndKeepTheDesign_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("aperture");
        QTest::addColumn<QString>("said");
        QTest::newRow("no type") << -1 << "200"
                                 << "「望遠鏡の種類」が選ばれていません。";
        QTest::newRow("nan") << 0 << "nan"
                             << "「口径(mm)」の「nan」は有限の数値ではありません。";
        QTest::newRow("letters") << 0 << "abc"
                                 << "「口径(mm)」の「abc」は数値として読めません。";
        QTest::newRow("zero") << 0 << "0"
                              << "口径とF値には正の数を指定してください。";
    }

    void refusedInputsSayWhyAndKeepTheDesign() {
        QFETCH(int, type);
        QFETCH(QString, aperture);
        QFETCH(QString, said);
        Document document;
        test::prepareDocument(document, "newtonian-200-f5.OPT");
        const QByteArray before = test::savedBytes(document);
        test::BoxRecorder boxes;
        ReflectorDesignerDialog dialog(document);
        dialog.show();
        control<QComboBox>(&dialog, 101)->setCurrentIndex(type);
        setText(&dialog, 102, aperture);
        pressOk(&dialog);
        QVERIFY(dialog.isVisible());
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.at(0).text, said);
        QCOMPARE(test::savedBytes(document), before);
        QVERIFY(!document.isModified());
        dialog.reject();
    }

    void failingBuilderShowsTheErrorAndKeepsTheDesign() {
        Document document;
        test::prepareDocument(document, "newtonian-200-f5.OPT");
        const QByteArray before = test::savedBytes(document);
        test::BoxRecorder boxes;
        ReflectorDesignerDialog dialog(document);
        dialog.show();
        control<QComboBox>(&dialog, 101)
            ->setCurrentIndex(listPosition(ReflectorType::SchmidtCamera));
        pressOk(&dialog); // no corrector glass chosen
        QVERIFY(dialog.isVisible());
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.at(0).title, QStringLiteral("Error !"));
        QVERIFY(!boxes.seen.at(0).text.isEmpty());
        QCOMPARE(test::savedBytes(document), before);
        dialog.reject();
    }
};

QTEST_MAIN(ReflectorDesignerDialogTest)
#include "reflector_designer_dialog_test.moc"
