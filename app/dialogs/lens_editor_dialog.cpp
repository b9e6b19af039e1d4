#include "app/dialogs/lens_editor_dialog.h"

#include <algorithm>
#include <memory>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStringListModel>
#include <QVBoxLayout>

#include "app/dialogs/dialog_support.h"
#include "app/dialogs/number_fields.h"
#include "app/document.h"
#include "app/edit_steps.h"
#include "app/interface_language.h"
#include "app/message_boxes.h"
#include "app/shell_text.h"
#include "model/fraunhofer_lines.h"

namespace kiro::app {

namespace {

// The grid is placed by hand, as one table: every row on the same pitch, the controls of
// the gap between two rows (material, spacing, add) half a pitch lower.
constexpr int kMargin = 8;
constexpr int kGap = 4;
constexpr int kHeadingHeight = 36;
constexpr int kRowPitch = 26;
constexpr int kControlHeight = 22;
constexpr int kHalfPitch = kRowPitch / 2;

enum Column { Type, Radius, A2, A3, A4, Diameter, Material, Spacing, Position, Delete, Add };
constexpr int kColumns = Add + 1;
constexpr int kBaseColumnWidth[kColumns] = {118, 100, 100, 100, 100, 76, 108, 80, 84, 40, 40};
constexpr int kHeadingPadding = 6;

constexpr int rowY(int k) {
    return kHeadingHeight + k * kRowPitch;
}

constexpr int kGridHeight = rowY(kEditorRows) + kHalfPitch + kMargin;

// The columns' widths: the base widths, widened where a heading or the longest name of a
// list needs more (the English texts are longer).
class GridColumns {
  public:
    GridColumns(const QFontMetrics& metrics, const QStringList& headings, int typeListWidth,
                int materialListWidth) {
        for (int c = 0; c < kColumns; ++c) {
            int width = kBaseColumnWidth[c];
            for (const QString& line : headings.value(c).split(u'\n')) {
                width = std::max(width, metrics.horizontalAdvance(line) + kHeadingPadding);
            }
            width_[c] = width;
        }
        width_[Type] = std::max(width_[Type], typeListWidth);
        width_[Material] = std::max(width_[Material], materialListWidth);
    }

    int width(int column) const { return width_[column]; }
    int x(int column) const {
        int x = kMargin;
        for (int c = 0; c < column; ++c) {
            x += width_[c] + kGap;
        }
        return x;
    }
    int gridWidth() const { return x(kColumns) + kMargin; }

    void place(QWidget* widget, int column, int y) const {
        widget->setGeometry(x(column), y, width_[column], kControlHeight);
    }

