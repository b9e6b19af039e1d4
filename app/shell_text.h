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

// Numbers are shown and read the same way whatever the user's locale: printf's format
// in the C locale, and the C library's text-to-double rules (text that is not a number
// reads as 0).
QString formatNumber(const char* format, double value);

// Called once the application is made: QApplication adopts the user's locale, and this
// puts the numbers (LC_NUMERIC) back to the C way.
void useCNumbers();
double readNumber(const QString& text);

// The dialogs' label of a wavelength line, slot 1..6: "C(656.3nm)" ... "h(404.7nm)"; empty
// for any other slot.
QString lineLabel(int slot);

// Integer fields: the whole text as an unsigned decimal number, 0 when it is not one
// (values beyond the unsigned range read as 0 as well).
unsigned readUnsigned(const QString& text);

} // namespace kiro::app
