#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <algorithm>
#include <functional>
#include <memory>

#include "analysis/information_text.h"
#include "app/dialogs/aperture_change_dialog.h"
#include "app/dialogs/curve_dialog.h"
#include "app/dialogs/description_dialog.h"
#include "app/dialogs/design_failure_text.h"
#include "app/dialogs/fan_dialog.h"
#include "app/dialogs/field_dialog.h"
#include "app/dialogs/lens_editor_dialog.h"
#include "app/dialogs/light_dialog.h"
#include "app/dialogs/optimizer_dialog.h"
#include "app/dialogs/optimizer_progress_dialog.h"
#include "app/dialogs/picture_export.h"
#include "app/dialogs/reflector_designer_dialog.h"
#include "app/dialogs/refractor_designer_dialog.h"
#include "app/dialogs/seidel_dialog.h"
#include "app/dialogs/settings_dialog.h"
#include "app/dialogs/spot_dialog.h"
#include "app/dialogs/wavefront_dialog.h"
#include "app/document.h"
#include "app/file_dialogs.h"
#include "app/help_commands.h"
#include "app/help_window.h"
#include "app/interface_language.h"
#include "app/layout_widget.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "app/shell_text.h"
#include "presenters/aperture_change.h"
#include "presenters/lens_editor.h"
#include "tests/app/shell_test_support.h"

// Every text of the window, the dialogs and the boxes in the language of the test's
// locale (English for en_*, the program's own Japanese for C and ja_JP), laid out without
// a control cut off or overlapping another; and nothing that is saved or drawn depends on
// the language. Run once per locale. With KIRO_SCREENSHOTS set to a folder, the windows
// are saved there as PNG files for looking at.

using namespace kiro;
using namespace kiro::app;

namespace {

// The language the locale asks for, decided here independently of the program: Japanese
// for ja_* and the C locales, English for every other language.
InterfaceLanguage expectedLanguage() {
    const QString locale = qEnvironmentVariable("LC_ALL", qEnvironmentVariable("LANG"));
    const bool japanese = locale.isEmpty() || locale.startsWith(QLatin1String("ja")) ||
                          locale.startsWith(QLatin1String("C")) || locale == QLatin1String("POSIX");
    return japanese ? InterfaceLanguage::Japanese : InterfaceLanguage::English;
}

bool english() {
    return interfaceLanguage() == InterfaceLanguage::English;
}

bool isJapanese(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) ||
           (u >= 0xFF00 && u <= 0xFFEF);
}

bool hasJapanese(const QString& text) {
    return std::any_of(text.begin(), text.end(), isJapanese);
}

QString example(const char* name) {
    return QStringLiteral(KIRO_SOURCE_DIR "/examples/") + QLatin1String(name);
}

void prepare(Document& document, const char* design = nullptr) {
    GlassCatalog catalog;
    loadGlassCatalog(catalog, KIRO_SOURCE_DIR "/data/glass.dat");
    document.setCatalog(catalog);
    if (design != nullptr) {
        QVERIFY(document.open(example(design), {}).accepted());
    }
}

// The words a control shows (what an edit field holds is the user's data, not the
// program's text).
QStringList textsOf(const QWidget* w) {
    QStringList texts;
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        texts << label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        texts << button->text();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
        texts << group->title();
    } else if (const auto* list = qobject_cast<const QComboBox*>(w)) {
        for (int k = 0; k < list->count(); ++k) {
            texts << list->itemText(k);
        }
    }
    texts << w->toolTip();
    texts.removeAll(QString());
    return texts;
}

// What a window shows in words: its title and the texts of its controls.
QStringList shownTexts(const QWidget& window) {
    QStringList texts{window.windowTitle()};
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        texts << textsOf(w);
    }
    return texts;
}

// Controls whose text must be seen whole.
bool isControl(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QGroupBox*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QScrollBar*>(w) ||
           qobject_cast<const QProgressBar*>(w);
}

