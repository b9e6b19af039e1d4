#pragma once

#include <QString>

class QWidget;

namespace kiro::app {

class Document;

// The File menu's commands on the document; owner parents their dialogs and boxes.

// New (101): empties the design, after unsaved work was settled.
void newDesign(QWidget* owner, Document& document);

// Open (102): a design chosen in the "LOAD" dialog replaces the open one, after unsaved
// work was settled. A refused file gets the error box with the reason and changes
// nothing; one that ends early opens with a warning.
void openDesign(QWidget* owner, Document& document);

// A design chosen another way (a recent file, a file dropped on the window): read as Open
// reads it, after unsaved work was settled. True when it was opened.
bool openDesignFile(QWidget* owner, Document& document, const QString& path);

// Save (103) offers the proposed name cut before its extension; Save As (104) offers
// none. ".OPT" is added to the chosen name unless it has it, an existing file is
// overwritten only when the user says so, and a failed write gets the error box with the
// reason. True when the design was written.
enum class SaveKind { Save, SaveAs };
bool saveDesign(QWidget* owner, Document& document, SaveKind kind);

// Before unsaved work would be lost (closing, Exit, New, Open): asks whether to save it first.
// True when the caller may go on: nothing was unsaved, the user discarded it, or it was
// saved.
bool settleUnsavedWork(QWidget* owner, Document& document);

// Start-up: the design named on the command line (see commandLinePath), with the name
// Save proposes for it. A refused file gets the error box, as with Open.
void openCommandLine(QWidget* owner, Document& document, const QString& commandLine);

} // namespace kiro::app
