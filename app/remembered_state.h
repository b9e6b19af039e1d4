#pragma once

#include <QSettings>
#include <QString>

class QWidget;

namespace kiro::app {

class Document;

// What KIRO keeps between runs (window places, the last folder, recent files, the
// designers' and the optimizer's inputs, the settings) lives in one store. Until the
// program names the user's file, the store is a file of its own that vanishes with the
// process, so that tests never read or write the user's settings.
QSettings& rememberedState();

// Uses the INI file at path from now on.
void useRememberedStateFile(const QString& path);

// The user's file: kiro.ini in the desktop's configuration folder for KIRO.
QString userStateFile();

// Forgets everything kept: the next run starts from the defaults.
void forgetRememberedState();

// The document's kept inputs (designers, optimizer, settings, last folder) from the store;
// values missing or out of their range keep the start values.
void recallDocumentState(Document& document);
void rememberDocumentState(const Document& document);

// The analysis dialogs' choices that outlast a run: each control marked with the property
// kKeptChoice (their line boxes and scale bars) is restored as the dialog is first shown
// and kept as it is hidden, under the dialog's object name.
constexpr const char* kKeptChoice = "kiroKeptChoice";
void keepAnalysisChoices();

// A window's size and place under its object name.
void recallGeometry(QWidget* window);
void rememberGeometry(const QWidget* window);

// Restores every dialog's size and place as it is shown and keeps it as it is hidden.
void keepDialogGeometries();

} // namespace kiro::app
