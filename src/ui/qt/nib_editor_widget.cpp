#include "ui/qt/nib_editor_widget.h"

#include <QFontMetrics>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

#include "core/assign_changed.h"
#include "platform/res_ids.h"
#include "ui/appearance_manager.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/res_text.h"
#include "ui/ui_colour.h"

namespace pg {

namespace {

uint32_t hintIdOf(uint8_t part) {
  switch (part) {
    case npPreview: return kResHintNibReset;
    case npMaxRadius: return kResHintNibMaxRadius;
    case npImageScale: return kResHintNibImageScale;
    case npMinRadius: return kResHintNibMinRadius;
    case npShape: return kResHintNibFlatAngle;
    case npNibList: return kResHintNibList;
    case npDisplay: return kResHintNibDisplay;
    case npFlatLabel: return kResHintNibFlattening;
    case npAngleLabel: return kResHintNibAngle;
    default: return 0;
  }
}

// "title|text" as two lines (an empty title gives the text alone).
QString hintText(uint8_t part) {
  const uint32_t id = hintIdOf(part);
  if (id == 0) return {};
  QString s = resText(id);
  const int bar = s.indexOf('|');
  if (bar < 0) return s;
  const QString title = s.left(bar);
  return title.isEmpty() ? s.mid(bar + 1) : title + '\n' + s.mid(bar + 1);
}

QRect qrect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

TPointF shifted(TPointF p) { return {p.X + 2.0f, p.Y + 2.0f}; }

}  // namespace

TAspectRotation::TAspectRotation(QWidget* parent)
    : QWidget(parent),
      face_(kNibEditorWidth, kNibEditorHeight, uiSysColors().btnFace),
      preview_(1, 1, uiOpaqueWhite) {
  setMouseTracking(true);
  state_.Flattening.onChange = [this](TNumMngr&) { modelChanged(); };
  state_.Rotation.onChange = [this](TNumMngr&) { modelChanged(); };
  resize(kNibEditorWidth, kNibEditorHeight);
  relayout();
}

TAspectRotation::~TAspectRotation() {
  state_.Flattening.onChange = nullptr;
  state_.Rotation.onChange = nullptr;
  if (editing_ != npNone) {
    TCaptureNumEdit& ed = sharedCaptureNumEdit();
    ed.capture.OnExit = nullptr;
    ed.capture.endCapture();
    ed.setAssociate(nullptr);
    parkCaptureEdit(ed);
  }
}

// ---- values --------------------------------------------------------------------------

void TAspectRotation::applied(bool fire) {
  geometry_ = nibGeometry(face_.width(), face_.height(), state_.flattening(), state_.rotation());
  if (fire) {
    if (OnChange) OnChange();
    firePreview();
  }
  render();
}

void TAspectRotation::firePreview() {
  preview_.clear();
  if (OnPreview) OnPreview();
}

void TAspectRotation::redrawPreview() {
  firePreview();
  render();
}

void TAspectRotation::modelChanged() {
  if (inModelChange_) return;
  inModelChange_ = true;
  // The rotation model keeps 180 where every other path stores -180.
  const float r = nibNormalizeRotation(state_.rotation());
  if (r != state_.rotation()) state_.Rotation.setValue(r);
  inModelChange_ = false;
  applied(true);
}

void TAspectRotation::setValues(bool flagA, float valueB, float valueA, float rotation, float flattening,
                                float minRadius, float maxRadius) {
  inModelChange_ = true;
  const bool fire = state_.setValues(flagA, valueB, valueA, rotation, flattening, minRadius, maxRadius);
  inModelChange_ = false;
  applied(fire);
}

void TAspectRotation::setSample(bool inUse, int32_t width, int32_t height, float scalePercent) {
  state_.setSample(inUse, width, height, scalePercent);
  if (OnChange) OnChange();
  render();
}

void TAspectRotation::setImageScale(float percent) {
  if (!state_.setImageScale(percent)) return;
  if (OnChange) OnChange();
  firePreview();
  render();
}

void TAspectRotation::setRotation(float v) {
  setValues(state_.flagA(), state_.valueB(), state_.valueA(), v, state_.flattening(), state_.minRadius(),
            state_.maxRadius());
}

void TAspectRotation::setFlatteningAndRotation(float flattening, float rotation) {
  setValues(state_.flagA(), state_.valueB(), state_.valueA(), rotation, flattening, state_.minRadius(),
            state_.maxRadius());
}

void TAspectRotation::setOption1(bool on) {
  if (state_.handlesEnabled == on) return;
  state_.handlesEnabled = on;
  render();
}

void TAspectRotation::setOption2(bool on) {
  if (state_.rightButtonVisible == on) return;
  state_.rightButtonVisible = on;
  render();
}

void TAspectRotation::setDisplayToggle(bool on) {
  if (state_.displayToggle == on) return;
  state_.displayToggle = on;
  firePreview();
  render();
}

void TAspectRotation::setZoom(float z) {
  if (z == zoom_ || !std::isfinite(z)) return;
  zoom_ = z;
  firePreview();
  render();
}

// ---- layout and face -------------------------------------------------------------------

void TAspectRotation::relayout() {
  const int32_t w = std::max(width(), 20);
  const int32_t h = std::max(height(), 30);
  face_.setBackground(uiSysColors().btnFace);
  if (!face_.setSize(w, h)) return;
  preview_.setBackground(uiOpaqueWhite);
  if (!preview_.setSize(std::max(w - 4, 1), std::max(h - 19, 1))) return;
  const QFontMetrics fm(font());
  const int32_t flatSuffix = fm.horizontalAdvance(flatSuffix_);
  const int32_t angleSuffix = fm.horizontalAdvance(angleSuffix_);
  layout_ = nibEditorLayout(w, h, fm.horizontalAdvance(QStringLiteral("999")) + flatSuffix,
                            fm.horizontalAdvance(QStringLiteral("-999")) + angleSuffix, std::min(fm.height(), 14),
                            flatSuffix);
  geometry_ = nibGeometry(w, h, state_.flattening(), state_.rotation());
  firePreview();
  render();
}

void TAspectRotation::render() {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = face_.width(), h = face_.height();
  if (w < 1) return;
  const TChannelOp cp = copyChannel;
  face_.clear();
  face_.frameRect({0, 0, w, h}, 1, c.grayText, cp, cp);
  face_.fillRect({1, 1, w - 1, h - 1}, c.window, cp, cp);
  face_.fillRect({1, h - 15, w - 1, h - 1}, c.btnFace, cp, cp);
  const TUiColor text = state_.handlesEnabled ? c.windowText : c.grayText;
  const struct {
    TRect r;
    float v;
    const QString& suffix;
  } labels[] = {{layout_.flatLabel, state_.flattening(), flatSuffix_},
                {layout_.angleLabel, state_.rotation(), angleSuffix_}};
  for (const auto& l : labels) {
    TRect r = l.r;
    r.Right = std::min(r.Right, w - 1);
    r.Bottom = std::min(r.Bottom, h - 1);
    TMemoryGraphic strip(std::max(r.Right - r.Left, 1), std::max(r.Bottom - r.Top, 1), c.btnFace);
    TRect sr{0, 0, strip.width(), strip.height()};
    // A label that cannot be drawn leaves the strip blank.
    (void)drawText(strip, QString::asprintf("%1.0f", static_cast<double>(l.v)) + l.suffix, sr, font(), text,
                   dtRight | dtVCenter | dtSingleLine);
    face_.copyPixels(r.Left, r.Top, strip.width(), strip.height(), strip.pixels(), 0, 0, strip.width(),
                     strip.height());
  }
  if (preview_.isValid())
    face_.blendFrom(2, 2, preview_.width(), preview_.height(), preview_, 0, 0, lerpChannel, keepChannel);
  if (hovered_ || drag_ != npNone) {
    std::array<TPointF, kNibEllipsePoints> pts{};
    for (size_t i = 0; i < pts.size(); ++i) pts[i] = shifted(geometry_.outer[i]);
    const TUiColor outline = (c.highlight & 0x00FFFFFFu) | 0x80000000u;
    face_.drawPolylineAA(pts.data(), pts.size(), outline, lerpChannel, keepChannel);
    face_.drawLineAA(shifted(geometry_.inner), pts[0], outline, lerpChannel, keepChannel);
    auto handle = [&](TPointF p) {
      face_.fillDiscF(p, c.highlight, 2.25f, lerpChannel, keepChannel);
      face_.fillDiscF(p, c.highlightText, 1.25f, lerpChannel, keepChannel);
    };
    handle(pts[0]);
    handle(shifted(geometry_.inner));
    if (state_.handlesEnabled) handle(pts[8]);
  }
  if (const TAppearanceManager* am = appearanceManager()) {
    auto glyph = [&](const TRect& r, uint8_t kind, uint8_t st) {
      const TMemoryGraphic& g = am->glyph(kind, st);
      if (g.isValid()) face_.blendFrom(r.Left, r.Top, g.width(), g.height(), g, 0, 0, lerpChannel, keepChannel);
    };
    if (state_.rightButtonVisible) glyph(layout_.rightButton, dgTriangleDown, state_.rightButtonState());
    glyph(layout_.leftButton, dgLeftRight, state_.leftButtonState());
  }
  update();
}

void TAspectRotation::paintEvent(QPaintEvent*) { blitFace(*this, face_); }

void TAspectRotation::resizeEvent(QResizeEvent*) { relayout(); }

void TAspectRotation::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange || e->type() == QEvent::FontChange) relayout();
  QWidget::changeEvent(e);
}

