#pragma once

#include <QMainWindow>

namespace kiro::app {

class Document;
class DesignStatusBar;
class LayoutWidget;
class RecentFilesMenu;

// Command identifiers of the menu; each is its QAction's object name ("101" ...).
namespace MenuId {
constexpr int New = 101;
constexpr int Open = 102;
constexpr int Save = 103;
constexpr int SaveAs = 104;
constexpr int Exit = 105;
constexpr int SpotDiagram = 201;
constexpr int AberrationCurves = 202;
constexpr int Information = 203;
constexpr int LightAmount = 204;
constexpr int WavefrontMtf = 210;
constexpr int RayFans = 211;
constexpr int FieldCurves = 212;
constexpr int SeidelSums = 213;
constexpr int LensData = 301;
constexpr int ApertureChange = 401;
constexpr int Description = 501;
constexpr int Settings = 601;
constexpr int RefractorDesign = 701;
constexpr int ReflectorDesign = 702;
constexpr int Optimize = 703;
// Edit, in the 800s that no other command uses.
constexpr int Undo = 801;
constexpr int Redo = 802;
constexpr int Help = 901;
constexpr int About = 902;
} // namespace MenuId

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
    // The designer's plots; the design must be in use.
    void showAberrationView(int id);
    void editLensData();
    void changeAperture();
    void describe();
    void configure();

    // The analysis dialogs of Spot (201), Curves (202) and Light (204); called only
    // while the design has a first row.
    void showSpotDialog();
    void showCurveDialog();
    void showLightDialog();
    void showWavefrontDialog(); // 210

    Document& document_;
    LayoutWidget* view_ = nullptr;
    DesignStatusBar* status_ = nullptr;
    RecentFilesMenu* recent_ = nullptr;
    bool painted_ = false;
};

} // namespace kiro::app
