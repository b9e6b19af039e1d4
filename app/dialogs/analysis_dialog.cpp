#include "app/dialogs/analysis_dialog.h"

#include <utility>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "analysis/spot_diagram.h"
#include "app/dialogs/analysis_view.h"
#include "app/dialogs/number_fields.h"
#include "app/dialogs/picture_export.h"
#include "app/print_picture.h"
#include "app/remembered_state.h"
#include "app/shell_text.h"

namespace kiro::app {

namespace {

constexpr int kScrollLineStep = 1;
constexpr int kScrollPageStep = 10;
constexpr int kSwatchPixels = 12;
constexpr int kHeightEditWidth = 80;

// A horizontal scroll bar driven from the keyboard as the dialogs' scroll bars are: left
// and right arrows a line, Page Up and Page Down a page left and right, Home and End to
// the ends. (Qt's own bindings move a horizontal bar the other way for the arrows.)
class StepScrollBar final : public QScrollBar {
  public:
    explicit StepScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const SliderAction action = actionFor(event->key());
        if (action == SliderNoAction) {
            QScrollBar::keyPressEvent(event);
            return;
        }
        triggerAction(action);
        event->accept();
    }

  private:
    static SliderAction actionFor(int key) {
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            return SliderSingleStepSub;
        case Qt::Key_Right:
        case Qt::Key_Down:
            return SliderSingleStepAdd;
        case Qt::Key_PageUp:
            return SliderPageStepSub;
        case Qt::Key_PageDown:
            return SliderPageStepAdd;
        case Qt::Key_Home:
            return SliderToMinimum;
        case Qt::Key_End:
            return SliderToMaximum;
        default:
            return SliderNoAction;
        }
    }
};

} // namespace

QString controlName(int id) {
    return QString::number(id);
}

AnalysisDialog::AnalysisDialog(const LensSystem& lens, QSize viewSize, QString pictureName,
                               QWidget* parent)
    : QDialog(parent), lens_(lens), viewSize_(viewSize), pictureName_(std::move(pictureName)) {
    view_ = new AnalysisView(
        viewSize_, [this](Canvas& canvas) { paintCurrent(canvas); }, this);
}

void AnalysisDialog::repaintView() {
    view_->update();
}

void AnalysisDialog::placeBesideView(
    QGroupBox* lineGroup, std::initializer_list<std::pair<QString, QWidget*>> labelledControls) {
    auto* side = new QVBoxLayout;
    side->addWidget(lineGroup);
    side->addSpacing(12);
    for (const auto& [label, control] : labelledControls) {
        side->addWidget(new QLabel(label, this));
        side->addWidget(control);
    }
    side->addStretch(1);
    side->addLayout(makeButtonRow());

    auto* layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(view(), 0, Qt::AlignTop);
    layout->addLayout(side);
}

QHBoxLayout* AnalysisDialog::makeButtonRow() {
    // Made last, so that the tab order ends with them.
    auto* saveButton = new QPushButton(tr("画像を保存..."), this);
    saveButton->setObjectName(QStringLiteral("savePicture"));
    saveButton->setAutoDefault(false);
    connect(saveButton, &QPushButton::clicked, this, &AnalysisDialog::savePicture);

    auto* printButton = new QPushButton(tr("印刷…"), this);
    printButton->setObjectName(QStringLiteral("print"));
    printButton->setAutoDefault(false);
    connect(printButton, &QPushButton::clicked, this, [this] {
        printPicture(this,
                     windowTitle() + QStringLiteral(" — ") + fromDesignBytes(lens_.description),
                     viewSize_, [this](Canvas& canvas) { paintCurrent(canvas); });
    });

    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(controlName(1));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(saveButton);
    row->addWidget(printButton);
    row->addStretch(1);
    row->addWidget(okButton);
    return row;
}

QGroupBox* AnalysisDialog::makeLineGroup(int firstId, LinesShown& shown) {
    auto* group = new QGroupBox(tr("表示する波長"), this);
    auto* boxes = new QVBoxLayout(group);
    for (int slot = WavelengthLine::First; slot <= WavelengthLine::Last; ++slot) {
        const size_t k = static_cast<size_t>(slot - WavelengthLine::First);
        auto* box = new QCheckBox(lineLabel(slot), group);
        box->setObjectName(controlName(firstId + static_cast<int>(k)));
        box->setChecked(shown[k] != 0);
        box->setProperty(kKeptChoice, true);
        const Colour colour = lineColour(slot);
        QPixmap swatch(kSwatchPixels, kSwatchPixels);
        swatch.fill(QColor(colour.red, colour.green, colour.blue));
        box->setIcon(QIcon(swatch));
        connect(box, &QCheckBox::toggled, this, [this, &shown, k](bool on) {
            shown[k] = on ? 1 : 0;
            repaintView();
        });
        boxes->addWidget(box);
    }
    return group;
}

QLineEdit* AnalysisDialog::makeHeightEdit(int id, int panel, double& height,
                                          std::function<void()> changed) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(controlName(id));
    edit->setAlignment(Qt::AlignRight);
    edit->setText(formatNumber("%lg", height));
    connect(edit, &QLineEdit::textChanged, this,
            [this, &height, edit, changed](const QString& text) {
                const NumberReading typed =
                    readNumberText(text.toStdString(), desktopDecimalMarks(), kNonNegativeNumber);
                if (!typed.ok()) {
                    markNumberField(edit);
                    return;
                }
                clearNumberFieldMark(edit);
                height = typed.value;
                if (changed) {
                    changed();
                } else {
                    repaintView();
                }
            });
    connect(edit, &QLineEdit::editingFinished, this, [this, panel, edit] {
        const NumberReading typed =
            readNumberText(edit->text().toStdString(), desktopDecimalMarks(), kNonNegativeNumber);
        if (!typed.ok()) {
            refuseNumberField(this, edit, tr("%1番目の像高").arg(panel + 1), typed.problem);
        }
    });
    return edit;
}

QGridLayout* AnalysisDialog::makeHeightEdits(int firstId,
                                             std::array<double, kSpotPanelCount>& heights,
                                             std::function<void()> changed) {
    auto* edits = new QGridLayout;
    edits->setHorizontalSpacing(0);
    for (int j = 0; j < kSpotPanelCount; ++j) {
        QLineEdit* edit = makeHeightEdit(firstId + j, j, heights[static_cast<size_t>(j)], changed);
        edit->setFixedWidth(kHeightEditWidth);
        auto* cell = new QHBoxLayout;
        cell->addStretch(1);
        cell->addWidget(new QLabel(tr("像高"), this));
        cell->addWidget(edit);
        cell->addWidget(new QLabel(QStringLiteral("mm"), this));
        cell->addStretch(1);
        edits->addLayout(cell, 0, j);
        edits->setColumnStretch(j, 1);
    }
    return edits;
}

QScrollBar* AnalysisDialog::makeScrollBar(int id, int minimum, int maximum, int value) {
    auto* bar = new StepScrollBar(this);
    bar->setObjectName(controlName(id));
    bar->setRange(minimum, maximum);
    bar->setProperty(kKeptChoice, true);
    bar->setSingleStep(kScrollLineStep);
    bar->setPageStep(kScrollPageStep);
    bar->setValue(value);
    // Scroll bars take no focus by default; here the arrow and page keys move them.
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

void AnalysisDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        repaintView();
    }
    QDialog::mouseReleaseEvent(event);
}

void AnalysisDialog::savePicture() {
    savePictureAs(this, pictureName_, viewSize_, [this](Canvas& canvas) { paintCurrent(canvas); });
}

} // namespace kiro::app
