#include "app/dialogs/dialog_support.h"

#include <functional>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/dialogs/design_failure_text.h"
#include "app/document.h"
#include "app/message_boxes.h"
#include "app/shell_text.h"
#include "presenters/design_dialog_logic.h"

namespace kiro::app {

namespace {

constexpr int kLineColumns = 3;

// Six line buttons in two rows of three, in the box's own grid.
QButtonGroup* lineGroup(QGroupBox* box, int firstId, bool exclusive,
                        const std::function<bool(int)>& checked) {
    auto* group = new QButtonGroup(box);
    group->setExclusive(exclusive);
    auto* grid = new QGridLayout(box);
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        QAbstractButton* button = nullptr;
        if (exclusive) {
            button = new QRadioButton(lineLabel(line), box);
        } else {
            button = new QCheckBox(lineLabel(line), box);
        }
        const int id = firstId + line - WavelengthLine::First;
        button->setObjectName(QString::number(id));
        button->setChecked(checked(line));
        group->addButton(button, id);
        const int slot = line - WavelengthLine::First;
        grid->addWidget(button, slot / kLineColumns, slot % kLineColumns);
    }
    return group;
}

} // namespace

QStringList glassNames(const GlassCatalog& catalog) {
    QStringList names;
    const int count = glassCount(catalog);
    names.reserve(count);
    for (int k = 0; k < count; ++k) {
        names.append(fromDesignBytes(catalog.entries[static_cast<size_t>(k)].name));
    }
    return names;
}

QComboBox* makeList(QWidget* parent, int id, const QStringList& names) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::number(id));
    list->addItems(names);
    list->setCurrentIndex(-1);
    return list;
}

void selectPosition(QComboBox* list, int position) {
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

QLineEdit* makeEdit(QWidget* parent, int id, double value) {
    auto* edit = new QLineEdit(formatNumber("%g", value), parent);
    edit->setObjectName(QString::number(id));
    return edit;
}

QCheckBox* makeCheck(QWidget* parent, int id, const QString& text, bool checked) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::number(id));
    box->setChecked(checked);
    return box;
}

QButtonGroup* makeLineButtons(QGroupBox* box, int firstId, int checked) {
    return lineGroup(box, firstId, true, [checked](int line) { return line == checked; });
}

int checkedLine(const QButtonGroup* group, int firstId, int fallback) {
    const int id = group->checkedId();
    return id >= firstId ? id - firstId + WavelengthLine::First : fallback;
}

QButtonGroup* makeLineChecks(QGroupBox* box, int firstId, int mask) {
    return lineGroup(box, firstId, false, [mask](int line) { return (mask & (1 << line)) != 0; });
}

int checkedMask(const QButtonGroup* group, int firstId) {
    int mask = 0;
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        const QAbstractButton* button = group->button(firstId + line - WavelengthLine::First);
        if (button != nullptr && button->isChecked()) {
            mask |= 1 << line;
        }
    }
    return mask;
}

bool finishDesign(QWidget* owner, Document& document, LensSystem& lens, const DesignResult& result,
                  int referenceLine, const QString& step) {
    if (!result.ok) {
        if (result.failure != DesignFailure::None) {
            showError(owner, designFailureText(result));
        }
        return false;
    }
    refocusAfterDesign(lens, referenceLine);
    document.applyDesign(lens, ViewFit::Refit, step);
    return true;
}

} // namespace kiro::app
