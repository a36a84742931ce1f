#pragma once
// The falloff profile controls: TAirMapControl, a pad on which dragging sets
// the profile's two values, and TAirMapDropDown, the picker button that shows
// the chosen profile's curve and opens a pop-up of profile types (with the
// pad and two value fields in its full mode).
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

#include "ui/air_map.h"
#include "ui/memory_graphic.h"
#include "ui/num_mngr.h"
#include "ui/qt/item_pickers.h"

namespace pg {

class TPopupBaseForm;
class TNumLabelEdit;

class TAirMapControl : public QWidget {
 public:
  explicit TAirMapControl(QWidget* parent = nullptr);
  uint8_t kind() const { return kind_; }
  float valueA() const { return a_; }
  float valueB() const { return b_; }
  void setKind(uint8_t kind);
  void setValueA(float a);
  void setValueB(float b);
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool on) { readOnly_ = on; }
  const TMemoryGraphic& face() const { return face_; }
  std::function<void()> OnChange;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void store(uint8_t kind, float a, float b);
  void dragTo(QPoint p);
  void render();
  TMemoryGraphic face_;
  uint8_t kind_ = 0;
  float a_ = 0.0f, b_ = 0.0f;
  bool dragging_ = false;
  bool readOnly_ = false;
};

class TAirMapDropDown : public TItemPicker {
 public:
  explicit TAirMapDropDown(QWidget* parent = nullptr);
  ~TAirMapDropDown() override;
  uint8_t active() const { return mode_; }
  void setActive(uint8_t mode);
  uint8_t kind() const { return kind_; }
  void setKind(uint8_t kind);
  float valueA() const { return ValueA.value(); }
  float valueB() const { return ValueB.value(); }
  void setValueA(float v);
  void setValueB(float v);
  // The open pop-up, nullptr when closed; its parts for tests.
  TPopupBaseForm* popupForm() const { return popup_; }
  TItemPicker* typeButton(int i) const;
  TAirMapControl* pad() const { return pad_; }
  TNumLabelEdit* field(int i) const { return i == 0 ? fieldA_ : fieldB_; }

  TNumMngr ValueA, ValueB;  // 0..100

 protected:
  void drawContent() override;
  [[nodiscard]] bool dropDown(int32_t index) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  void watchValues(bool on);
  void changed();
  void popupClosed();
  void syncButtons();
  uint8_t mode_ = kAirMapOff;
  uint8_t kind_ = kAirMapNone;
  uint8_t savedKind_ = kAirMapNone;
  float savedA_ = 0.0f, savedB_ = 0.0f;
  bool reentry_ = false;
  TPopupBaseForm* popup_ = nullptr;
  std::array<TItemPicker*, 6> buttons_{};
  std::array<uint8_t, 6> types_{};
  int count_ = 0;
  TAirMapControl* pad_ = nullptr;
  TNumLabelEdit* fieldA_ = nullptr;
  TNumLabelEdit* fieldB_ = nullptr;
};

}  // namespace pg