  private:
    std::array<int, kColumns> width_{};
};

constexpr EditorColumn kEditColumns[5] = {EditorColumn::Radius, EditorColumn::A2, EditorColumn::A3,
                                          EditorColumn::A4, EditorColumn::Diameter};

constexpr const char* kContext = "kiro::app::LensEditorDialog";

const char* const kHeadings[kColumns] = {
    QT_TRANSLATE_NOOP("kiro::app::LensEditorDialog", "タイプ"),
    QT_TRANSLATE_NOOP("kiro::app::LensEditorDialog", "曲率半径(mm)\n2次係数(a1)"),
    QT_TRANSLATE_NOOP("kiro::app::LensEditorDialog", "4次係数\n(a2)"),
    QT_TRANSLATE_NOOP("kiro::app::LensEditorDialog", "6次係数\n(a3)"),
    QT_TRANSLATE_NOOP("kiro::app::LensEditorDialog", "8次係数\n(a4)"),
    QT_TRANSLATE_NOOP("kiro::app::LensEditorDialog", "有効径(mm)"),
    QT_TRANSLATE_NOOP("kiro::app::LensEditorDialog", "材質"),
    QT_TRANSLATE_NOOP("kiro::app::LensEditorDialog", "間隔(mm)"),
    QT_TRANSLATE_NOOP("kiro::app::LensEditorDialog", "位置(mm)"),
    "",
    ""};

QString invalidDiameterText(int row) {
    return LensEditorDialog::tr("有効径が0又は負の箇所があります！") + QLatin1Char('\n') +
           LensEditorDialog::tr("（%1行目）").arg(row + 1);
}

// A cell's name in messages: the row and its column's heading on one line.
QString cellName(int row, EditorColumn column) {
    static constexpr int kHeadingOf[kEditorColumns] = {Radius,   A2,      A3,      A4,
                                                       Diameter, Spacing, Position};
    const QString heading =
        QCoreApplication::translate(kContext, kHeadings[kHeadingOf[static_cast<int>(column)]])
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
    return LensEditorDialog::tr("%1行目の%2").arg(row + 1).arg(heading);
}

// The tip of a column's edits: what the number means where the heading leaves it open.
QString editTip(EditorColumn column) {
    switch (column) {
    case EditorColumn::Radius:
        return LensEditorDialog::tr("曲率半径。非球面のタイプでは2次係数a1");
    case EditorColumn::A2:
    case EditorColumn::A3:
    case EditorColumn::A4:
        return LensEditorDialog::tr("非球面のタイプだけが使う高次の係数");
    case EditorColumn::Diameter:
        return LensEditorDialog::tr("光の通る直径。0より大きくします");
    case EditorColumn::Spacing:
        return LensEditorDialog::tr("次の面までの距離。変えると下の面の位置が動きます");
    case EditorColumn::Position:
        return LensEditorDialog::tr("光軸上の面の位置。間隔がそれに合わせて変わります");
    }
    return {};
}

// The material lists: the catalogue, then the design's materials it lacks, marked.
QStringList materialListNames(const GlassCatalog& catalog, const LensEditor& editor) {
    QStringList names = glassNames(catalog);
    for (int i = 0; i < editor.foreignMaterialCount(); ++i) {
        names.append(LensEditorDialog::tr("%1（カタログにない）")
                         .arg(fromDesignBytes(editor.foreignMaterial(i).name)));
    }
    return names;
}

QComboBox* makeList(QWidget* grid, int id, QStringListModel* names) {
    auto* list = new QComboBox(grid);
    list->setObjectName(QString::number(id));
    list->setModel(names);
    list->setCurrentIndex(-1);
    list->setMaxVisibleItems(16);
    return list;
}

// The width a list needs for the longest of the names.
int listWidth(QWidget* grid, QStringListModel* names) {
    const std::unique_ptr<QComboBox> probe(makeList(grid, 0, names));
    return probe->sizeHint().width();
}

void setShownText(QLineEdit* edit, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (edit->text() != shown) {
        edit->setText(shown);
        edit->setCursorPosition(0);
    }
}

void setShownSelection(QComboBox* list, int position) {
    if (list->currentIndex() != position) {
        selectPosition(list, position);
    }
}

} // namespace

LensEditorDialog::LensEditorDialog(Document& document, QWidget* parent)
    : QDialog(parent), document_(document),
      editor_(document.lens().surfaces, document.lens().settings, document.catalog(),
              desktopDecimalMarks()) {
    setObjectName(QStringLiteral("LENS"));
    setWindowTitle(tr("レンズ設定"));
    setModal(true);

    // One model behind every list of a column: 31 lists share two short string lists.
    typeNames_ = new QStringListModel(surfaceTypeNames(), this);
    materialNames_ = new QStringListModel(materialListNames(document.catalog(), editor_), this);

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(buildGrid());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    layout->addWidget(scroll, 1);
    layout->addWidget(buildButtons());

    // The whole grid when the screen holds it, otherwise the screen and scroll bars.
    const QSize grid = scroll->widget()->size();
    const QSize buttons = layout->itemAt(1)->sizeHint();
    const QMargins margins = layout->contentsMargins();
    QSize wanted(std::max(grid.width(), buttons.width()) + margins.left() + margins.right(),
                 grid.height() + layout->spacing() + buttons.height() + margins.top() +
                     margins.bottom());
    if (const QScreen* screen = parent ? parent->screen() : this->screen()) {
        wanted = wanted.boundedTo(screen->availableSize() - QSize(16, 48));
    }
    resize(wanted);
    showGrid();
}

LensEditorDialog::~LensEditorDialog() = default;

QWidget* LensEditorDialog::buildGrid() {
    auto* grid = new QWidget;
    QStringList headings;
    for (const char* heading : kHeadings) {
        headings.append(QCoreApplication::translate(kContext, heading));
    }
    const GridColumns columns(grid->fontMetrics(), headings, listWidth(grid, typeNames_),
                              listWidth(grid, materialNames_));
    grid->setFixedSize(columns.gridWidth(), kGridHeight);
    for (int c = 0; c < kColumns; ++c) {
        auto* heading = new QLabel(headings.at(c), grid);
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        heading->setGeometry(columns.x(c), 0, columns.width(c), kHeadingHeight - 2);
    }
    const auto makeEdit = [grid, &columns](int id, int column, int y) {
        auto* edit = new QLineEdit(grid);
        edit->setObjectName(QString::number(id));
        columns.place(edit, column, y);
        return edit;
    };
    // Created row by row, left to right: that is the order Tab moves in.
    for (int k = 0; k < kEditorRows; ++k) {
        const int b = rowBase(k);
        const int y = rowY(k);
        const int lowY = y + kHalfPitch;
        const bool last = k == kEditorRows - 1;
        RowControls& row = rows_[k];
        row.type = makeList(grid, b, typeNames_);
        columns.place(row.type, Type, y);
        connect(row.type, &QComboBox::activated, this,
                [this, k](int position) { editor_.setTypeSelection(k, position); });
        for (int e = 0; e < 5; ++e) {
            row.edits[e] = makeEdit(b + 1 + e, Radius + e, y);
            row.edits[e]->setToolTip(editTip(kEditColumns[e]));
            const EditorColumn column = kEditColumns[e];
            connect(row.edits[e], &QLineEdit::textEdited, this,
                    [this, k, column](const QString& text) { edited(k, column, text); });
        }
        if (!last) {
            row.material = makeList(grid, b + 6, materialNames_);
            columns.place(row.material, Material, lowY);
            row.material->setToolTip(tr("この面の後ろの媒質"));
            connect(row.material, &QComboBox::activated, this,
                    [this, k](int position) { editor_.setMaterialSelection(k, position); });
            row.spacing = makeEdit(b + 7, Spacing, lowY);
            row.spacing->setToolTip(editTip(EditorColumn::Spacing));
            connect(row.spacing, &QLineEdit::textEdited, this,
                    [this, k](const QString& text) { edited(k, EditorColumn::Spacing, text); });
        }
        row.position = makeEdit(b + 8, Position, y);
        row.position->setToolTip(editTip(EditorColumn::Position));
        connect(row.position, &QLineEdit::textEdited, this,
                [this, k](const QString& text) { edited(k, EditorColumn::Position, text); });

        auto* del = new QPushButton(QStringLiteral("del"), grid);
        del->setObjectName(QString::number(kDeleteBase + k));
        columns.place(del, Delete, y);
        del->setToolTip(tr("この面を削除し、下の面を詰めます"));
        connect(del, &QPushButton::clicked, this, [this, k] { settle(editor_.deleteRow(k)); });
        if (!last) {
            auto* add = new QPushButton(QStringLiteral("add"), grid);
            add->setObjectName(QString::number(kAddBase + k));
            columns.place(add, Add, lowY);
            add->setToolTip(tr("この位置に面を挿入します"));
            connect(add, &QPushButton::clicked, this,
                    [this, k] { settle(editor_.addRowAfter(k)); });
        }
    }
    return grid;
}

QWidget* LensEditorDialog::buildButtons() {
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(kMargin, 0, kMargin, 0);

    auto* focus = new QGroupBox(tr("ピント調整"), bar);
    auto* focusLayout = new QHBoxLayout(focus);
    for (const FraunhoferLine& fraunhofer : kFraunhoferLines) {
        const int line = fraunhofer.slot;
        auto* button = new QPushButton(QString(QLatin1Char(fraunhofer.letter)), focus);
        button->setObjectName(QString::number(kFocusBase + line - 1));
        button->setToolTip(lineLabel(line));
        button->setAutoDefault(false);
        button->setFixedWidth(36);
        focusLayout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, line] { focusAt(line); });
    }
    layout->addWidget(focus);
    layout->addStretch(1);

    layout->addWidget(makeOkCancelButtons(this), 0, Qt::AlignBottom);
    return bar;
}

