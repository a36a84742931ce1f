#pragma once
// The item picker family: TItemPicker, a button face with an optional
// drop-down arrow part, grouped like radio buttons by a group index, whose
// content the owner (or a subclass) draws; TItemButton; TPgGlyphButton (a
// tool glyph with a pop-up menu); TBlendModeDropDwon
// (the name of a blend mode, a menu of the 22) and TSubPaintDropDown (the
// glyph of a shape sub-mode, a menu of the six).
#include <QWidget>

#include <functional>

#include "ui/item_picker.h"
#include "ui/memory_graphic.h"

class QMenu;

namespace pg {

class TItemPicker : public QWidget {
 public:
  explicit TItemPicker(QWidget* parent = nullptr);
  uint8_t style() const { return style_; }
  void setStyle(uint8_t style);
  bool roundedFrame() const { return rounded_; }
  void setRoundedFrame(bool on);
  bool insetFrame() const { return inset_; }
  void setInsetFrame(bool on);
  bool allowAllUp() const { return allowAllUp_; }
  // Copied to every picker of the same group among the siblings.
  void setAllowAllUp(bool on);
  void setGroupIndex(int32_t g);
  bool isDown() const { return group_ != 0 && down_; }
  void setDown(bool down);
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool on);
  bool dropped() const { return dropped_; }
  uint8_t hoverBits() const { return hover_; }
  const SPickerLayout& layout() const { return layout_; }
  const TMemoryGraphic& face() const { return face_; }

  std::function<void(TMemoryGraphic&)> OnDraw;
  std::function<void()> OnClick, OnChange;

 protected:
  // Opens the list; answers whether it stays dropped.
  virtual bool dropDown(int32_t /*index*/) { return false; }
  virtual int32_t currentIndex() const { return -1; }
  // Clears the content to the main face colour and lets the owner draw.
  virtual void drawContent();
  // Redraws everything.
  void redraw();
  void updateHover();
  const SPickerColors& colors() const { return colors_; }
  TMemoryGraphic& content() { return content_; }

  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  bool interactive() const { return isVisible() && isEnabled() && !readOnly_; }
  void setHover(uint8_t bits);
  void paintFace();
  TMemoryGraphic face_;
  TMemoryGraphic content_;
  SPickerLayout layout_;
  SPickerColors colors_{};
  uint8_t style_ = kPickerPlain;
  bool rounded_ = false;
  bool allowAllUp_ = false;
  int32_t group_ = 0;
  bool down_ = false;
  bool changeLock_ = false;
  bool inset_ = false;
  bool dropped_ = false;
  uint8_t hover_ = 0;
  bool readOnly_ = false;
};

class TItemButton : public TItemPicker {
 public:
  using TItemPicker::TItemPicker;
};

// A tool glyph (normal, hovered or disabled) on a rounded button whose
// drop-down part shows its pop-up menu below it.
class TPgGlyphButton : public TItemPicker {
 public:
  explicit TPgGlyphButton(QWidget* parent = nullptr);
  void setGlyphType(uint32_t type);
  QMenu* PopupMenu = nullptr;
  // Runs before the menu shows (the owner may set its checks).
  std::function<void()> OnContextPopup;
  // Shows the menu at a screen point; tests replace it.
  std::function<void(QMenu&, QPoint)> RunPopup;

 protected:
  void drawContent() override;
  [[nodiscard]] bool dropDown(int32_t index) override;

 private:
  uint32_t glyph_ = 0;
};

class TBlendModeDropDwon : public TItemPicker {
 public:
  explicit TBlendModeDropDwon(QWidget* parent = nullptr);
  uint32_t blendMode() const { return mode_; }
  void setBlendMode(uint32_t mode);
  // Runs a menu and answers the chosen command id (or 0); tests replace it.
  std::function<int(QMenu&, QPoint)> RunMenu;

 protected:
  void drawContent() override;
  [[nodiscard]] bool dropDown(int32_t index) override;
  int32_t currentIndex() const override { return static_cast<int32_t>(mode_); }

 private:
  uint32_t mode_ = 0;
};

class TSubPaintDropDown : public TItemPicker {
 public:
  explicit TSubPaintDropDown(QWidget* parent = nullptr);
  uint32_t kind() const { return kind_; }
  void setKind(uint32_t kind);
  std::function<int(QMenu&, QPoint)> RunMenu;

 protected:
  void drawContent() override;
  [[nodiscard]] bool dropDown(int32_t index) override;
  int32_t currentIndex() const override { return static_cast<int32_t>(kind_); }

 private:
  uint32_t kind_ = 0;
};

}  // namespace pg
