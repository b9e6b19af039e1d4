#include "app/dialogs/lens_editor_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
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
#include "app/document.h"
#include "app/message_boxes.h"

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
constexpr int kColumnWidth[kColumns] = {118, 100, 100, 100, 100, 76, 108, 80, 84, 40, 40};

constexpr int columnX(int column) {
    int x = kMargin;
    for (int c = 0; c < column; ++c) {
        x += kColumnWidth[c] + kGap;
    }
    return x;
}

constexpr int rowY(int k) {
    return kHeadingHeight + k * kRowPitch;
}

constexpr int kGridWidth = columnX(kColumns) + kMargin;
constexpr int kGridHeight = rowY(kEditorRows) + kHalfPitch + kMargin;

constexpr EditorColumn kEditColumns[5] = {EditorColumn::Radius, EditorColumn::A2, EditorColumn::A3,
                                          EditorColumn::A4, EditorColumn::Diameter};

const char* const kHeadings[kColumns] = {"タイプ",
                                         "曲率半径(mm)\n2次係数(a1)",
                                         "4次係数\n(a2)",
                                         "6次係数\n(a3)",
                                         "8次係数\n(a4)",
                                         "有効径(mm)",
                                         "材質",
                                         "間隔(mm)",
                                         "位置(mm)",
                                         "",
                                         ""};

constexpr const char* kInvalidDiameter = "有効径が0又は負の箇所があります！";

void place(QWidget* widget, int column, int y) {
    widget->setGeometry(columnX(column), y, kColumnWidth[column], kControlHeight);
}

QLineEdit* makeEdit(QWidget* grid, int id, int column, int y) {
    auto* edit = new QLineEdit(grid);
    edit->setObjectName(QString::number(id));
    place(edit, column, y);
    return edit;
}

QComboBox* makeList(QWidget* grid, int id, int column, int y, QStringListModel* names) {
    auto* list = new QComboBox(grid);
    list->setObjectName(QString::number(id));
    list->setModel(names);
    list->setCurrentIndex(-1);
    list->setMaxVisibleItems(16);
    place(list, column, y);
    return list;
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
      editor_(document.lens().surfaces, document.lens().settings, document.catalog()) {
    setObjectName(QStringLiteral("LENS"));
    setWindowTitle(QStringLiteral("レンズ設定"));
    setModal(true);

    QStringList types;
    for (int k = 0; k < kTypeListSize; ++k) {
        types.append(QString::fromUtf8(typeListName(k)));
    }
    // One model behind every list of a column: 31 lists share two short string lists.
    typeNames_ = new QStringListModel(types, this);
    materialNames_ = new QStringListModel(glassNames(document.catalog()), this);

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(buildGrid());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 8);
    layout->addWidget(scroll, 1);
    layout->addWidget(buildButtons());

    // The whole grid when the screen holds it, otherwise the screen and a scroll bar.
    const QSize buttons = layout->itemAt(1)->sizeHint();
    QSize wanted(kGridWidth + 8, kGridHeight + buttons.height() + 20);
    if (const QScreen* screen = parent ? parent->screen() : this->screen()) {
        wanted = wanted.boundedTo(screen->availableSize() - QSize(16, 48));
    }
    resize(wanted);
    showGrid();
}

LensEditorDialog::~LensEditorDialog() = default;

QWidget* LensEditorDialog::buildGrid() {
    auto* grid = new QWidget;
    grid->setFixedSize(kGridWidth, kGridHeight);
    for (int c = 0; c < kColumns; ++c) {
        auto* heading = new QLabel(QString::fromUtf8(kHeadings[c]), grid);
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        heading->setGeometry(columnX(c), 0, kColumnWidth[c], kHeadingHeight - 2);
    }
    // Created row by row, left to right: that is the order Tab moves in.
    for (int k = 0; k < kEditorRows; ++k) {
        const int b = rowBase(k);
        const int y = rowY(k);
        const int lowY = y + kHalfPitch;
        const bool last = k == kEditorRows - 1;
        RowControls& row = rows_[k];
        row.type = makeList(grid, b, Type, y, typeNames_);
        connect(row.type, &QComboBox::activated, this,
                [this, k](int position) { editor_.setTypeSelection(k, position); });
        for (int e = 0; e < 5; ++e) {
            row.edits[e] = makeEdit(grid, b + 1 + e, Radius + e, y);
            const EditorColumn column = kEditColumns[e];
            connect(row.edits[e], &QLineEdit::textEdited, this,
                    [this, k, column](const QString& text) { edited(k, column, text); });
        }
        if (!last) {
            row.material = makeList(grid, b + 6, Material, lowY, materialNames_);
            connect(row.material, &QComboBox::activated, this,
                    [this, k](int position) { editor_.setMaterialSelection(k, position); });
            row.spacing = makeEdit(grid, b + 7, Spacing, lowY);
            connect(row.spacing, &QLineEdit::textEdited, this,
                    [this, k](const QString& text) { edited(k, EditorColumn::Spacing, text); });
        }
        row.position = makeEdit(grid, b + 8, Position, y);
        connect(row.position, &QLineEdit::textEdited, this,
                [this, k](const QString& text) { edited(k, EditorColumn::Position, text); });

        auto* del = new QPushButton(QStringLiteral("del"), grid);
        del->setObjectName(QString::number(kDeleteBase + k));
        place(del, Delete, y);
        connect(del, &QPushButton::clicked, this, [this, k] {
            editor_.deleteRow(k);
            showGrid();
        });
        if (!last) {
            auto* add = new QPushButton(QStringLiteral("add"), grid);
            add->setObjectName(QString::number(kAddBase + k));
            place(add, Add, lowY);
            connect(add, &QPushButton::clicked, this, [this, k] {
                editor_.addRowAfter(k);
                showGrid();
            });
        }
    }
    return grid;
}

QWidget* LensEditorDialog::buildButtons() {
    auto* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(kMargin, 0, kMargin, 0);

    auto* focus = new QGroupBox(QStringLiteral("ピント調整"), bar);
    auto* focusLayout = new QHBoxLayout(focus);
    static const char* const letters[] = {"C", "d", "e", "F", "g", "h"};
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        auto* button = new QPushButton(QString::fromLatin1(letters[line - 1]), focus);
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
    if (editor_.focusAt(line) != EditorVerdict::Accepted) {
        showError(this, QString::fromUtf8(kInvalidDiameter));
        return;
    }
    showGrid();
}

void LensEditorDialog::accept() {
    SurfaceTable table{};
    if (editor_.confirm(table) != EditorVerdict::Accepted) {
        showError(this, QString::fromUtf8(kInvalidDiameter));
        return;
    }
    document_.setTable(table, ViewFit::Refit);
    QDialog::accept();
}

bool runLensEditor(Document& document, QWidget* parent) {
    LensEditorDialog dialog(document, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace kiro::app