void LensEditorDialog::edited(int row, EditorColumn column, const QString& text) {
    editor_.setText(row, column, text.toStdString());
    if (column == EditorColumn::Spacing || column == EditorColumn::Position) {
        showGrid();
    }
}

void LensEditorDialog::showGrid() {
    const EditorGrid& grid = editor_.grid();
    for (int k = 0; k < kEditorRows; ++k) {
        const EditorRow& shown = grid[k];
        RowControls& row = rows_[k];
        setShownSelection(row.type, shown.type);
        const std::string* texts[5] = {&shown.radius, &shown.a2, &shown.a3, &shown.a4,
                                       &shown.diameter};
        for (int e = 0; e < 5; ++e) {
            setShownText(row.edits[e], *texts[e]);
        }
        if (row.material != nullptr) {
            setShownSelection(row.material, shown.material);
            setShownText(row.spacing, shown.spacing);
        }
        setShownText(row.position, shown.position);
    }
}

void LensEditorDialog::focusAt(int line) {
    settle(editor_.focusAt(line));
}

bool LensEditorDialog::settle(EditorVerdict verdict) {
    const EditorRefusal& refusal = editor_.refusal();
    switch (verdict) {
    case EditorVerdict::Accepted:
        showGrid();
        return true;
    case EditorVerdict::InvalidDiameter:
        showError(this, invalidDiameterText(refusal.row));
        return false;
    case EditorVerdict::UnreadableNumber:
        refuseNumberField(this, cellEdit(refusal.row, refusal.column),
                          cellName(refusal.row, refusal.column), refusal.problem);
        return false;
    }
    return false;
}

QLineEdit* LensEditorDialog::cellEdit(int row, EditorColumn column) const {
    const RowControls& controls = rows_[row];
    switch (column) {
    case EditorColumn::Spacing:
        return controls.spacing;
    case EditorColumn::Position:
        return controls.position;
    default:
        return controls.edits[static_cast<size_t>(column)];
    }
}

void LensEditorDialog::accept() {
    SurfaceTable table{};
    if (!settle(editor_.confirm(table))) {
        return;
    }
    document_.applyTable(table, ViewFit::Refit, stepName(EditStep::LensData));
    QDialog::accept();
}

QStringList surfaceTypeNames() {
    QStringList names;
    const bool english = interfaceLanguage() == InterfaceLanguage::English;
    for (int k = 0; k < kTypeListSize; ++k) {
        names.append(QString::fromUtf8(english ? typeListEnglishName(k) : typeListName(k)));
    }
    return names;
}

bool runLensEditor(Document& document, QWidget* parent) {
    LensEditorDialog dialog(document, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace kiro::app
