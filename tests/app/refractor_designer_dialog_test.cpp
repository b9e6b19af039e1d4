#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/dialogs/refractor_designer_dialog.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using kiro::test::control;

namespace {

void choose(QWidget* dialog, int id, const Document& document, const char* glass) {
    control<QComboBox>(dialog, id)->setCurrentIndex(findGlass(document.catalog(), glass));
}

void click(QWidget* dialog, int id) {
    control<QAbstractButton>(dialog, id)->click();
}

} // namespace

class RefractorDesignerDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithTheStartValues() {
        Document document;
        test::prepareDocument(document);
        RefractorDesignerDialog dialog(document);
        QCOMPARE(control<QComboBox>(&dialog, 101)->currentIndex(), -1);
        QCOMPARE(control<QComboBox>(&dialog, 101)->itemText(1),
                 QStringLiteral("２枚玉＋フラットナー"));
        QCOMPARE(control<QLineEdit>(&dialog, 102)->text(), QStringLiteral("100"));
        QCOMPARE(control<QLineEdit>(&dialog, 103)->text(), QStringLiteral("9"));
        for (int id = 104; id <= 106; ++id) {
            QCOMPARE(control<QComboBox>(&dialog, id)->currentIndex(), -1);
        }
        for (int id = 130; id <= 132; ++id) {
            QCOMPARE(control<QLineEdit>(&dialog, id)->text(), QStringLiteral("0"));
        }
        for (int id = 107; id <= 109; ++id) {
            QVERIFY(control<QCheckBox>(&dialog, id)->isChecked());
        }
        QVERIFY(control<QRadioButton>(&dialog, 111)->isChecked());
        const bool chromatic[6] = {false, true, false, true, false, false};
        for (int k = 0; k < 6; ++k) {
            QCOMPARE(control<QCheckBox>(&dialog, 116 + k)->isChecked(), chromatic[k]);
        }
    }

    // 100 mm f/9 doublet of N-BK7 and N-F2: the saved file is kiro-cli's.
    void doubletIsTheCommandLinesByteForByte() {
        Document document;
        test::prepareDocument(document);
        RefractorDesignerDialog dialog(document);
        dialog.show();
        control<QComboBox>(&dialog, 101)->setCurrentIndex(listPosition(RefractorType::Doublet));
        choose(&dialog, 104, document, "N-BK7");
        choose(&dialog, 105, document, "N-F2");
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QByteArray cli =
            test::cliDesignFile({"design", "refractor", "--type", "doublet", "--aperture", "100",
                                 "--fnum", "9", "--glass1", "N-BK7", "--glass2", "N-F2"});
        QVERIFY(!cli.isEmpty());
        QCOMPARE(test::savedBytes(document), cli);
    }

    void inputsAreRemembered() {
        Document document;
        test::prepareDocument(document);
        {
            RefractorDesignerDialog dialog(document);
            dialog.show();
            control<QComboBox>(&dialog, 101)
                ->setCurrentIndex(listPosition(RefractorType::DoubletFlattener));
            control<QLineEdit>(&dialog, 102)->setText(QStringLiteral("80"));
            control<QLineEdit>(&dialog, 103)->setText(QStringLiteral("6"));
            choose(&dialog, 104, document, "N-BK7");
            choose(&dialog, 105, document, "N-F2");
            choose(&dialog, 106, document, "N-BK7");
            control<QLineEdit>(&dialog, 131)->setText(QStringLiteral("4.5"));
            click(&dialog, 109); // OSC off
            click(&dialog, 110); // line C
            click(&dialog, 116); // C on
            click(&dialog, 117); // d off
            QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        const RefractorInputs& kept = document.refractorInputs();
        QCOMPARE(kept.measureFlags, MeasureFlag::Spherical | MeasureFlag::Chromatic);
        QCOMPARE(kept.line, WavelengthLine::C);
        QCOMPARE(kept.chromaticMask, (1 << WavelengthLine::C) | (1 << WavelengthLine::F));
        QCOMPARE(document.referenceLine(), WavelengthLine::C);
        RefractorDesignerDialog again(document);
        QCOMPARE(control<QComboBox>(&again, 101)->currentIndex(), 1);
        QCOMPARE(control<QLineEdit>(&again, 102)->text(), QStringLiteral("80"));
        QCOMPARE(control<QLineEdit>(&again, 131)->text(), QStringLiteral("4.5"));
        QCOMPARE(control<QComboBox>(&again, 106)->currentText(), QStringLiteral("N-BK7"));
        QVERIFY(!control<QCheckBox>(&again, 109)->isChecked());
        QVERIFY(control<QRadioButton>(&again, 110)->isChecked());
        QVERIFY(control<QCheckBox>(&again, 116)->isChecked());
        QVERIFY(!control<QCheckBox>(&again, 117)->isChecked());
    }

    void missingGlassShowsTheErrorAndKeepsTheDesign() {
        Document document;
        test::prepareDocument(document, "designed/doublet-100-f9.OPT");
        const QByteArray before = test::savedBytes(document);
        test::BoxRecorder boxes;
        RefractorDesignerDialog dialog(document);
        dialog.show();
        control<QComboBox>(&dialog, 101)->setCurrentIndex(listPosition(RefractorType::Doublet));
        choose(&dialog, 104, document, "N-BK7");
        QTest::mouseClick(control<QPushButton>(&dialog, 1), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.at(0).title, QStringLiteral("Error !"));
        QVERIFY(boxes.seen.at(0).text.contains(QStringLiteral("第２ガラス材")));
        QCOMPARE(test::savedBytes(document), before);
        QVERIFY(!document.isModified());
        dialog.reject();
    }
};

QTEST_MAIN(RefractorDesignerDialogTest)
#include "refractor_designer_dialog_test.moc"
