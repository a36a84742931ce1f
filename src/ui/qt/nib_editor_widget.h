#pragma once
// TAspectRotation: the brush panel's nib editor. It shows the nib as an
// ellipse over a preview the owner draws, with handles for the maximum
// radius (or the nib image's scale), the minimum radius, and the flattening
// with the rotation; two number labels below take typed values, and two
// corner buttons switch the preview's display and ask for the nib list.
#include <QWidget>

#include <functional>

#include "ui/memory_graphic.h"
#include "ui/nib_editor.h"

namespace pg {

class TAspectRotation : public QWidget {
 public:
  explicit TAspectRotation(QWidget* parent = nullptr);
  ~TAspectRotation() override;

  void setValues(bool flagA, float valueB, float valueA, float rotation, float flattening, float minRadius,
                 float maxRadius);
  void setSample(bool inUse, int32_t width, int32_t height, float scalePercent);
  void setImageScale(float percent);
  void setRotation(float v);
  void setFlatteningAndRotation(float flattening, float rotation);
  float valueA() const { return state_.flattening(); }
  float valueB() const { return state_.rotation(); }
  const TNibEditorState& state() const { return state_; }
  TNibEditorState& state() { return state_; }

  void setOption1(bool handlesEnabled);
  void setOption2(bool rightButtonVisible);
  bool displayToggle() const { return state_.displayToggle; }
  void setDisplayToggle(bool on);
  float zoom() const { return zoom_; }
  void setZoom(float z);
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool on) { readOnly_ = on; }
  // While set, the nib-list button asks for nothing.
  bool ListBlocked = false;

  // The owner's preview picture, cleared before each OnPreview.
  TMemoryGraphic& preview() { return preview_; }
  // Asks the owner for the preview again: for what the editor's own values
  // do not hold (the falloff profile, the hard edge, the nib image).
  void redrawPreview();
  const TMemoryGraphic& face() const { return face_; }
  SNibEditorLayout layout() const { return layout_; }
  SNibGeometry geometry() const { return geometry_; }
  uint8_t partAt(QPoint p) const;
  bool isEditingLabel() const { return editing_ != npNone; }

  std::function<void()> OnChange;
  std::function<void(QPoint screen)> OnNibList;
  std::function<void()> OnPreview;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  bool interactive() const { return isVisible() && isEnabled() && !readOnly_; }
  void applied(bool fire);
  void firePreview();
  void modelChanged();
  void relayout();
  void render();
  void setHoverPart(uint8_t part);
  void openLabelEdit(uint8_t part);
  void endLabelEdit();

  TNibEditorState state_;
  TMemoryGraphic face_;
  TMemoryGraphic preview_;
  SNibEditorLayout layout_;
  SNibGeometry geometry_;
  QString flatSuffix_ = QStringLiteral("%");
  QString angleSuffix_ = QStringLiteral("d");
  float zoom_ = 1.0f;
  bool hovered_ = false;
  bool readOnly_ = false;
  uint8_t drag_ = npNone;
  uint8_t hint_ = npNone;
  uint8_t editing_ = npNone;
  float saved_ = 0.0f;
  QPoint last_;
  bool inModelChange_ = false;
};

}  // namespace pg