// ---- pointer -----------------------------------------------------------------------

uint8_t TAspectRotation::partAt(QPoint p) const {
  if (!isEnabled()) return npNone;
  return state_.hitPart(layout_, geometry_, p.x(), p.y());
}

void TAspectRotation::setHoverPart(uint8_t part) {
  const bool right = part == npNibList, left = part == npDisplay;
  const bool redraw = right != state_.hoveredRight || left != state_.hoveredLeft;
  state_.hoveredRight = right;
  state_.hoveredLeft = left;
  if (part != hint_) {
    hint_ = part;
    setToolTip(hintText(part));
  }
  const uint8_t shown = drag_ != npNone ? drag_ : part;
  if (shown == npMaxRadius || shown == npImageScale || shown == npMinRadius || shown == npShape)
    setCursor(Qt::PointingHandCursor);
  else if (shown == npFlatLabel || shown == npAngleLabel)
    setCursor(Qt::IBeamCursor);
  else
    unsetCursor();
  if (redraw) render();
}

void TAspectRotation::enterEvent(QEnterEvent* e) {
  hovered_ = true;
  setHoverPart(partAt(e->position().toPoint()));
  render();
}

void TAspectRotation::leaveEvent(QEvent*) {
  hovered_ = false;
  setHoverPart(drag_);
  render();
}

