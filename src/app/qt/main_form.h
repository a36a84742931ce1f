#pragma once
// The one multiple-document frame of Pigmora: the document area, the menu bar
// built from the action table, the status bar, the 50 ms timer that paces
// replay and panel refreshes, and the modal-dialog routine every dialog goes
// through.
#include <QMainWindow>
#include <QString>
#include <QTimer>

#include "app/pen_tool_switch.h"
#include "app/status_bar_model.h"
#include "toolwin/tool_button_clicks.h"
#include "toolwin/tool_target.h"
#include "ui/qt/app_event_router.h"

#include <functional>
#include <memory>

class QDialog;
class QPrinter;
class QMdiArea;
class QMenu;

namespace pg {

class CCanvasShared;
class CPenRender;
class CProfileTextSettings;
class CProfilePresetPrefs;
class CProfileDocPrefs;
class TDockFloatManager;
class TToolForm;
class TToolTargetAdapter;
class TWidgetDockView;
class TDrawWindowWidget;
class TDrawWindow;
struct SGateInputs;
struct SScanOptions;

// The gates' view of a document window (main_form_commands.cpp).
SGateInputs gateInputs(TDrawWindow& w, bool batchMode);
class TDrawWindow;
class TMainActions;
class TMRUFileList;
class TMRUMenu;
class TStatusPanels;
class TQtTabletService;
class TReplayDisplayBridge;
class TTabletEventFilter;
class TWinTab32;

// The window's saved bounds.
struct SMainWindowBounds {
  bool maximised = false;
  int32_t x = -1, y = -1, width = -1, height = -1;  // each applied only when 0 or more
};

class TMainForm : public QMainWindow, private IToolWindowHost, private IAppEventHandler {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // A path handed over by the command line or by a second instance.
  void handOverFile(const QString& absolutePath);

  // ---- files (main_form_files.cpp) ----
  // Opens a file, or brings the window that shows it to the front; the
  // window, or nullptr when the file could not be opened (reported).
  [[nodiscard]] TDrawWindowWidget* openFile(const QString& path);
  // Event > Open: replays the recording of an event file or of a native
  // file in a new window, paused before its first step when asked; any
  // other file is refused (reported). The window, or nullptr.
  [[nodiscard]] TDrawWindowWidget* openRecording(const QString& path, bool paused);
  // Saves the window's document to the path by its kind (reported); true on
  // success.
  [[nodiscard]] bool saveDrawWindow(TDrawWindowWidget& window, const QString& path);
  // Save As with the save dialog; Save in place when the window has a file
  // name (the close prompt's Yes).
  [[nodiscard]] bool saveDrawWindowAs(TDrawWindowWidget& window);
  [[nodiscard]] bool saveDrawWindowInPlace(TDrawWindowWidget& window);
  // The folder a dialog that writes the window's document starts in: the
  // document's own folder when the preferences give it priority and it
  // exists, else the remembered save folder.
  [[nodiscard]] static std::string saveFolderFor(const TDrawWindowWidget& w);

  // ---- replay (main_form_replay.cpp) ----
  // Opens a recording (an event file, or a native file that carries one)
  // for replay in a new window; nullptr when it does not open (reported).
  [[nodiscard]] TDrawWindowWidget* openEventsForReplay(const QString& path);

  // ---- document windows ----
  // What every document window shares (tool, colours, stroke settings).
  CCanvasShared& canvas() const { return *canvas_; }
  // The active document window, or nullptr.
  TDrawWindowWidget* activeDrawWindow() const;
  QList<TDrawWindowWidget*> drawWindows() const;
  // A new document in a new window; nullptr when it cannot be made. The
  // first window is maximised when the preferences ask for it.
  [[nodiscard]] TDrawWindowWidget* newDrawWindow(const QString& name, int width, int height, int dpi, bool transparent = false);
  // The window's frame around a picture of width x height at the view's zoom
  // and a margin, as far as the area allows.
  void fitDrawWindow(TDrawWindowWidget& w, int width, int height);
  // File > New: the new-document dialog, then a window with its document.
  void newDocumentCommand();
  // Batch runs close without asking.
  void setBatchMode(bool on);

