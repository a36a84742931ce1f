#pragma once
// One tool button of the tool window: it shows the glyph of its button's
// remembered variant, is sunk while its tool is current and, when the tool
// has variants, carries a drop-down mark that opens the variant menu (so does
// a right click). A plain click asks the tool window to select the button.
// Under the pointer it shows the glyph's hovered look.
#include <QWidget>

#include "ui/memory_graphic.h"

class QMenu;

namespace pg {

class TToolButton : public QWidget {
  Q_OBJECT
 public:
  TToolButton(int index, QWidget* parent);

  int index() const { return index_; }
  void setGlyph(uint8_t glyph);
  uint8_t glyph() const { return glyph_; }
  void setDown(bool down);
  bool isDown() const { return down_; }
  // The variant menu (owned by the caller's widget tree); nullptr for none.
  void setVariantMenu(QMenu* menu) { menu_ = menu; }
  QMenu* variantMenu() const { return menu_; }
  bool variantMenuOpen() const;

 signals:
  // A click that opened no menu; alt while Alt was held.
  void clicked(int index, bool alt);
  void doubleClicked(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool onDropDownMark(const QPoint& pos) const;
  void openMenu();

  int index_;
  uint8_t glyph_ = 0;
  bool down_ = false;
  bool pressed_ = false;
  bool hovered_ = false;  // the pointer is over the button
  QMenu* menu_ = nullptr;
  TMemoryGraphic image_;
};

}  // namespace pg
