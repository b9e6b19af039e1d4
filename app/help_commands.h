#pragma once

class QWidget;

namespace kiro::app {

class HelpWindow;

// Help (901): the user's guide (userGuide) in KIRO's own help window, one for the owner,
// which it returns; when there is no guide, a box says where to find it and names the
// places that were looked in, and the result is null.
HelpWindow* openUserGuide(QWidget* owner);

// About (902): the program's name and version.
void showAbout(QWidget* owner);

} // namespace kiro::app
