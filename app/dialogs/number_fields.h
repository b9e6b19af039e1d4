#pragma once

#include <optional>

#include <QString>

#include "model/number_text.h"

class QLineEdit;
class QWidget;

// Number fields of every dialog: one rule for what a typed number is (model/number_text),
// and one way to refuse a field.
namespace kiro::app {

// The desktop's decimal separators: the comma too where its locale writes decimal commas.
DecimalMarks desktopDecimalMarks();

// The message for a refused field, naming it and quoting what was typed.
QString numberProblemText(const QString& field, const QString& typed, NumberProblem problem);

// Marks the field (its text selected, the focus on it, a tinted background until the next
// edit) and shows the message in a warning box.
void refuseNumberField(QWidget* owner, QLineEdit* edit, const QString& field,
                       NumberProblem problem);

// Only the mark, for fields read as they are typed; clearMark takes it away.
void markNumberField(QLineEdit* edit);
void clearNumberFieldMark(QLineEdit* edit);
bool isMarkedNumberField(const QLineEdit* edit);

// The field's number; nullopt after the field was refused.
std::optional<double> readNumberField(QWidget* owner, QLineEdit* edit, const QString& field,
                                      const NumberLimits& limits = {});

} // namespace kiro::app
