#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "app/dialogs/dialog_buttons.h"
#include "app/shell_text.h"
#include "design/design_result.h"
#include "model/glass_catalog.h"
#include "model/lens_system.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QDialogButtonBox;
class QGroupBox;
class QLineEdit;
class QWidget;

// Building blocks of the designer and optimizer dialogs: every control carries its
// identifier as its object name.
namespace kiro::app {

class Document;

// The catalogue's names in catalogue order, decoded, up to the first empty name.
QStringList glassNames(const GlassCatalog& catalog);

// The names (marked with QT_TRANSLATE_NOOP in context) in the interface's language.
template <size_t N>
QStringList translatedNames(const char* context, const char* const (&names)[N]) {
    QStringList list;
    for (const char* name : names) {
        list.append(QCoreApplication::translate(context, name));
    }
    return list;
}

// A list showing names; position -1 (or one past the end) selects nothing.
QComboBox* makeList(QWidget* parent, int id, const QStringList& names);
void selectPosition(QComboBox* list, int position);

// An edit showing the number with "%g", as the designers show their inputs.
QLineEdit* makeEdit(QWidget* parent, int id, double value);

QCheckBox* makeCheck(QWidget* parent, int id, const QString& text, bool checked);

// Six exclusive buttons for the lines C..h with identifiers firstId .. firstId + 5, laid
// out in the group box; the button of checked is checked.
QButtonGroup* makeLineButtons(QGroupBox* box, int firstId, int checked);
// The line of the checked button; fallback when none is.
int checkedLine(const QButtonGroup* group, int firstId, int fallback);

// Six check boxes for the lines C..h, firstId .. firstId + 5, laid out in the group box,
// checked where mask has bit line.
QButtonGroup* makeLineChecks(QGroupBox* box, int firstId, int mask);
// Bit line set for every checked box.
int checkedMask(const QButtonGroup* group, int firstId);

// After a designer's OK: a built design is refocused at the reference line and becomes
// the document's design, one step named step that Undo takes back whole (true); a refusal
// or a failed build shows its message in the error box (false: the dialog stays open).
bool finishDesign(QWidget* owner, Document& document, LensSystem& lens, const DesignResult& result,
                  int referenceLine, const QString& step);

} // namespace kiro::app