// A shown window's layout faults: controls smaller than their text needs, and sibling
// controls on top of each other.
QStringList layoutFaults(const QWidget& window) {
    QStringList faults;
    const auto name = [](const QWidget* w) {
        return QStringLiteral("%1 \"%2\"").arg(w->metaObject()->className(), textsOf(w).value(0));
    };
    const QList<QWidget*> all = window.findChildren<QWidget*>();
    for (const QWidget* w : all) {
        if (!w->isVisible() || !isControl(w) || qobject_cast<const QScrollBar*>(w) ||
            qobject_cast<const QLineEdit*>(w)) {
            continue;
        }
        const auto* label = qobject_cast<const QLabel*>(w);
        QSize needed = w->minimumSizeHint();
        if (label != nullptr && label->wordWrap()) {
            needed = QSize(0, label->heightForWidth(label->width()));
        } else if (const auto* list = qobject_cast<const QComboBox*>(w)) {
            needed = list->sizeHint();
        } else if (const auto* button = qobject_cast<const QPushButton*>(w)) {
            // The text within the frame; the style's least width is no text of ours.
            QStyleOptionButton option;
            option.initFrom(button);
            const QRect inside =
                w->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            needed = QSize(w->fontMetrics().horizontalAdvance(button->text()) + w->width() -
                               inside.width(),
                           0);
        }
        if (w->width() < needed.width() || w->height() < needed.height()) {
            faults << QStringLiteral("%1 is %2x%3, needs %4x%5")
                          .arg(name(w))
                          .arg(w->width())
                          .arg(w->height())
                          .arg(needed.width())
                          .arg(needed.height());
        }
    }
    for (const QWidget* a : all) {
        for (const QWidget* b : all) {
            if (a < b && a->parentWidget() == b->parentWidget() && a->isVisible() &&
                b->isVisible() && isControl(a) && isControl(b) &&
                a->geometry().intersects(b->geometry())) {
                faults << name(a) + QStringLiteral(" overlaps ") + name(b);
            }
        }
    }
    return faults;
}

// Help from the window, with the guide of the source tree found from the working folder.
HelpWindow* openUserGuideFrom(QWidget* window) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(KIRO_SOURCE_DIR));
    HelpWindow* help = openUserGuide(window);
    QDir::setCurrent(previous);
    return help;
}

void saveScreenshot(QWidget& window, const QString& name,
                    QRect part = QRect(QPoint(0, 0), QSize(-1, -1))) {
    const QString folder = qEnvironmentVariable("KIRO_SCREENSHOTS");
    if (!folder.isEmpty()) {
        const QString language = english() ? QStringLiteral("en") : QStringLiteral("ja");
        window.grab(part).save(QDir(folder).filePath(language + u'-' + name + ".png"));
    }
}

// Every dialog of the program, made as its command makes it.
struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<QDialog>(Document&)> make;
    QStringList ownTexts; // the program's own texts of the dialog, shown in Japanese
    QStringList englishTexts;
};

QStringList lineLabels() {
    return {QStringLiteral("C(656.3nm)"), QStringLiteral("d(587.6nm)"),
            QStringLiteral("e(546.1nm)"), QStringLiteral("F(486.1nm)"),
            QStringLiteral("g(435.8nm)"), QStringLiteral("h(404.7nm)")};
}

QStringList japanese(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) {
        list << QString::fromUtf8(text);
    }
    return list;
}

// The type list as the core names it ("－無し－" ... "非球面レンズ").
QStringList coreSurfaceTypeNames() {
    QStringList names;
    for (int k = 0; k < kTypeListSize; ++k) {
        names << QString::fromUtf8(typeListName(k));
    }
    return names;
}

