#include "filters/qt/light_panes.h"

#include <QMouseEvent>
#include <QPalette>

namespace pg {

namespace {

TPointF pointOf(const QMouseEvent* e) { return TPointF{float(e->position().x()), float(e->position().y())}; }

TUiColor backgroundOf(const QWidget& w) {
  const QColor c = w.palette().color(QPalette::Window);
  return 0xFF000000u | uint32_t(c.red()) << 16 | uint32_t(c.green()) << 8 | uint32_t(c.blue());
}

}  // namespace

TLightPreview::TLightPreview(QWidget* parent) : TGraphicWidget(parent) {
  setFixedSize(CLightPreviewModel::kPane, CLightPreviewModel::kPane);
  setGraphic(&face_);
}

void TLightPreview::show(const SLampView& view, const SFltLightingHeader& header, const SLight4& light) {
  view_ = view;
  litValid_ = model_.relight(header, light, lit_);
  redraw();
}

void TLightPreview::redraw() {
  (void)model_.paint(face_, litValid_ ? &lit_ : nullptr, view_, backgroundOf(*this));
  update();
}

void TLightPreview::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  drag_ = model_.press(view_, pointOf(e));
  mouseMoveEvent(e);
}

void TLightPreview::mouseMoveEvent(QMouseEvent* e) {
  if (drag_ == ELampDrag::None) return;
  model_.drag(drag_, view_, pointOf(e));
  redraw();
  if (OnChange) OnChange(view_);
}

void TLightPreview::mouseReleaseEvent(QMouseEvent*) { drag_ = ELampDrag::None; }

TLightControl::TLightControl(QWidget* parent) : TGraphicWidget(parent) {
  setFixedSize(CLightSideModel::kWidth, CLightSideModel::kHeight);
  setGraphic(&face_);
}

void TLightControl::show(const SLampView& view, const SLight4& light) {
  view_ = view;
  light_ = light;
  redraw();
}

void TLightControl::redraw() {
  (void)model_.paint(face_, view_, light_, backgroundOf(*this));
  update();
}

void TLightControl::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  drag_ = model_.press(view_, pointOf(e));
  mouseMoveEvent(e);
}

void TLightControl::mouseMoveEvent(QMouseEvent* e) {
  if (drag_ == ELampDrag::None) return;
  model_.drag(drag_, view_, pointOf(e));
  redraw();
  if (OnChange) OnChange(view_);
}

void TLightControl::mouseReleaseEvent(QMouseEvent*) { drag_ = ELampDrag::None; }

}  // namespace pg
