#include "app/dialogs/number_fields.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>

#include "app/message_boxes.h"

namespace kiro::app {

namespace {

constexpr const char* kMarkProperty = "kiroRefusedNumber";
const QString kMarkStyle = QStringLiteral("QLineEdit { background-color: #ffd6d6; }");

} // namespace

DecimalMarks desktopDecimalMarks() {
    return QLocale().decimalPoint() == QStringLiteral(",") ? DecimalMarks::PointOrComma
                                                           : DecimalMarks::PointOnly;
}

QString numberProblemText(const QString& field, const QString& typed, NumberProblem problem) {
    switch (problem) {
    case NumberProblem::None:
        return {};
    case NumberProblem::NotANumber:
        return QCoreApplication::translate("NumberField", "「%1」の「%2」は数値として読めません。")
            .arg(field, typed);
    case NumberProblem::NotFinite:
        return QCoreApplication::translate("NumberField",
                                           "「%1」の「%2」は有限の数値ではありません。")
            .arg(field, typed);
    case NumberProblem::NotWhole:
        return QCoreApplication::translate("NumberField",
                                           "「%1」には整数を入力してください（「%2」）。")
            .arg(field, typed);
    case NumberProblem::OutOfRange:
        return QCoreApplication::translate("NumberField", "「%1」の %2 は入力できる範囲の外です。")
            .arg(field, typed);
    }
    return {};
}

void markNumberField(QLineEdit* edit) {
    if (isMarkedNumberField(edit)) {
        return;
    }
    edit->setProperty(kMarkProperty, true);
    edit->setStyleSheet(kMarkStyle);
    QObject::connect(
        edit, &QLineEdit::textEdited, edit, [edit] { clearNumberFieldMark(edit); },
        Qt::SingleShotConnection);
}

void clearNumberFieldMark(QLineEdit* edit) {
    edit->setProperty(kMarkProperty, false);
    edit->setStyleSheet(QString());
}

bool isMarkedNumberField(const QLineEdit* edit) {
    return edit->property(kMarkProperty).toBool();
}

void refuseNumberField(QWidget* owner, QLineEdit* edit, const QString& field,
                       NumberProblem problem) {
    markNumberField(edit);
    edit->setFocus();
    edit->selectAll();
    showBox(owner, {QStringLiteral("Error !"), numberProblemText(field, edit->text(), problem),
                    QMessageBox::Warning, QMessageBox::Ok});
}

std::optional<double> readNumberField(QWidget* owner, QLineEdit* edit, const QString& field,
                                      const NumberLimits& limits) {
    const NumberReading reading =
        readNumberText(edit->text().toStdString(), desktopDecimalMarks(), limits);
    if (!reading.ok()) {
        refuseNumberField(owner, edit, field, reading.problem);
        return std::nullopt;
    }
    clearNumberFieldMark(edit);
    return reading.value;
}

} // namespace kiro::app