QList<DialogCase> dialogCases() {
    return {
        {"ABST",
         [](Document& d) { return std::make_unique<DescriptionDialog>(d); },
         japanese({"設計データの説明"}),
         {QStringLiteral("Design Description")}},
        {"RESIZE",
         [](Document& d) {
             return std::make_unique<ApertureChangeDialog>(d,
                                                           currentSemiAperture(d.lens().surfaces));
         },
         japanese({"口径／F値の変更", "口径の変更",
                   "曲率半径や距離等全ての値が、口径の値に比例して変更されます。各種収差も比例して"
                   "変化します。",
                   "F値の変更",
                   "口径のみを変更します。Fを明るくするとレンズの厚みが不足する場合がありますので"
                   "注意下さい。",
                   "元の口径", "→　変更後の口径"}),
         {QStringLiteral("Change Aperture / F-number")}},
        {"CONF",
         [](Document& d) { return std::make_unique<SettingsDialog>(d); },
         japanese({"各種設定", "光学系表示", "・光線の数", "本", "・光線の入射角", "度",
                   "スポットダイヤグラム", "ポイント数固定", "縦横共に", "ポイント", "ピッチ固定",
                   "ピッチ", "mm", "光源の位置", "無限遠", "座標指定", "(", ",", ")"}),
         {QStringLiteral("Settings")}},
        {"SPOT",
         [](Document& d) { return std::make_unique<SpotDialog>(d.lens()); },
         japanese({"Spot Diagram", "倍率", "mm", "OK"}) + lineLabels(),
         {QStringLiteral("Spot Diagram"), QStringLiteral("Magnification")}},
        {"ERR",
         [](Document& d) { return std::make_unique<CurveDialog>(d.lens()); },
         japanese({"球面収差曲線", "OK"}) + lineLabels(),
         {QStringLiteral("Spherical Aberration")}},
        {"BRIGHT",
         [](Document& d) { return std::make_unique<LightDialog>(d.lens()); },
         japanese({"光量曲線", "OK"}),
         {QStringLiteral("Vignetting Curve")}},
        {"FANS",
         [](Document& d) { return std::make_unique<FanDialog>(d.lens()); },
         japanese({"収差図", "像高", "縦軸の倍率", "OK"}) + lineLabels(),
         {QStringLiteral("Ray Fans"), QStringLiteral("Vertical scale")}},
        {"FIELD",
         [](Document& d) { return std::make_unique<FieldDialog>(d.lens()); },
         japanese({"像面湾曲・歪曲", "像面湾曲の倍率", "歪曲の倍率", "OK"}) + lineLabels(),
         {QStringLiteral("Field Curvature and Distortion")}},
        {"WAVEFRONT",
         [](Document& d) { return std::make_unique<WavefrontDialog>(d.lens()); },
         japanese({"波面・MTF", "OK"}) + lineLabels(),
         {QStringLiteral("Wavefront and MTF")}},
        {"SEIDEL",
         [](Document& d) { return std::make_unique<SeidelDialog>(d.lens()); },
         japanese({"ザイデル収差", "テキストでコピー", "波面収差係数 (d線の波長単位)", "OK"}),
         {QStringLiteral("Seidel Sums"), QStringLiteral("Copy as Text")}},
        {"LENS",
         [](Document& d) { return std::make_unique<LensEditorDialog>(d); },
         japanese({"レンズ設定", "タイプ", "曲率半径(mm)\n2次係数(a1)", "4次係数\n(a2)",
                   "6次係数\n(a3)", "8次係数\n(a4)", "有効径(mm)", "材質", "間隔(mm)", "位置(mm)",
                   "del", "add", "ピント調整", "C", "d", "e", "F", "g", "h"}) +
             coreSurfaceTypeNames(),
         {QStringLiteral("Lens Data"), QStringLiteral("Effective\ndiameter (mm)"),
          QStringLiteral("Focus")}},
        {"OPTMIZE",
         [](Document& d) { return std::make_unique<OptimizerDialog>(d); },
         japanese({"レンズデータの最適化", "球面収差最小", "色収差最小", "OSC最小",
                   "パラメータの変更範囲(%)", "球面レンズ", "球面鏡", "レンズ間距離"}) +
             lineLabels(),
         {QStringLiteral("Optimize Lens Data")}},
        {"OPTPROGRESS",
         [](Document& d) {
             return std::make_unique<OptimizerProgressDialog>(d.lens(), d.optimizerSettings());
         },
         {},
         {QStringLiteral("Optimize Lens Data")}},
        {"DESIGN1",
         [](Document& d) { return std::make_unique<ReflectorDesignerDialog>(d); },
         japanese({"反射望遠鏡設計", "望遠鏡の種類", "口径(mm)", "F値", "副鏡の曲率／主鏡の曲率",
                   "バックフォーカス距離", "補正版のガラス材", "基準の光の波長", "ニュートン",
                   "純カセグレン", "マクストーフニュートン", "マクストーフカセグレン",
                   "ドール・カーカム", "シュミットカセグレン", "ベーカー・シュミットカセグレン",
                   "シュミットカメラ"}) +
             lineLabels(),
         {QStringLiteral("Reflector Designer")}},
        {"DESIGN2",
         [](Document& d) { return std::make_unique<RefractorDesignerDialog>(d); },
         japanese({"屈折望遠鏡設計", "望遠鏡の種類", "２枚玉屈折", "２枚玉＋フラットナー",
                   "口径(mm)", "F値", "第１ガラス材", "第２ガラス材", "第３ガラス材", "厚み(mm)",
                   "球面収差最小", "色収差最小", "OSC最小"}) +
             lineLabels(),
         {QStringLiteral("Refractor Designer")}},
    };
}

