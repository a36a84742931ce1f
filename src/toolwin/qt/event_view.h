#pragma once
// TEventView: the event log panel of the tool window. While a document
// window replays it shows the replay: a caption that follows the pause, the
// replayed brush (its tool glyph, colour pair, tone and gradation
// indicators), pause, step and stop buttons, a progress bar whose display a
// click steps through, and the log of the events as they run. Its state is
// CEventPanelModel; the buttons and the context menu run the main window's
// Event menu commands, which it is given.
#include <QWidget>
#include <functional>

#include "toolwin/event_log_list.h"
#include "toolwin/event_panel.h"

class QAction;
class QLabel;
class QMenu;
class QToolButton;

namespace pg {

class TGraphicProgressBar;
class TItemListView;
class TPgGlyphLabel;
class TTwinColorCell;

class TEventView : public QWidget {
  Q_OBJECT
 public:
  explicit TEventView(QWidget* parent = nullptr);

  CEventPanelModel& model() { return model_; }

  // The commands of the buttons (pause, step, stop) and of the context menu
  // (any number, a null entry a separator). Their owner brings their
  // enabling and checks up to date when the menu is about to show. The log's
  // own items (clear the log, its line count) follow them.
  void setCommands(QAction* pause, QAction* step, QAction* stop, const QList<QAction*>& menu);

  // ---- what a replaying window reports ----
  void setReplaying(bool on, bool newFormat);
  void setPaused(bool paused);
  // The most rows the log keeps (0..50; 0 turns it off).
  void setLogCapacity(int32_t rows);
  // The log's menu items: clear the log; ask for the line count, which
  // becomes the capacity and is handed to OnLogCapacity for the preferences.
  void MenuClearLogClick();
  void MenuLogCapacityClick();
  std::function<void(int32_t rows)> OnLogCapacity;
  // An event replayed or recorded (its name index) for the log.
  void addEvent(uint8_t nameIndex);
  void setProgress(uint32_t done, uint32_t total);
  void setBrush(const SReplayedBrush& brush);

  // Parts, for tests and the screenshot.
  QLabel* caption() const { return caption_; }
  QToolButton* pauseButton() const { return pause_; }
  QToolButton* stepButton() const { return step_; }
  QToolButton* stopButton() const { return stop_; }
  TGraphicProgressBar* progressBar() const { return progress_; }
  CEventLogList& logList() { return logItems_; }
  QAction* clearLogAction() const { return clearLog_; }
  QAction* logCapacityAction() const { return logCapacity_; }
  QMenu* contextMenu() const { return menu_; }
  TTwinColorCell* colourCell() const { return colours_; }
  // How many times the log list redrew a row (a quiet stroke count does not).
  int logRedraws() const { return logRedraws_; }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void refreshControls();
  void refreshBrush();
  void refreshLog(TEventLogModel::Change change);

  CEventPanelModel model_;
  QLabel* caption_ = nullptr;
  QWidget* replayRow_ = nullptr;
  TPgGlyphLabel* kind_ = nullptr;
  TTwinColorCell* colours_ = nullptr;
  TPgGlyphLabel* tone_ = nullptr;
  TPgGlyphLabel* gradation_ = nullptr;
  QToolButton* pause_ = nullptr;
  QToolButton* step_ = nullptr;
  QToolButton* stop_ = nullptr;
  TGraphicProgressBar* progress_ = nullptr;
  CEventLogList logItems_{model_.log()};
  TItemListView* list_ = nullptr;
  QAction* clearLog_ = nullptr;
  QAction* logCapacity_ = nullptr;
  QMenu* menu_ = nullptr;
  QAction* pauseAction_ = nullptr;
  QAction* stepAction_ = nullptr;
  QAction* stopAction_ = nullptr;
  uint32_t startMs_ = 0;
  int logRedraws_ = 0;
};

}  // namespace pg