void TAspectRotation::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !interactive()) return;
  const QPoint p = e->position().toPoint();
  const uint8_t part = partAt(p);
  last_ = p;
  switch (part) {
    case npMaxRadius:
    case npImageScale:
    case npMinRadius:
    case npShape:
      drag_ = part;
      render();
      break;
    case npNibList:
      if (!ListBlocked && OnNibList) OnNibList(mapToGlobal(QPoint(0, height() - 16)));
      break;
    case npDisplay:
      setDisplayToggle(!state_.displayToggle);
      break;
    case npFlatLabel:
    case npAngleLabel:
      openLabelEdit(part);
      break;
    default:
      break;
  }
}

void TAspectRotation::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (drag_ != npNone && interactive()) {
    const Qt::KeyboardModifiers m = e->modifiers();
    const float px = static_cast<float>(p.x() - 2) - geometry_.centre.X;
    const float py = static_cast<float>(p.y() - 2) - geometry_.centre.Y;
    const bool fire = state_.dragStep(drag_, p.x() - last_.x(), px, py, geometry_.radius, m & Qt::ShiftModifier,
                                      m & Qt::ControlModifier, m & Qt::AltModifier);
    last_ = p;
    if (drag_ == npImageScale) {
      if (fire) {
        if (OnChange) OnChange();
        firePreview();
        render();
      }
    } else {
      applied(fire);
    }
  }
  setHoverPart(interactive() ? partAt(p) : uint8_t{npNone});
}

void TAspectRotation::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || drag_ == npNone) return;
  drag_ = npNone;
  setHoverPart(partAt(e->position().toPoint()));
  render();
}

void TAspectRotation::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || readOnly_ || !isEnabled()) return;
  if (partAt(e->position().toPoint()) == npPreview) setFlatteningAndRotation(0.0f, 0.0f);
}

// ---- the labels' in-place edit -------------------------------------------------------------

void TAspectRotation::openLabelEdit(uint8_t part) {
  TCaptureNumEdit& ed = sharedCaptureNumEdit();
  if (ed.capture.capturing() || editing_ != npNone) return;
  TNumMngr& model = part == npFlatLabel ? state_.Flattening : state_.Rotation;
  saved_ = model.value();
  editing_ = part;
  ed.setFormatString(QStringLiteral("%1.0f"));
  ed.setFrame(false);
  ed.setAssociate(&model);
  ed.setText(QString::asprintf("%1.0f", static_cast<double>(model.value())));
  ed.capture.OnExit = [this] { endLabelEdit(); };
  showCaptureEditOver(ed, *this, qrect(part == npFlatLabel ? layout_.flatLabel : layout_.angleLabel));
  ed.capture.beginCapture();
}

void TAspectRotation::endLabelEdit() {
  TCaptureNumEdit& ed = sharedCaptureNumEdit();
  ed.capture.OnExit = nullptr;
  TNumMngr& model = editing_ == npFlatLabel ? state_.Flattening : state_.Rotation;
  if (ed.capture.result() == kCaptureAccept)
    // Text that is no number leaves the value as it was.
    (void)valueFromText(model, ed.text().toStdString(), uiDecimalSep());
  else
    model.setValue(saved_);
  editing_ = npNone;
  ed.setFrame(true);
  parkCaptureEdit(ed);
  ed.setAssociate(nullptr);
  render();
}

}  // namespace pg
