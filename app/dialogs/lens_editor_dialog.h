#pragma once

#include <array>
#include <memory>

#include <QDialog>
#include <QStringList>

#include "presenters/lens_editor.h"

class QComboBox;
class QLineEdit;
class QScrollArea;
class QStringListModel;

namespace kiro::app {

class Document;

// "LENS", the lens data editor: a grid of the 16 surface rows over the editor model,
// which holds every rule; this class only places the controls and passes their changes
// on. The design changes only when OK is accepted.
class LensEditorDialog : public QDialog {
    Q_OBJECT

  public:
    LensEditorDialog(Document& document, QWidget* parent = nullptr);
    ~LensEditorDialog() override;

    // Control identifiers of row k: type list b, edits b + 1 .. b + 5, material list
    // b + 6, spacing b + 7, position b + 8, with b = 101 + 10k.
    static constexpr int rowBase(int k) { return 101 + 10 * k; }
    static constexpr int kDeleteBase = 300;
    static constexpr int kAddBase = 350;
    static constexpr int kFocusBase = 400; // C, d, e, F, g, h

    void accept() override;

  private:
    struct RowControls {
        QComboBox* type = nullptr;
        std::array<QLineEdit*, 5> edits{}; // radius, a2, a3, a4, diameter
        QComboBox* material = nullptr;     // none on the last row
        QLineEdit* spacing = nullptr;      // none on the last row
        QLineEdit* position = nullptr;
    };

    QWidget* buildGrid();
    QWidget* buildButtons();
    void edited(int row, EditorColumn column, const QString& text);
    void showGrid();
    void focusAt(int line);
    // Shows the grid after an accepted operation, or says why it was refused.
    bool settle(EditorVerdict verdict);
    QLineEdit* cellEdit(int row, EditorColumn column) const;

    Document& document_;
    LensEditor editor_;
    std::array<RowControls, kEditorRows> rows_{};
    QStringListModel* typeNames_ = nullptr;
    QStringListModel* materialNames_ = nullptr;
};

// The names of the type list in the interface's language, in list order.
QStringList surfaceTypeNames();

// Menu command 301. True when OK changed the design.
bool runLensEditor(Document& document, QWidget* parent);

} // namespace kiro::app