  QMdiArea* documentArea() const { return mdi_; }
  TMainActions& actions() const { return *actions_; }
  TStatusPanels& statusPanels() const { return *status_; }

  // Runs a dialog modally unless another dialog (or the text tool's window)
  // already runs; then answers Cancel (2) without showing it.
  [[nodiscard]] int showModalDialog(QDialog& dialog);
  // The same guard for a dialog shown by a routine of its own: runs it unless
  // another dialog runs, and answers false without running it otherwise.
  [[nodiscard]] bool runModal(const std::function<void()>& show);
  bool modalDialogOpen() const { return modalDialogOpen_; }

  // Status bar panels.
  void setStatusText(int panel, const QString& text);
  void showZoomStatus(float percent);
  void showAngleStatus(float degrees);
  void showSizeStatus();
  void setSizePanelChoice(SizePanelChoice choice);

  void setTitle(const QString& title);

  // The recent documents of the File menu.
  TMRUFileList& recentFiles() const { return *fileMru_; }

  // Bounds restored before the first show, kept on the virtual screen; and
  // the bounds to save at exit.
  void applyBounds(const SMainWindowBounds& bounds);
  SMainWindowBounds currentBounds() const;

  // The tool window and the floating panels.
  TToolForm* toolWindow() const { return toolForm_; }
  TDockFloatManager& dockManager() const { return *dock_; }
  // The saved arrangement of the panels (empty: the default one); before the
  // first show it waits until the window is on the screen.
  void restorePanelLayout(const QByteArray& blob);
  QByteArray panelLayout() const;

  // The timer that paces replay, runs panel refreshes and the status bar.
  QTimer& timer() { return timer_; }

  // The tablet wrapper (never null; unloaded when the tablet is ignored or
  // absent).
  TWinTab32& tablet() const { return *tablet_; }
  // Closes and reopens the tablet context (unless the tablet is disabled).
  void reopenTablet();

  // The printer the print commands use: the system's default, or a PDF file
  // where there is no printer (main_form_menus.cpp).
  QPrinter& printer();
  // Where a print to a file goes: given the proposed name, the chosen one
  // (empty to cancel). Unset, the save dialog asks.
  std::function<QString(const QString& suggestion)> choosePrintFile;
  // Scans a page into a new document window; false when nothing was scanned.
  [[nodiscard]] bool acquireFromScanner();
  // The scanner's options before a scan (unset: the options dialog asks).
  std::function<bool(SScanOptions&)> chooseScanSettings;

  // The pop-up menus of the status bar, by panel (nullptr for panel 3).
  QMenu* statusPopup(int panel) const;

 signals:
  // The main window was minimised (true) or brought back (false); floating
  // panels follow it.
  void minimisedChanged(bool minimised);
  // Every 50 ms tick, after the status bar: the document windows' timers.
  void ticked();

 protected:
  void changeEvent(QEvent* event) override;
  // Closing asks each document window about unsaved changes; one that stays
  // open keeps the program running.
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Files dropped on the window are opened.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void onTick();
  void onStatusPanelClicked(int panel, QPoint at);
  void buildStatusPopups();
  void updateTabletPanels();
  void applyPreferences();
  void storePreferences();
 public:
  // After the preferences dialog: the document windows and the tool window
  // follow the changed preferences (PrefEffect bits of what changed).
  void applyPreferenceEffects(uint32_t effects);

