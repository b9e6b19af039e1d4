#pragma once

#include <QString>

namespace kiro::app {

// The commands that change the design, each one step of the Edit menu's history.
enum class EditStep {
    New,
    Open,
    LensData,
    ApertureChange,
    Description,
    Settings,
    RefractorDesign,
    ReflectorDesign,
    Optimize,
};

// The step's name in Undo and Redo: its menu item's text without the accelerator.
QString stepName(EditStep step);

} // namespace kiro::app
