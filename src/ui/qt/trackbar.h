#pragma once
// The graphic controls that change a number with the mouse: TGraphicTrackbar
// (a slider in four shapes whose position is a ratio 0..1), TNumUpDown (two
// arrow buttons with a 100 ms auto-repeat), and the slider pop-up fields:
// TNumPopupButton opens a TTrackPopupForm under the pointer on a press, so
// that press, drag and release are one gesture; TNumLabelEditPopup is a
// value label with that button beside it.
#include <QTimer>
#include <QWidget>

#include <functional>

#include "ui/memory_graphic.h"
#include "ui/num_mngr.h"
#include "ui/qt/popup_base_form.h"
#include "ui/trackbar_logic.h"

namespace pg {

// (sender, position by reference): lets an owner change a ratio on its way
// into or out of a trackbar.
using TPositionFilterEvent = std::function<void(QObject*, float&)>;

class TGraphicTrackbar : public QWidget {
 public:
  explicit TGraphicTrackbar(QWidget* parent = nullptr);

  uint8_t orientation() const { return orientation_; }
  void setOrientation(uint8_t o);
  // The stored position passed through OnOutFilter.
  float getPosition() const;
  // Clamped, passed through OnInFilter; redraws and fires OnChange when it
  // changed.
  void setPosition(float p);
  float rawPosition() const { return position_; }
  void setCenterLine(bool on);
  bool dragging() const { return dragging_; }
  void setDragging(bool on) { dragging_ = on; }
  // Sets the position from a client point as a drag does.
  void dragTo(QPointF p);

  QWidget* FocusControl = nullptr;
  TPositionFilterEvent OnInFilter, OnOutFilter;
  std::function<void()> OnChange;

  // The face as last drawn (for tests and previews).
  const TMemoryGraphic& face();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void redraw();
  uint8_t orientation_ = gtHorizontal;
  float position_ = 0.0f;
  bool dragging_ = false;
  bool centerLine_ = false;
  TMemoryGraphic image_;
};

// An arrow button face: button face, a raised (or, pushed, sunken) bevel and
// a small triangle pointing up (0), down (1) or right (2), grey when inactive.
void paintArrowButton(TMemoryGraphic& g, const TRect& r, int direction, uint8_t state, bool flatWhenNormal = false);

class TNumUpDown : public QWidget, public INumListener {
 public:
  explicit TNumUpDown(QWidget* parent = nullptr);
  void numRefresh() override;
  SUpDownStates states() const { return states_; }
  // (button: 0 up, 1 down) on a click, and as the pointer enters or leaves
  // a button.
  std::function<void(int)> OnButton, OnMouseEnter, OnMouseLeave;
  // One tick of the auto-repeat: the timer calls it every 100 ms, large while
  // Shift is held at that moment.
  void repeatTick(bool large);
  bool repeating() const { return timer_.isActive(); }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void step(uint8_t which, bool large);
  void setHover(uint8_t h);
  QTimer timer_;
  SUpDownStates states_;
  uint8_t pressed_ = kUdNone;
  uint8_t hover_ = kUdNone;
};

class TTrackPopupForm : public TPopupBaseForm {
 public:
  explicit TTrackPopupForm(QWidget* parent = nullptr);
  TNumMngr* Model = nullptr;
  uint8_t Orientation = gtVertical;
  bool CenterLine = false;
  TGraphicTrackbar& trackbar() { return track_; }
  void popup(int x, int y, const QRect* anchor = nullptr) override;
  // While the press that opened the pop-up is still held, the pointer (in
  // screen coordinates) drags the thumb without a second press.
  void holdDragAt(QPoint global);

 private:
  TGraphicTrackbar track_;
};

class TNumPopupButton : public QWidget, public INumListener {
 public:
  explicit TNumPopupButton(QWidget* parent = nullptr);
  ~TNumPopupButton() override;
  void numRefresh() override;
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool on);
  virtual bool isOpen() const { return popup_ != nullptr; }
  TTrackPopupForm* popupForm() const { return popup_; }
  uint8_t state() const { return state_; }

  uint8_t Orientation = gtHorizontal;
  bool CenterLine = false;
  TPositionFilterEvent OnInFilter, OnOutFilter;
  std::function<void()> OnPopupOpen, OnPopupClose;
  // For tests: how long a held press must last to close on release.
  uint32_t HoldThresholdMs = kPopupHoldThresholdMs;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool usable() const { return isVisible() && isEnabled() && !readOnly_; }
  void openPopup(QPoint pressAt);
  virtual void paintFace(TMemoryGraphic& g);
  void updateState();

 private:
  void popupOpened();
  void popupClosed();
  TTrackPopupForm* popup_ = nullptr;
  float saved_ = 0.0f;
  uint8_t state_ = kBtnDisabled;
  bool hover_ = false;
  bool readOnly_ = false;
};

class TNumLabelEditPopup : public TNumPopupButton {
 public:
  explicit TNumLabelEditPopup(QWidget* parent = nullptr);
  ~TNumLabelEditPopup() override;
  void numRefresh() override;
  bool isOpen() const override;
  QString caption() const { return caption_; }
  QString formatString() const { return format_; }
  void setFormatString(const QString& f);
  int MaxLength = 16;
  std::function<void()> OnEditEnter, OnEditExit;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void paintFace(TMemoryGraphic& g) override;

 private:
  void endEdit();
  QString caption_ = QStringLiteral("0");
  QString format_ = QStringLiteral("%1.0f");
  float savedEdit_ = 0.0f;
  bool editing_ = false;
};

}  // namespace pg
