#include <functional>
#include <memory>
#include <vector>

#include <QDialog>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QVBoxLayout>

#include "app/dialogs/aperture_change_dialog.h"
#include "app/dialogs/curve_dialog.h"
#include "app/dialogs/description_dialog.h"
#include "app/dialogs/fan_dialog.h"
#include "app/dialogs/field_dialog.h"
#include "app/dialogs/lens_editor_dialog.h"
#include "app/dialogs/light_dialog.h"
#include "app/dialogs/optimizer_dialog.h"
#include "app/dialogs/reflector_designer_dialog.h"
#include "app/dialogs/refractor_designer_dialog.h"
#include "app/dialogs/screen_fit.h"
#include "app/dialogs/seidel_dialog.h"
#include "app/dialogs/settings_dialog.h"
#include "app/dialogs/spot_dialog.h"
#include "app/dialogs/wavefront_dialog.h"
#include "tests/app/shell_test_support.h"

using namespace kiro;
using namespace kiro::app;
using namespace kiro::test;

namespace {

// The test runs at interface scale 2 on one 1280 x 800 screen (see CMakeLists.txt).
constexpr QSize kScreenPixels(1280, 800);

using DialogMaker = std::function<std::unique_ptr<QDialog>(Document&)>;

template <typename D> DialogMaker onDocument() {
    return [](Document& document) { return std::make_unique<D>(document); };
}

template <typename D> DialogMaker onLens() {
    return [](Document& document) { return std::make_unique<D>(document.lens()); };
}

std::vector<DialogMaker> everyDialog() {
    return {
        onDocument<DescriptionDialog>(),
        [](Document& document) { return std::make_unique<ApertureChangeDialog>(document, 50.0); },
        onDocument<SettingsDialog>(),
        onDocument<LensEditorDialog>(),
        onDocument<OptimizerDialog>(),
        onDocument<ReflectorDesignerDialog>(),
        onDocument<RefractorDesignerDialog>(),
        onLens<SpotDialog>(),
        onLens<CurveDialog>(),
        onLens<LightDialog>(),
        onLens<WavefrontDialog>(),
        onLens<FanDialog>(),
        onLens<FieldDialog>(),
        onLens<SeidelDialog>(),
    };
}

QSize inPixels(const QWidget* window) {
    return (QSizeF(window->frameGeometry().size()) * window->devicePixelRatioF()).toSize();
}

} // namespace

class ScreenFitTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        fitDialogsToScreen();
        QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->devicePixelRatio(), 2.0);
        QCOMPARE((QSizeF(screen->geometry().size()) * 2.0).toSize(), kScreenPixels);
    }

    void everyDialogFitsTheScreenAndKeepsItsContentWhole() {
        int scrolled = 0;
        for (const QString& example : exampleDesigns()) {
            Document document;
            prepareDocument(document, example);
            for (const DialogMaker& make : everyDialog()) {
                std::unique_ptr<QDialog> dialog = make(document);
                dialog->show();
                QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
                const QSize size = inPixels(dialog.get());
                QVERIFY2(size.width() <= kScreenPixels.width() &&
                             size.height() <= kScreenPixels.height(),
                         qPrintable(dialog->objectName() +
                                    QStringLiteral(" %1x%2").arg(size.width()).arg(size.height())));
                // A dialog that scrolls shows its content at full size, never squeezed.
                if (auto* area = dialog->findChild<QScrollArea*>(QStringLiteral("screenFit"))) {
                    ++scrolled;
                    const QWidget* content = area->widget();
                    QVERIFY2(content->width() >= content->minimumSizeHint().width() &&
                                 content->height() >= content->minimumSizeHint().height(),
                             qPrintable(dialog->objectName()));
                }
                dialog->hide();
            }
        }
        // The analyses' drawings alone are larger than 640 x 400 at this scale.
        QVERIFY(scrolled > 0);
    }

    void aDialogThatFitsIsLeftAsItIs() {
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        auto* label = new QLabel(QStringLiteral("small"));
        layout->addWidget(label);
        QVERIFY(!scrollWhenLarger(&dialog, QSize(600, 400)));
        QCOMPARE(dialog.layout(), layout);
        QCOMPARE(label->parentWidget(), &dialog);
        // Once scrolling, a second fitting changes nothing.
        QVERIFY(scrollWhenLarger(&dialog, QSize(5, 5)));
        QVERIFY(label->parentWidget() != &dialog);
        QVERIFY(!scrollWhenLarger(&dialog, QSize(5, 5)));
        QCOMPARE(dialog.findChildren<QScrollArea*>().size(), 1);
    }
};

QTEST_MAIN(ScreenFitTest)
#include "screen_fit_test.moc"