 private:
  void bindWindowCommands();
  void bindDocumentCommands();
  // main_form_commands.cpp: the layer and selection commands.
  void bindDocumentCommandsMore();
  // main_form_menus.cpp: the document dialogs, printing, scanning, the view
  // switches and the help menu.
  void bindMenuCommands();
  // main_form_files.cpp: open, save, revert, clipboard commands.
  void bindFileCommands();
  [[nodiscard]] TDrawWindowWidget* findDrawWindow(const QString& path) const;
  // Closes a window made for a document that could not be filled, asking nothing.
  void discardNewWindow(TDrawWindowWidget& window);
  // Whether a file may open now: in a batch mode only the first, otherwise
  // while the active window is not busy.
  [[nodiscard]] bool openingAllowed() const;
  void fileOpened(TDrawWindowWidget& window, const QString& path);
  void documentActivated();
  // main_form_tools.cpp: the tool window, its panels and the key routing.
  void createToolWindowAndPanels();
  void destroyToolWindowAndPanels();
  void bindPanelCommands();
  void bindToolTarget(TDrawWindowWidget* window);
  // The tool window's cursor and button preferences, from the profile.
  void applyToolPreferences();
  void bindViewCommands(TDrawWindowWidget* window);
  void forgetToolTarget(TDrawWindowWidget* window);
  void storeToolSetting(uint8_t kind, float value) override;
  void setEventWait(int32_t wait) override;
  void toggleFloatingPanels() override;
  void selectStrokeEngine(int32_t level) override;
  bool appEvent(QObject* watched, QEvent* event) override;
  bool routeKey(QObject* watched, QKeyEvent& key);
  void tabletReport(bool isPacket);
  void rebuildDocumentList();
  // main_form_replay.cpp: the Event menu's replay commands and the tick.
  void bindReplayCommands();
  // main_form_filters.cpp: the Filter menu's filters and Repeat.
  void bindFilterCommands();
  void replayTick();
  TDrawWindow* replayingWindow() const;
  // A new document window's replay questions and its report.
  void bindReplayHost(TDrawWindowWidget& window);
  TReplayDisplayBridge* replayBridge_ = nullptr;

  QMdiArea* mdi_ = nullptr;
  TMainActions* actions_ = nullptr;
  TStatusPanels* status_ = nullptr;
  QTimer timer_;
  bool modalDialogOpen_ = false;
  bool textLoopRunning_ = false;
  SizePanelChoice sizeChoice_ = SizePanelChoice::ImageSize;

  // The dab renderer every document's pen engine paints with; it outlives
  // the shared canvas state and every document window.
  std::unique_ptr<CPenRender> penRender_;
  std::unique_ptr<CCanvasShared> canvas_;
  std::unique_ptr<CProfileTextSettings> textSettings_;
  std::unique_ptr<CProfilePresetPrefs> presetPrefs_;
  std::unique_ptr<CProfileDocPrefs> docPrefs_;
  std::unique_ptr<TMRUFileList> fileMru_;
  TMRUMenu* fileMruMenu_ = nullptr;
  std::unique_ptr<TDockFloatManager> dock_;
  std::shared_ptr<QPrinter> printer_;
  bool printToFile_ = false;  // no printer: each print names its PDF file
  TToolForm* toolForm_ = nullptr;
  QByteArray pendingLayout_;
  bool firstShown_ = false;
  TWidgetDockView* toolPanel_ = nullptr;
  TWidgetDockView* optionsPanel_ = nullptr;
  // The navigator, information, colour, swatch, layer and mask panels.
  std::vector<TWidgetDockView*> docPanels_;
  std::vector<std::unique_ptr<TToolTargetAdapter>> toolTargets_;
  // The view commands of the tool buttons, over the active window.
  std::unique_ptr<IViewCommands> viewCommands_;
  TDrawWindowWidget* viewCommandsWindow_ = nullptr;
  bool childWinMax_ = false;
  bool batchMode_ = false;

  std::unique_ptr<TQtTabletService> tabletService_;
  std::unique_ptr<TWinTab32> tablet_;
  TTabletEventFilter* tabletFilter_ = nullptr;
  bool tabletDisabled_ = false;
  CPenToolSwitch penSwitch_;
  int32_t tabletType_ = 0;
  bool drawToolMode_ = false;

  QMenu* popZoom_ = nullptr;
  QMenu* popRotate_ = nullptr;
  QMenu* popReso_ = nullptr;
  QMenu* popTabletType_ = nullptr;
  QMenu* popTabletMode_ = nullptr;
};

}  // namespace pg
