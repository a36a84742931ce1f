#include "filters/qt/light_panes.h"

#include <QMouseEvent>
#include <QPalette>

namespace pg {

TLampPane::TLampPane(QWidget* parent, int32_t width, int32_t height) : TGraphicWidget(parent) {
  setFixedSize(width, height);
  setGraphic(&face_);
}

TUiColor TLampPane::background() const {
  const QColor c = palette().color(QPalette::Window);
  return 0xFF000000u | uint32_t(c.red()) << 16 | uint32_t(c.green()) << 8 | uint32_t(c.blue());
}

void TLampPane::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  drag_ = pressAt(TPointF{float(e->position().x()), float(e->position().y())});
  mouseMoveEvent(e);
}

void TLampPane::mouseMoveEvent(QMouseEvent* e) {
  if (drag_ == ELampDrag::None) return;
  dragTo(drag_, TPointF{float(e->position().x()), float(e->position().y())});
  redraw();
  if (OnChange) OnChange(view_);
}

void TLampPane::mouseReleaseEvent(QMouseEvent*) { drag_ = ELampDrag::None; }

TLightPreview::TLightPreview(QWidget* parent)
    : TLampPane(parent, CLightPreviewModel::kPane, CLightPreviewModel::kPane) {}

void TLightPreview::show(const SLampView& view, const SFltLightingHeader& header, const SLight4& light) {
  view_ = view;
  litValid_ = model_.relight(header, light, lit_);
  redraw();
}

void TLightPreview::redraw() {
  // A face that cannot be sized stays blank.
  (void)model_.paint(face_, litValid_ ? &lit_ : nullptr, view_, background());
  update();
}

TLightControl::TLightControl(QWidget* parent)
    : TLampPane(parent, CLightSideModel::kWidth, CLightSideModel::kHeight) {}

void TLightControl::show(const SLampView& view, const SLight4& light) {
  view_ = view;
  light_ = light;
  redraw();
}

void TLightControl::redraw() {
  (void)model_.paint(face_, view_, light_, background());  // as above
  update();
}

}  // namespace pg
