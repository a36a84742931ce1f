#pragma once
// The one multiple-document frame of Pigmora: the document area, the menu bar
// built from the action table, the status bar, the 50 ms timer that paces
// replay and panel refreshes, and the modal-dialog routine every dialog goes
// through.
#include <QMainWindow>
#include <QString>
#include <QTimer>

#include "app/status_bar_model.h"

#include <memory>

class QDialog;
class QMdiArea;
class QMenu;

namespace pg {

class TMainActions;
class TStatusPanels;
class TQtTabletService;
class TTabletEventFilter;
class TWinTab32;

// The window's saved bounds.
struct SMainWindowBounds {
  bool maximised = false;
  int32_t x = -1, y = -1, width = -1, height = -1;  // each applied only when 0 or more
};

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // A path handed over by the command line or by a second instance.
  void handOverFile(const QString& absolutePath);

  QMdiArea* documentArea() const { return mdi_; }
  TMainActions& actions() const { return *actions_; }
  TStatusPanels& statusPanels() const { return *status_; }

  // Runs a dialog modally unless another dialog (or the text tool's window)
  // already runs; then answers Cancel (2) without showing it.
  int showModalDialog(QDialog& dialog);
  bool modalDialogOpen() const { return modalDialogOpen_; }

  // Status bar panels.
  void setStatusText(int panel, const QString& text);
  void showZoomStatus(float percent);
  void showAngleStatus(float degrees);
  void showSizeStatus();
  void setSizePanelChoice(SizePanelChoice choice);
  SizePanelChoice sizePanelChoice() const { return sizeChoice_; }

  void setTitle(const QString& title);

  // Bounds restored before the first show, kept on the virtual screen; and
  // the bounds to save at exit.
  void applyBounds(const SMainWindowBounds& bounds);
  SMainWindowBounds currentBounds() const;

  // The timer that paces replay, runs panel refreshes and the status bar.
  QTimer& timer() { return timer_; }

  // The tablet wrapper (never null; unloaded when the tablet is ignored or
  // absent).
  TWinTab32& tablet() const { return *tablet_; }
  // Closes and reopens the tablet context (unless the tablet is disabled).
  void reopenTablet();

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

 private:
  void onTick();
  void onStatusPanelClicked(int panel, QPoint at);
  void buildStatusPopups();
  void updateTabletPanels();
  void bindWindowCommands();
  void rebuildDocumentList();

  QMdiArea* mdi_ = nullptr;
  TMainActions* actions_ = nullptr;
  TStatusPanels* status_ = nullptr;
  QTimer timer_;
  bool modalDialogOpen_ = false;
  bool textLoopRunning_ = false;
  SizePanelChoice sizeChoice_ = SizePanelChoice::ImageSize;

  std::unique_ptr<TQtTabletService> tabletService_;
  std::unique_ptr<TWinTab32> tablet_;
  TTabletEventFilter* tabletFilter_ = nullptr;
  bool tabletDisabled_ = false;
  int32_t tabletType_ = 0;
  bool drawToolMode_ = false;

  QMenu* popZoom_ = nullptr;
  QMenu* popRotate_ = nullptr;
  QMenu* popReso_ = nullptr;
  QMenu* popTabletType_ = nullptr;
  QMenu* popTabletMode_ = nullptr;
};

}  // namespace pg