// Every box is answered with OK (or with the answer given) and remembered.
struct Boxes {
    QList<BoxRequest> seen;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    Boxes() {
        setBoxAnswerer([this](const BoxRequest& request) {
            seen.append(request);
            return answer;
        });
    }
    ~Boxes() { setBoxAnswerer({}); }
};

// What the program saves and draws, made with the language in use.
struct Products {
    QByteArray design;
    QByteArray spotPng, spotSvg, curvesPng, lightPng;
    QImage window;
};

Products makeProducts(const QString& folder) {
    Products p;
    Document document;
    prepare(document, "newtonian-200-f5.OPT");
    {
        ReflectorDesignerDialog designer(document);
        designer.findChild<QComboBox*>(QStringLiteral("101"))
            ->setCurrentIndex(listPosition(ReflectorType::SchmidtCassegrain));
        designer.findChild<QComboBox*>(QStringLiteral("104"))
            ->setCurrentIndex(findGlass(document.catalog(), "N-BK7"));
        designer.accept();
    }
    const QString design = QDir(folder).filePath(QStringLiteral("design.OPT"));
    QFile::remove(design);
    document.save(design);
    QFile file(design);
    p.design = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();

    QString picture;
    setPictureFileAsker([&picture](QWidget*, const QString&) { return picture; });
    const auto export_ = [&](AnalysisDialog& dialog, const char* name) {
        picture = QDir(folder).filePath(QLatin1String(name));
        dialog.findChild<QPushButton*>(QStringLiteral("savePicture"))->click();
        QFile saved(picture);
        return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    };
    SpotDialog spot(document.lens());
    p.spotPng = export_(spot, "spot.png");
    p.spotSvg = export_(spot, "spot.svg");
    CurveDialog curves(document.lens());
    p.curvesPng = export_(curves, "curves.png");
    LightDialog light(document.lens());
    p.lightPng = export_(light, "light.png");
    setPictureFileAsker({});

    MainWindow window(document);
    window.show();
    if (QTest::qWaitForWindowExposed(&window)) {
        p.window = window.centralWidget()->grab().toImage();
    }
    return p;
}

} // namespace

class TranslationTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        useCNumbers(); // as main() does
        QVERIFY(useInterfaceLanguage(systemInterfaceLanguage()));
        QCOMPARE(interfaceLanguage(), expectedLanguage());
    }

    void japaneseOnlyForJapaneseAndTheCLocale() {
        const auto language = [](std::initializer_list<const char*> names) {
            QStringList list;
            for (const char* name : names) {
                list << QLatin1String(name);
            }
            return interfaceLanguageFor(list);
        };
        QCOMPARE(language({"en-US", "en-Latn-US", "en"}), InterfaceLanguage::English);
        QCOMPARE(language({"en-GB"}), InterfaceLanguage::English);
        QCOMPARE(language({"ja-JP", "en"}), InterfaceLanguage::Japanese);
        QCOMPARE(language({"de", "en"}), InterfaceLanguage::English);
        QCOMPARE(language({"fr-FR"}), InterfaceLanguage::English);
        QCOMPARE(language({"ja"}), InterfaceLanguage::Japanese);
        QCOMPARE(language({"C"}), InterfaceLanguage::Japanese);
        QCOMPARE(language({"POSIX"}), InterfaceLanguage::Japanese);
        QCOMPARE(language({}), InterfaceLanguage::Japanese);
    }

    // Every menu item in the language, each with a mnemonic of its own within its popup (or
    // the bar), and the whole bar within the window's start width.
    void menusSpeakTheLanguage() {
        Document document;
        prepare(document, "designed/schmidt-cassegrain-200-f10.OPT");
        MainWindow window(document);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        saveScreenshot(window, QStringLiteral("main-window"));
        const QList<QAction*> actions = window.findChildren<QAction*>();
        QStringList ids;
        for (const QAction* action : actions) {
            if (!action->objectName().isEmpty()) {
                ids << action->objectName() + u' ' + action->text();
            }
        }
        QCOMPARE(ids.size(), 29);
        if (english()) {
            QVERIFY2(!hasJapanese(ids.join(u'\n')), qPrintable(ids.join(u'\n')));
        } else {
            QVERIFY(ids.contains(QString::fromUtf8("203 情報表示(&I)")));
            QVERIFY(ids.contains(QString::fromUtf8("901 ヘルプ(&H)")));
        }
        // The commands with identifiers each have one; an added command may go without
        // ("画像を保存…", "印刷…" keep their texts), but one it has is its own.
        const auto checkMnemonics = [](const QList<QAction*>& items, const QString& where) {
            QSet<QChar> used;
            for (const QAction* action : items) {
                if (action->isSeparator()) {
                    continue;
                }
                const QString text = action->text();
                const qsizetype amp = text.indexOf(u'&');
                bool identified = false;
                action->objectName().toInt(&identified);
                if (amp < 0 && !identified && action->menu() == nullptr) {
                    continue;
                }
                QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(where + ": " + text));
                const QChar key = text.at(amp + 1).toLower();
                QVERIFY2(!used.contains(key), qPrintable(where + ": " + text));
                used.insert(key);
            }
        };
        checkMnemonics(window.menuBar()->actions(), QStringLiteral("menu bar"));
        for (const QAction* entry : window.menuBar()->actions()) {
            QCOMPARE(hasJapanese(entry->text()), !english());
            if (entry->menu() != nullptr) {
                checkMnemonics(entry->menu()->actions(), entry->text());
            }
        }
        // The whole bar fits the window's start width: no extension button.
        const auto* extension =
            window.menuBar()->findChild<QWidget*>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(extension == nullptr || !extension->isVisible());
    }

    // The status bar and the help window speak the language too.
    void statusBarAndHelpWindowSpeakTheLanguage() {
        Document document;
        prepare(document, "newtonian-200-f5.OPT");
        MainWindow window(document);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget* view = window.layoutWidget();
        QTest::mouseMove(view, QPoint(view->width() * 3 / 4, view->height() / 3));
        QStringList texts;
        for (const QLabel* label : window.statusBar()->findChildren<QLabel*>()) {
            QTRY_VERIFY(!label->text().isEmpty());
            texts << label->text() << label->toolTip();
        }
        QCOMPARE(texts.size(), 6);
        QCOMPARE(hasJapanese(texts.join(u' ')), !english());
        const int shown = window.statusBar()->height() + view->height() / 3;
        saveScreenshot(window, QStringLiteral("status-bar"),
                       QRect(0, window.height() - shown, window.width(), shown));

        HelpWindow* help = openUserGuideFrom(&window);
        QVERIFY(help != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QStringList words{help->windowTitle()};
        for (const QAction* action : help->findChildren<QAction*>()) {
            words << action->text();
        }
        QCOMPARE(hasJapanese(words.join(u' ')), !english());
        QCOMPARE(help->browser()->source().fileName(),
                 english() ? QStringLiteral("kiro.en.htm") : QStringLiteral("kiro.htm"));
        saveScreenshot(*help, QStringLiteral("help-window"));
    }

    // Each dialog: every text in the language (its own texts exactly, in Japanese) and
    // nothing cut off or overlapping.
    void dialogsSpeakTheLanguageAndHoldTheirTexts() {
        for (const DialogCase& c : dialogCases()) {
            Document document;
            prepare(document, "designed/doublet-flattener-102-f7.OPT");
            const std::unique_ptr<QDialog> dialog = c.make(document);
            QCOMPARE(dialog->objectName(), QLatin1String(c.name));
            dialog->show(); // the progress window starts its run here; it is checked first
            if (qobject_cast<OptimizerProgressDialog*>(dialog.get()) == nullptr) {
                QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            }
            const QStringList texts = shownTexts(*dialog);
            const QStringList faults = layoutFaults(*dialog);
            saveScreenshot(*dialog, QLatin1String(c.name));
            if (english()) {
                for (const QString& text : texts) {
                    QVERIFY2(!hasJapanese(text), qPrintable(c.name + (": " + text)));
                }
                for (const QString& text : c.englishTexts) {
                    QVERIFY2(texts.contains(text), qPrintable(c.name + (": " + text)));
                }
            } else {
                for (const QString& text : c.ownTexts) {
                    QVERIFY2(texts.contains(text), qPrintable(c.name + (": " + text)));
                }
            }
            QVERIFY2(faults.isEmpty(), qPrintable(c.name + (":\n" + faults.join(u'\n'))));
            // The editors' number fields say what their numbers mean.
            if (QStringList{"LENS", "OPTMIZE", "CONF"}.contains(QLatin1String(c.name))) {
                for (const QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
                    QVERIFY2(!edit->toolTip().isEmpty(),
                             qPrintable(c.name + (": " + edit->objectName())));
                }
            }
            if (qobject_cast<OptimizerProgressDialog*>(dialog.get()) != nullptr) {
                QTRY_VERIFY(!dialog->isVisible());
            }
        }
    }

    // Qt's own file dialog, as Open brings it up, names its buttons in the language too.
    void fileDialogButtonsSpeakTheLanguage() {
        QStringList buttons;
        const test::ModalDriver driver({}, [&buttons](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (dialog == nullptr) {
                return false;
            }
            for (const QAbstractButton* button :
                 dialog->findChild<QDialogButtonBox*>()->buttons()) {
                buttons << button->text();
            }
            // Qt's own labels too, which only Qt's translation can give.
            if (const auto* lookIn = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel"))) {
                buttons << lookIn->text();
            }
            dialog->reject();
            return true;
        });
        FileRequest request;
        request.kind = FileDialogKind::Open;
        request.title = QStringLiteral("open");
        request.folder = QStringLiteral(KIRO_SOURCE_DIR "/examples");
        QVERIFY(chooseFile(nullptr, request).isEmpty());
        QCOMPARE(buttons.size(), 3);
        for (const QString& text : buttons) {
            QVERIFY2(hasJapanese(text) != english(), qPrintable(text));
        }
    }

    // The boxes of the commands, each brought up the way a user meets it.
    void boxesSpeakTheLanguage() {
        QTemporaryDir folder;
        Boxes boxes;
        Document document;
        prepare(document, "designed/doublet-100-f9.OPT");
        MainWindow window(document);
        const auto run = [&window](MenuId id) {
            window.findChild<QAction*>(commandObjectName(id))->trigger();
        };
        run(MenuId::Information);
        run(MenuId::About);
        const QString here = QDir::currentPath();
        QDir::setCurrent(folder.path()); // no guide here, nor beside the test
        run(MenuId::Help);
        QDir::setCurrent(here);

        // Open: unsaved work first (kept by Cancel), then a file that cannot be read.
        document.applyDescription("edited", {});
        boxes.answer = QMessageBox::Cancel;
        run(MenuId::Open);
        boxes.answer = QMessageBox::Ok;
        document.markSaved();
        setFileAnswerer([&folder](const FileRequest& request) {
            return folder.filePath(request.kind == FileDialogKind::Open
                                       ? QStringLiteral("missing.OPT")
                                       : QStringLiteral("no/such/folder/x.OPT"));
        });
        run(MenuId::Open);
        run(MenuId::Save);
        QFile existing(folder.filePath(QStringLiteral("there.OPT")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        setFileAnswerer([&existing](const FileRequest&) { return existing.fileName(); });
        boxes.answer = QMessageBox::Cancel;
        run(MenuId::SaveAs);
        boxes.answer = QMessageBox::Ok;
        setFileAnswerer({});
        document.applyDescription("edited again", {}); // New asks about it
        run(MenuId::New);

        Document design;
        prepare(design, "designed/doublet-100-f9.OPT");
        {
            LensEditorDialog editor(design);
            QLineEdit* diameter = editor.findChild<QLineEdit*>(QStringLiteral("106"));
            diameter->selectAll();
            QTest::keyClicks(diameter, QStringLiteral("0"));
            editor.accept();
        }
        {
            DescriptionDialog description(design);
            description.findChild<QLineEdit*>(QStringLiteral("101"))
                ->setText(QString::fromUtf8("😀"));
            description.accept();
        }
        {
            RefractorDesignerDialog refractor(design);
            refractor.findChild<QComboBox*>(QStringLiteral("101"))->setCurrentIndex(0);
            refractor.accept();
        }
        OptimizerSettings settings = design.optimizerSettings();
        settings.changeRangePercent = qQNaN();
        design.setOptimizerSettings(settings);
        runOptimization(design, nullptr);
        const PaintFunction nothing = [](Canvas&) {};
        writePicture(nullptr, folder.filePath(QStringLiteral("picture.bmp")), QSize(10, 10),
                     nothing);
        writePicture(nullptr, folder.filePath(QStringLiteral("no/such/folder/picture.png")),
                     QSize(10, 10), nothing);

        QStringList seen;
        for (const BoxRequest& box : boxes.seen) {
            seen << box.title + QStringLiteral(": ") + box.text;
        }
        QVERIFY2(boxes.seen.size() == 14, qPrintable(seen.join(u'\n')));
        if (english()) {
            for (const BoxRequest& box : boxes.seen) {
                QVERIFY2(!hasJapanese(box.title + box.text), qPrintable(box.text));
            }
        }
        if (english()) {
            QVERIFY(boxes.seen.at(2).text.startsWith(
                QStringLiteral("The file could not be shown.\nPlease read \"kiro.en.htm\" "
                               "in the folder where KIRO is installed.\n\nPlaces looked in:\n")));
        } else {
            QVERIFY(boxes.seen.at(2).text.startsWith(
                QString::fromUtf8("ファイルを表示できませんでした。\nKIROをインストールした"
                                  "フォルダの\"kiro.htm\"をご覧下さい。\n\n探した場所:\n")));
            QCOMPARE(boxes.seen.at(7).text,
                     QString::fromUtf8("現在のデータは保存されていません。\n保存しますか？"));
            QCOMPARE(boxes.seen.at(8).text,
                     QString::fromUtf8("有効径が0又は負の箇所があります！\n（1行目）"));
        }
    }

    // The information box: the language's words around the very numbers and layout of the
    // program's own text.
    void informationKeepsItsNumbersAndLayout() {
        Boxes boxes;
        Document document;
        prepare(document, "newtonian-200-f5.OPT");
        MainWindow window(document);
        window.findChild<QAction*>(commandObjectName(MenuId::Information))->trigger();
        QCOMPARE(boxes.seen.size(), 1);
        const SurfaceTable& table = document.lens().surfaces;
        QString expected = QString::fromStdString(
            buildInformationText(table, document.lens().settings, apertureRadius(table)));
        if (english()) {
            expected.replace(QString::fromUtf8("情報表示"), QStringLiteral("Information"))
                .replace(QString::fromUtf8("焦点位置(d線)"),
                         QStringLiteral("Focus position (d line)"))
                .replace(QString::fromUtf8("焦点距離(d線)"),
                         QStringLiteral("Focal length (d line)"))
                .replace(QString::fromUtf8("有効径"), QStringLiteral("Effective diameter"))
                .replace(QString::fromUtf8("F値"), QStringLiteral("F-number"));
        }
        QCOMPARE(boxes.seen.at(0).title, QStringLiteral("Information"));
        QCOMPARE(boxes.seen.at(0).text, expected);
    }

    // Every failure of a build in the language; in Japanese word for word the core's own
    // message (which kiro-cli prints).
    void designFailuresAreWordedAsTheCoreWordsThem() {
        DesignFailureDetails named;
        named.control = GlassControl::Corrector;
        named.glass = 0;
        std::strcpy(named.glassName, "AIR");
        DesignFailureDetails cp932 = named;
        std::strcpy(cp932.glassName, "\x94\xbd"); // not UTF-8: the glass's number instead
        DesignFailureDetails sizes;
        sizes.aperture = 200.0;
        sizes.focalLength = 1e-7;
        sizes.ratio = 1.5;
        sizes.backFocus = 2000.0;
        const QList<DesignResult> failures{
            designFailed(DesignFailure::GlassNotChosen, named),
            designFailed(DesignFailure::TypeNotChosen),
            designFailed(DesignFailure::UnusableLine),
            designFailed(DesignFailure::GlassIndexNotAboveOne, named),
            designFailed(DesignFailure::GlassIndexNotAboveOne, cp932),
            designFailed(DesignFailure::UnusableSize),
            designFailed(DesignFailure::NoTwoMirrorSolution, sizes),
            designFailed(DesignFailure::NoSchmidtCorrector, sizes),
            designFailed(DesignFailure::UntraceableFocalLength),
        };
        for (const DesignResult& failure : failures) {
            const QString text = designFailureText(failure);
            if (english()) {
                QVERIFY2(!text.isEmpty() && !hasJapanese(text), qPrintable(text));
            } else {
                QVERIFY2(!text.isEmpty() && hasJapanese(text), qPrintable(text));
            }
        }
        QVERIFY(designFailureText(designRefused()).isEmpty());
        if (english()) {
            QCOMPARE(designFailureText(failures.at(6)),
                     QStringLiteral("No two-mirror arrangement gives an aperture of 200 mm, a "
                                    "focal length of 1e-07 mm, a curvature ratio of 1.5 and a "
                                    "back focus of 2000 mm."));
        } else {
            QCOMPARE(
                designFailureText(failures.at(6)),
                QString::fromUtf8("口径 200 mm、焦点距離 1e-07 mm、曲率比 1.5、バックフォーカス "
                                  "2000 mm を満たす２枚鏡の配置が見つかりません。"));
        }
    }

    // kiro.en.htm for English where there is one; the Japanese guide otherwise.
    void theGuideFollowsTheLanguage() {
        QTemporaryDir folder;
        const QString here = QDir::currentPath();
        QDir::setCurrent(folder.path());
        QFile(QStringLiteral("kiro.htm")).open(QIODevice::WriteOnly);
        const QString japaneseGuide = QDir(folder.path()).filePath(QStringLiteral("kiro.htm"));
        const QString guide = QFile::decodeName(userGuide().c_str());
        QCOMPARE(guide, japaneseGuide); // no English guide yet
        QDir().mkdir(QStringLiteral("help"));
        QFile(QStringLiteral("help/kiro.en.htm")).open(QIODevice::WriteOnly);
        const QString shown = QFile::decodeName(userGuide().c_str());
        QDir::setCurrent(here);
        QCOMPARE(shown, english() ? QDir(folder.path()).filePath(QStringLiteral("help/kiro.en.htm"))
                                  : japaneseGuide);
    }

    // Designs and pictures are the same bytes in both languages (the labels drawn into the
    // pictures stay as the program draws them).
    void savedDesignsAndPicturesDoNotDependOnTheLanguage() {
        QTemporaryDir folder;
        QVERIFY(useInterfaceLanguage(InterfaceLanguage::English));
        const Products inEnglish = makeProducts(folder.path());
        QVERIFY(useInterfaceLanguage(InterfaceLanguage::Japanese));
        const Products inJapanese = makeProducts(folder.path());
        QVERIFY(useInterfaceLanguage(expectedLanguage()));
        QVERIFY(inJapanese.design.startsWith("ver100"));
        QCOMPARE(inEnglish.design, inJapanese.design);
        QVERIFY(inJapanese.spotPng.startsWith("\x89PNG"));
        QCOMPARE(inEnglish.spotPng, inJapanese.spotPng);
        QVERIFY(inJapanese.spotSvg.contains("<svg"));
        QCOMPARE(inEnglish.spotSvg, inJapanese.spotSvg);
        QVERIFY(!inJapanese.curvesPng.isEmpty());
        QCOMPARE(inEnglish.curvesPng, inJapanese.curvesPng);
        QVERIFY(!inJapanese.lightPng.isEmpty());
        QCOMPARE(inEnglish.lightPng, inJapanese.lightPng);
        QVERIFY(!inJapanese.window.isNull());
        QCOMPARE(inEnglish.window, inJapanese.window);
    }
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
