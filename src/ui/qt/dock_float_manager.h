#pragma once
// Owns the floating tool windows of the application and the arrangement of
// the dockable panels in them (a CDockModel); shows the model as windows,
// carries out drags, snaps moving windows, hides and shows all windows with
// the main window, and forwards mouse-wheel turns to the panels.
//
// The main window's use: create the manager for itself, register each panel
// by its name, then restoreLayout(saved blob) (which falls back to the
// default arrangement) or defaultArrangement(); saveLayout() at exit;
// mainWindowMinimised()/mainWindowRestored() when its state changes;
// forwardWheel() for wheel turns it does not handle itself.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <map>
#include <memory>
#include <vector>

#include "ui/dock_model.h"
#include "ui/qt/app_event_router.h"

class QWheelEvent;
class QWidget;

namespace pg {

class TCustomDockView;
class TDockFloatForm;
class TDockViewManager;

class TDockFloatManager : public QObject, private IAppEventHandler {
  Q_OBJECT
 public:
  explicit TDockFloatManager(QWidget* mainWindow);
  // Frees every floating form; panels survive, hidden and without parent.
  ~TDockFloatManager() override;

  // ---- panels and forms
  // Registers a panel under its dock name; panels of one default group share a
  // pane in the default arrangement (-1: a form of its own); a corner panel's
  // form starts at the document area's top-left. False when the
  // name is taken or invalid, or too many panels exist.
  [[nodiscard]] bool registerPanel(TCustomDockView* view, int32_t defaultGroup = -1, bool defaultAtCorner = false);
  [[nodiscard]] TCustomDockView* panel(const QString& name) const;
  TCustomDockView* viewWidget(int32_t id) const;
  // Lists a form made by its owner (the tool window) first; it is kept when
  // empty and is not freed by the manager.
  [[nodiscard]] bool addFloatForm(TDockFloatForm* form);
  int count() const { return model_.formCount(); }
  TDockFloatForm* floatForm(int index) const;
  int indexOf(const TDockFloatForm* form) const;
  // Whether the window is one of the floating forms.
  bool ownsWindow(const QWidget* window) const;

  // ---- arrangement
  void defaultArrangement();
  QByteArray saveLayout() const;
  // Rebuilds a saved arrangement; false when the blob was unusable and the
  // default arrangement was built instead.
  [[nodiscard]] bool restoreLayout(const QByteArray& blob);

  // ---- main window
  void mainWindowMinimised() { hideAll(); }
  void mainWindowRestored();
  void hideAll();
  void showAll();
  void setHidden(bool hidden);
  bool hidden() const { return model_.hidden(); }
  // A wheel turn the main window got: to the panel under the pointer.
  [[nodiscard]] bool forwardWheel(QWheelEvent* event);
  // A wheel turn no control of a floating form took: offered to each shown
  // panel in list order, then to the active document window.
  [[nodiscard]] bool dispatchWheel(QWheelEvent* event);
  QWidget* mainActiveChild() const;
  // The main window's document area and the screens, in screen coordinates.
  QRect documentArea() const;
  QRect screenRect() const;
  // Moves every form that lies partly off the screens back onto them (after
  // a restore, and when a screen goes away or changes).
  void keepFormsOnScreen();

  // Snaps a window rectangle (screen coordinates) to the screens, the
  // document area and the other forms (skipping `form` when skipSelf).
  [[nodiscard]] bool snapRect(TRect& r, const TDockFloatForm* form, bool skipSelf) const;

  CDockModel& model() { return model_; }
  const CDockModel& model() const { return model_; }
  // Shows the model: creates, places, shows, hides and frees windows.
  void sync();

  // ---- used by the strips, forms and panels
  [[nodiscard]] bool locatePane(uint32_t paneId, int32_t& form, int32_t& pane) const;
  void beginDrag(int32_t view, const QPoint& pressGlobal, const QPoint& stripTopLeftGlobal);
  void dragMove(const QPoint& global);
  void endDrag(const QPoint& global);
  void cancelDrag();
  bool dragging() const { return dragView_ >= 0; }
  void resizeForm(TDockFloatForm* form, QRect bounds, bool movingLeft, bool movingTop);
  void toggleCollapsed(TDockFloatForm* form);
  void formMoved(TDockFloatForm* form);
  void viewChanged(TCustomDockView* view);
  void viewDestroyed(TCustomDockView* view);

 private:
  bool appEvent(QObject* watched, QEvent* event) override;
  bool appDeactivated() override { return true; }
  // The drop under a screen point: a form and a position, or the bounds of a
  // new float form when no form lies there.
  [[nodiscard]] bool dropAt(const QPoint& global, int32_t& form, int32_t& position, QRect& indicator, TRect& floatBounds) const;
  int32_t formIndexOf(const TDockFloatForm* form) const;

  QPointer<QWidget> main_;
  CDockModel model_;
  std::vector<QPointer<TCustomDockView>> views_;
  std::map<uint32_t, QPointer<TDockFloatForm>> forms_;
  std::map<uint32_t, QPointer<TDockViewManager>> strips_;
  QPointer<TDockFloatForm> pinned_;
  bool syncing_ = false;
  bool destroying_ = false;
  bool dispatching_ = false;
  int32_t dragView_ = -1;
  QPoint dragOffset_;
  std::unique_ptr<QWidget> indicator_;
};

}  // namespace pg
