#pragma once

#include <QByteArray>
#include <QString>

namespace kiro::app {

// Text from design files and the catalogue is bytes: UTF-8 when it is valid UTF-8,
// CP932 otherwise.
QString fromDesignBytes(const char* bytes);

// Text typed by the user as the bytes a design stores: CP932, cut to at most limitBytes
// without splitting a character. False (out left alone) when a character has no CP932
// form.
bool toDesignBytes(const QString& text, int limitBytes, QByteArray& out);

// Numbers are shown the same way whatever the user's locale: printf's format in the C
// locale. (Typed numbers are read by app/dialogs/number_fields.h.)
QString formatNumber(const char* format, double value);

// Called once the application is made: QApplication adopts the user's locale, and this
// puts the numbers (LC_NUMERIC) back to the C way.
void useCNumbers();

// The dialogs' label of a wavelength line, slot 1..6: "C(656.3nm)" ... "h(404.7nm)"; empty
// for any other slot.
QString lineLabel(int slot);

} // namespace kiro::app
