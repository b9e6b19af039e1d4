#pragma once

#include <QMainWindow>

namespace kiro::app {

class Document;
class DesignStatusBar;
class LayoutWidget;
class RecentFilesMenu;

// Command identifiers of the menu; each is its QAction's object name ("101" ...).
enum class MenuId : int {
    New = 101,
    Open = 102,
    Save = 103,
    SaveAs = 104,
    Exit = 105,
    SpotDiagram = 201,
    AberrationCurves = 202,
    Information = 203,
    LightAmount = 204,
    WavefrontMtf = 210,
    RayFans = 211,
    FieldCurves = 212,
    SeidelSums = 213,
    LensData = 301,
    ApertureChange = 401,
    Description = 501,
    Settings = 601,
    RefractorDesign = 701,
    ReflectorDesign = 702,
    Optimize = 703,
    // Edit, in the 800s that no other command uses.
    Undo = 801,
    Redo = 802,
    Help = 901,
    About = 902,
};

// A command's object name: its identifier's number.
inline QString commandObjectName(MenuId id) {
    return QString::number(static_cast<int>(id));
}

// Object names of the commands added to the menus beside those of the identifiers.
namespace CommandName {
inline constexpr const char* SavePicture = "savePicture";
inline constexpr const char* Print = "print";
inline constexpr const char* ZoomIn = "zoomIn";
inline constexpr const char* ZoomOut = "zoomOut";
inline constexpr const char* Fit = "fitView";
} // namespace CommandName

// The program's one window: the menu, the side view of the document's design and the
// status bar. The title is "KIRO" until the first paint, then the design's description
// and file name with the modified mark (windowTitleFor). A design file dropped on the
// window is opened.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(Document& document, QWidget* parent = nullptr);

    LayoutWidget* layoutWidget() const { return view_; }
    RecentFilesMenu* recentFiles() const { return recent_; }

  signals:
    void firstPainted();

  protected:
    // Unsaved work is settled first; the window stays when the user cancels.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildMenus();
    // Edit's Undo and Redo, named after the step they would take and off without one.
    void buildEditMenu();
    // Save picture, Print and the recent files, before Exit.
    void addFileExtras(QMenu* file);
    // Zoom in and out and Fit for the side view, at the end of View.
    void addViewCommands(QMenu* views);
    void showTitle();
    void openRecent(const QString& path);
    void savePicture();
    void print();
    void viewPainted();
    bool designInUse() const;

    void showInformation();
    void editLensData();
    void changeAperture();
    void describe();
    void configure();

    // An analysis dialog of the View menu, shown only while the design has a first row.
    template <class Dialog> void showAnalysis();

    Document& document_;
    LayoutWidget* view_ = nullptr;
    DesignStatusBar* status_ = nullptr;
    RecentFilesMenu* recent_ = nullptr;
    bool painted_ = false;
};

} // namespace kiro::app
