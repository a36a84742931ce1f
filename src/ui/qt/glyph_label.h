#pragma once
// TPgGlyphLabel: a label that shows one tool glyph, centred, and doubles as a
// drag handle: dragging it with the left button reports a value that changes
// by 1.0 for every 100 pixels along its drag axis (vertical unless set: down
// increases it; horizontal: right increases it), through OnBeginDrag (the
// owner supplies the start value) and OnDrag. A disabled label shows the
// disabled look; a read-only one ignores the mouse.
#include <QWidget>

#include <functional>

#include "ui/glyph_drag.h"
#include "ui/glyph_types.h"
#include "ui/memory_graphic.h"

namespace pg {

class TPgGlyphLabel : public QWidget {
 public:
  using TBeginDrag = std::function<void(TPgGlyphLabel* sender, float& startValue)>;
  using TDrag = std::function<void(TPgGlyphLabel* sender, float value)>;
  using TDblClick = std::function<void(TPgGlyphLabel* sender)>;
  using TEndDrag = std::function<void(TPgGlyphLabel* sender)>;

  explicit TPgGlyphLabel(QWidget* parent = nullptr);

  uint8_t GlyphType() const { return glyphType_; }
  void setGlyphType(uint8_t type);
  bool ReadOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly);
  // The image shown now (from the process-wide glyph manager); nullptr
  // without a manager.
  const TMemoryGraphic* image() const { return image_; }
  bool dragging() const { return drag_.dragging(); }
  void setDragAxis(Qt::Orientation axis) { dragAxis_ = axis; }

  TBeginDrag OnBeginDrag;
  TDrag OnDrag;
  // After the last OnDrag of a drag, when the button goes up.
  TEndDrag OnEndDrag;
  TDblClick OnDblClick;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void pickImage();
  // The pointer's coordinate along the drag axis.
  int32_t along(const QMouseEvent* event) const;

  uint8_t glyphType_ = 0;
  const TMemoryGraphic* image_ = nullptr;
  TGlyphDrag drag_;
  bool inDoubleClick_ = false;
  bool readOnly_ = false;
  Qt::Orientation dragAxis_ = Qt::Vertical;
};

}  // namespace pg
