#pragma once
// The base of every borderless pop-up: opened at a screen point, it holds the
// application's event slots while open and closes itself with result 1 on
// Enter, Tab, Space, a click outside, a switch to another application or a
// late release after a press-and-hold opening, and with result 2 on Esc.
#include <QRect>

#include <functional>

#include "ui/popup_closer.h"
#include "ui/qt/app_event_router.h"
#include "ui/qt/base_forms.h"

namespace pg {

class TPopupBaseForm : public TBaseForm, public IAppEventHandler {
  Q_OBJECT
 public:
  explicit TPopupBaseForm(QWidget* parent = nullptr);
  ~TPopupBaseForm() override;

  // Opens with the top-left at (x, y) screen coordinates, kept on the screen
  // and clear of the anchor (the control that opened it) when one is given.
  // Nothing while already open.
  virtual void popup(int x, int y, const QRect* anchor = nullptr);
  virtual void closePopup();

  int32_t result() const { return result_; }
  void setResult(int32_t r) { result_ = r; }
  bool isOpen() const { return open_; }
  // Set before popup: the button that opened it counts as still held.
  bool pressAndHold() const { return closer_.pressAndHold(); }
  void setPressAndHold(bool on) { pressAndHold_ = on; }
  void setHoldThreshold(uint32_t ms) { closer_.setHoldThreshold(ms); }

  std::function<void(TPopupBaseForm*)> OnPopupOpen;
  std::function<void(TPopupBaseForm*)> OnPopupClose;

  bool appEvent(QObject* watched, QEvent* event) override;
  bool appDeactivated() override;

 protected:
  // Called by popup after the event slots are taken and before placing.
  virtual void popupOpened() {}
  virtual void doPopupOpen();
  virtual void doPopupClose();
  void paintEvent(QPaintEvent* event) override;

 private:
  void closeWith(int32_t r);

  CPopupCloser closer_;
  int32_t result_ = kPopupOpen;
  bool open_ = false;
  bool pressAndHold_ = false;
};

// Whether some form of the application is shown modally.
bool anyModalForm();

// The rectangle moved onto the screen at `cursor`; with an anchor it sits
// below the anchor, or above it when there is no room below.
QRect placePopupOnScreen(const QRect& wanted, const QPoint& cursor, const QRect* anchor);

}  // namespace pg
