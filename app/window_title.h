#pragma once

#include <QString>

namespace kiro::app {

// The main window's title: the design's description, the file's name carrying Qt's
// modified mark "[*]", then "KIRO", each part left out when empty, joined by " — "
// ("200mm f/5 Newtonian — newtonian-200-f5.OPT[*] — KIRO"). Without a file the mark
// goes with the description, or with "KIRO" when there is none.
QString windowTitleFor(const QString& description, const QString& filePath);

} // namespace kiro::app
