#pragma once

class QWidget;

namespace kiro::app {

// Help (901): the user's guide (findUserGuide) in the desktop's browser; when there is no
// guide or no browser takes it, a box says where to find it.
void openUserGuide(QWidget* owner);

// About (902): the program's name and version.
void showAbout(QWidget* owner);

} // namespace kiro::app
