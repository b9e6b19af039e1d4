#pragma once

#include <QString>

namespace kiro::app {

// The extension design files are written with.
inline constexpr const char* kDesignExtension = ".OPT";

// The path named on the command line: the arguments as one text joined by blanks; a
// text that begins with a double quote is taken up to the next double quote.
QString commandLinePath(const QString& commandLine);

// The name Save proposes for the design named on the command line: its file name (the
// text after the last "/") up to the first ".", with ".OPT".
QString saveNameForCommandLine(const QString& path);

// The name Save offers: the proposed name cut at the first "." of its file name (a "."
// in a folder name stays), with ".OPT". "*" at start offers "*.OPT".
QString nameOfferedBySave(const QString& proposedName);

// The path a chosen name is written to: ".OPT" appended unless it already ends in ".OPT"
// in any mix of case (plan.op is written as plan.op.OPT).
QString withDesignExtension(const QString& chosen);

} // namespace kiro::app
