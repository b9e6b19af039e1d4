#pragma once

#include <QSize>

class QDialog;

namespace kiro::app {

// A dialog taller or wider than room keeps its size but shows its content in a scroll
// area no larger than room (true); one that fits is left alone (false).
bool scrollWhenLarger(QDialog* dialog, QSize room);

// Every dialog shown from now on fits its screen's available area, scrolling where its
// content would not (large interface scales on small screens). Qt's own boxes and file
// dialogs are left to place themselves.
void fitDialogsToScreen();

} // namespace kiro::app
