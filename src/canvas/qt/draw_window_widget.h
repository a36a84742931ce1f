#pragma once
// The document window under Qt: a scroll area whose viewport shows the back
// buffer of a TDrawWindow (through a QImage over the same bytes) and turns
// Qt's mouse, tablet, key, wheel, resize, focus and close events into calls
// of that logic. The main window puts one into a sub-window of its document
// area per open picture.
//
// Mouse events that Qt makes up from tablet events are ignored: the pen
// reaches the window through its tablet events only, so a pen stroke never
// paints twice.
#include <QAbstractScrollArea>
#include <QCursor>
#include <QImage>
#include <QTimer>
#include <functional>
#include <memory>

#include "canvas/draw_window.h"

class QMdiArea;
class QMdiSubWindow;
class QMouseEvent;
class QPainter;
class QTabletEvent;

namespace pg {

class TDrawWindowWidget : public QAbstractScrollArea, private IDrawWindowHost {
 public:
  // An empty window (no document yet) over the shared canvas state.
  explicit TDrawWindowWidget(CCanvasShared& shared, QWidget* parent = nullptr);
  ~TDrawWindowWidget() override;

  // A window with a new document: name, size (clamped to 1 .. 10,000),
  // resolution and a transparent or white first layer; null when the
  // document cannot be made.
  [[nodiscard]] static TDrawWindowWidget* createNew(CCanvasShared& shared, const QString& name, int width, int height, int dpi,
                                      bool transparent = false, QWidget* parent = nullptr);
  // Puts the window into a new sub-window of the area and shows it.
  QMdiSubWindow* addToArea(QMdiArea& area);

  TDrawWindow& window() { return *window_; }
  const TDrawWindow& window() const { return *window_; }

  // ---- commands of the main window (each asks the edit gate) ----
  bool canUndo() { return window_->canUndo(); }
  bool canRedo() { return window_->canRedo(); }
  [[nodiscard]] bool undo() { return window_->undo(); }
  [[nodiscard]] bool redo() { return window_->redo(); }
  // Asks, then discards every undo and redo step.
  [[nodiscard]] bool clearUndo() { return window_->clearUndo(); }
  // Unsaved changes (the close prompt asks about them).
  bool isModified() const { return window_->isModified(); }

  // The cursor for a choice in this window alone; unset, the cursor factory
  // below decides, and without one a few of Qt's shapes stand in.
  std::function<QCursor(const SCursorChoice&)> cursorProvider;
  // The cursors of every window: the choice and the brush radius in screen
  // pixels (the tool stroke's radius at the window's zoom). The tool window
  // installs it; an empty function takes it away.
  using TCursorFactory = std::function<QCursor(const SCursorChoice&, float brushRadius)>;
  static void setCursorFactory(TCursorFactory factory);
  // The brush radius in screen pixels at the current zoom.
  float brushRadiusOnScreen() const;
  // Sets the cursor again (after a change of the brush size or the cursors).
  void refreshCursor();
  // One step of the marching ants (their timer calls it every 50 ms).
  bool antsTick() { return window_->antsTick(); }
  // Asked when the document has unsaved changes and the window is to close;
  // by default a Yes/No/Cancel message box. Answers kAnswerYes, kAnswerNo or
  // kAnswerCancel.
  std::function<int32_t(const std::string& caption)> saveQuestion;
  // Asked for Yes at the close prompt: saves the document; false keeps the
  // window open. Unset, nothing saves and Yes keeps the window.
  std::function<bool(TDrawWindowWidget&)> saveDocument;
  // The status bar's zoom (percent) and view angle (degrees) after a change.
  std::function<void(float zoomPercent, float degrees)> onZoomAndAngle;
  // The save dialog of the recording: the chosen path, or empty. Unset: the
  // recording is not saved.
  std::function<std::string(TDrawWindowWidget&, const std::string& proposed)> eventFileDialog;
  // A replay ended with this summary (the main window shows the report).
  std::function<void(TDrawWindowWidget&, const SReplaySummary&)> onReplayEnded;

 protected:
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // ---- IDrawWindowHost ----
  void updateRect(const TRect& rect) override;
  void updateAll() override;
  void beep() override;
  void setCursor(const SCursorChoice& cursor) override;
  void applyScrollBars(const SScrollBars& bars) override;
  void setAutoScrollTimer(bool on) override;
  void setCaption(const std::string& caption) override;
  void screenToClient(float& x, float& y) const override;
  [[nodiscard]] int32_t askSaveChanges(const std::string& caption) override;
  [[nodiscard]] int32_t askYesNo(const std::string& text) override;
  void showReplayMessage(const std::string& text) override;
  void replayEnded(const SReplaySummary& summary) override;
  [[nodiscard]] int32_t askOkCancel(const std::string& text) override;
  std::string askEventFileName(const std::string& proposed) override;
  void activateNextWindow(bool previous) override;
  void showZoomAndAngle(float zoomPercent, float degrees) override;
  void setWaitCursor(bool on) override;

  void tabletEvent(QTabletEvent* event);
  // The rubber band of the drag and shape tools over the view.
  void paintRubberBand(QPainter& painter) const;
  // The marching ants over the view.
  void paintAnts(QPainter& painter, const QRect& area);
  // The text tool's preview over the view.
  void paintTextPreview(QPainter& painter) const;
  // Mouse events that come from the pen, not from a mouse.
  static bool fromTablet(const QMouseEvent& event);
  void keysFrom(Qt::KeyboardModifiers modifiers);
  void syncClientSize();

  std::unique_ptr<TDrawWindow> window_;
  QImage frame_;
  QTimer autoScroll_;
  QTimer antsTimer_;
  bool applyingBars_ = false;
  bool spaceHeld_ = false;
};

// Qt's key as the window's key code (0 for a key the window has no use for).
int32_t windowKeyOf(int qtKey);

}  // namespace pg
