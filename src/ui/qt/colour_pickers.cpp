#include "ui/qt/colour_pickers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

#include "core/assign_changed.h"
#include "ui/appearance_manager.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/res_text.h"
#include "ui/twin_cell.h"

namespace pg {

namespace {

constexpr float kPiF = 3.14159265358979323846f;

const TMemoryGraphic* markerGraphic(uint8_t index) {
  const TAppearanceManager* am = appearanceManager();
  return am ? &am->frameGraphic(index) : nullptr;
}


}  // namespace

// ---- TCustomColorPicker ------------------------------------------------------------

TCustomColorPicker::TCustomColorPicker(QWidget* parent)
    : QWidget(parent), manager_(std::make_unique<TColorManager>()), background_(1, 1, uiSysColors().btnFace) {}

TCustomColorPicker::~TCustomColorPicker() = default;

void TCustomColorPicker::setColorSpace(uint8_t space) {
  if (space >= kColorSpaceCount || space == space_ || !(supportedSpaces() & (1u << space))) return;
  SColorRec r = manager_->rec();
  r.Space = space;
  manager_->setColorRec(r);
  space_ = space;
  rebuild();
}

void TCustomColorPicker::setFollowColor(bool on) {
  follow_ = on;
  rebuild();
}

void TCustomColorPicker::setColorRec(const SColorRec& r) {
  const int diff = compareColorRec(r, manager_->rec());
  if (diff == 0) return;
  manager_->setColorRec(r);
  if (diff == 2) rebuild();
  fireChange();
}

void TCustomColorPicker::fireChange() {
  if (OnChange) OnChange();
}

void TCustomColorPicker::rebuild() {
  updateImage();
  compose();
  update();
}

const TMemoryGraphic& TCustomColorPicker::face() {
  rebuild();
  return face_;
}

void TCustomColorPicker::paintEvent(QPaintEvent*) {
  if (face_.width() != width() || face_.height() != height()) rebuild();
  blitFace(*this, face_);
}

void TCustomColorPicker::resizeEvent(QResizeEvent*) { rebuild(); }

bool isColorPicker(const QWidget* w) { return dynamic_cast<const TCustomColorPicker*>(w) != nullptr; }

bool replaceColorPicker(TCustomColorPicker*& picker, int kind, uint8_t space) {
  if (!picker || kind < 0 || kind > 1) return false;
  const bool isSlider = dynamic_cast<TSliderColorPicker*>(picker) != nullptr;
  if (isSlider == (kind == 1)) return true;
  TCustomColorPicker* old = picker;
  QWidget* parent = old->parentWidget();
  TCustomColorPicker* fresh =
      kind == 1 ? static_cast<TCustomColorPicker*>(new TSliderColorPicker(parent)) : new TColorPicker(parent);
  old->hide();
  fresh->hide();
  if (parent && parent->layout()) delete parent->layout()->replaceWidget(old, fresh);
  // The new picker takes the old one's colour; its own manager goes.
  fresh->manager_ = std::move(old->manager_);
  old->manager_ = std::make_unique<TColorManager>();
  SColorRec r = fresh->manager_->rec();
  r.Space = fresh->space_;
  fresh->manager_->setColorRec(r);
  fresh->setColorSpace(space);
  fresh->follow_ = old->follow_;
  fresh->setGeometry(old->geometry());
  fresh->setSizePolicy(old->sizePolicy());
  fresh->setContextMenuPolicy(old->contextMenuPolicy());
  fresh->OnChange = std::move(old->OnChange);
  old->OnChange = nullptr;
  delete old;
  picker = fresh;
  fresh->rebuild();
  fresh->show();
  return true;
}

// ---- TColorPicker ------------------------------------------------------------------

TColorPicker::TColorPicker(QWidget* parent) : TCustomColorPicker(parent) {
  space_ = cpHSV;
  resize(170, 152);
}

SAreaPickerLayout TColorPicker::layout() const {
  const TMemoryGraphic* marker = markerGraphic(0);
  return areaPickerLayout(width(), height(), marker && marker->isValid() ? marker->width() : 11);
}

void TColorPicker::updateImage() { paintAreaPicker(background_, layout(), space_, manager_->rec(), follow_); }

void TColorPicker::compose() {
  const SAreaPickerLayout l = layout();
  if (!face_.renew(std::max(width(), 1), std::max(height(), 1), uiSysColors().btnFace)) return;
  face_.copyPixels(l.originX, l.originY, background_.width(), background_.height(), background_.pixels(), 0, 0,
                   background_.width(), background_.height());
  if (const TMemoryGraphic* m = markerGraphic(0); m && m->isValid()) {
    for (const TPoint p : {areaMarkerAt(l, space_, manager_->rec()), sliderMarkerAt(l, space_, manager_->rec())})
      face_.blendFrom(l.originX + p.X, l.originY + p.Y, m->width(), m->height(), *m, 0, 0, lerpChannel, keepChannel);
  }
}

void TColorPicker::dragAt(QPoint p) {
  const SAreaPickerLayout l = layout();
  const int32_t x = p.x() - l.originX;
  const int32_t y = p.y() - l.originY;
  const SColorRec& c = manager_->rec();
  const auto ch = drag_ == 1 ? areaPickAt(l, space_, c, x, y) : sliderPickAt(l, space_, c, y);
  manager_->setChannels(space_, ch[0], ch[1], ch[2]);
  fireChange();
  rebuild();
}

void TColorPicker::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const SAreaPickerLayout l = layout();
  const QPoint p = e->position().toPoint() - QPoint(l.originX, l.originY);
  auto inside = [&](const TRect& r) { return p.x() >= r.Left && p.x() < r.Right && p.y() >= r.Top && p.y() < r.Bottom; };
  drag_ = inside(l.area) ? 1 : inside(l.slider) ? 2 : 0;
  if (drag_) dragAt(e->position().toPoint());
}

void TColorPicker::mouseMoveEvent(QMouseEvent* e) {
  if (drag_ && (e->buttons() & Qt::LeftButton)) dragAt(e->position().toPoint());
}

void TColorPicker::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) drag_ = 0;
}

// ---- TSliderColorPicker ------------------------------------------------------------

TSliderColorPicker::TSliderColorPicker(QWidget* parent) : TCustomColorPicker(parent) {
  space_ = cpRGB;
  resize(170, 100);
}

SSliderPickerLayout TSliderColorPicker::layout() const {
  const TMemoryGraphic* marker = markerGraphic(3);
  const bool ok = marker && marker->isValid();
  return sliderPickerLayout(width(), height(), ok ? marker->width() : 9, ok ? marker->height() : 7);
}

void TSliderColorPicker::updateImage() { paintSliderPicker(background_, layout(), space_, manager_->rec(), follow_); }

void TSliderColorPicker::compose() {
  const SSliderPickerLayout l = layout();
  if (!face_.renew(std::max(width(), 1), std::max(height(), 1), uiSysColors().btnFace)) return;
  face_.copyPixels(l.originX, l.originY, background_.width(), background_.height(), background_.pixels(), 0, 0,
                   background_.width(), background_.height());
  if (const TMemoryGraphic* m = markerGraphic(3); m && m->isValid()) {
    for (int32_t k = 0; k < 3; ++k) {
      const TPoint p = sliderPickerMarkerAt(l, space_, manager_->rec(), k);
      face_.blendFrom(l.originX + p.X, l.originY + p.Y, m->width(), m->height(), *m, 0, 0, lerpChannel, keepChannel);
    }
  }
}

void TSliderColorPicker::dragAt(QPoint p) {
  const SSliderPickerLayout l = layout();
  const int32_t x = p.x() - l.originX;
  const int32_t y = p.y() - l.originY;
  if (drag_ == 3) {
    const TUiColor c = spectrumColourAt(l, background_, x, y);
    const float k = 1.0f / 255.0f;
    manager_->setRGB(static_cast<float>((c >> 16) & 0xFF) * k, static_cast<float>((c >> 8) & 0xFF) * k,
                     static_cast<float>(c & 0xFF) * k);
  } else {
    const auto ch = sliderChannelAt(l, space_, manager_->rec(), drag_, x);
    manager_->setChannels(space_, ch[0], ch[1], ch[2]);
  }
  fireChange();
  rebuild();
}

void TSliderColorPicker::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const SSliderPickerLayout l = layout();
  const QPoint p = e->position().toPoint();
  drag_ = sliderPickerPartAt(l, p.x() - l.originX, p.y() - l.originY);
  if (drag_ >= 0) dragAt(p);
}

void TSliderColorPicker::mouseMoveEvent(QMouseEvent* e) {
  if (drag_ >= 0 && (e->buttons() & Qt::LeftButton)) dragAt(e->position().toPoint());
}

void TSliderColorPicker::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) drag_ = -1;
}

// ---- TPickerColorCell ------------------------------------------------------------------

TPickerColorCell::TPickerColorCell(QWidget* parent) : QWidget(parent) { resize(40, 40); }

void TPickerColorCell::setColorRec(const SColorRec& r) {
  if (compareColorRec(r, manager_.rec()) == 0) return;
  manager_.setColorRec(r);
  if (OnChange) OnChange();
  redraw();
}

void TPickerColorCell::setInitialColorRec(const SColorRec& r) {
  if (compareColorRec(r, initial_.rec()) == 0) return;
  initial_.setColorRec(r);
  redraw();
}

void TPickerColorCell::setDrawInitialColor(bool on) {
  if (assignIfChanged(drawInitial_, on)) redraw();
}

void TPickerColorCell::redraw() {
  const TUiSysColors& c = uiSysColors();
  const int32_t w = std::max(width(), 6);
  const int32_t h = std::max(height(), 6);
  if (!image_.renew(w, h, c.btnFace)) return;
  image_.frameBevel({0, 0, w, h}, 1, c.btnHighlight, c.btnShadow, copyChannel, copyChannel);
  image_.frameRect({1, 1, w - 1, h - 1}, 1, c.windowFrame, copyChannel, copyChannel);
  const TRect inner{2, 2, w - 2, h - 2};
  image_.fillRect(inner, colorRecToRgba(manager_.rec(), 255), copyChannel, copyChannel);
  if (drawInitial_) {
    const int32_t upper = (inner.Bottom - inner.Top) - (h - 4) / 2;
    image_.fillRect({inner.Left, inner.Top, inner.Right, inner.Top + upper}, colorRecToRgba(initial_.rec(), 255),
                    copyChannel, copyChannel);
  }
  if (!isEnabled()) image_.fillRect({0, 0, w, h}, c.faintFace, lerpChannel, keepChannel);
  update();
}

const TMemoryGraphic& TPickerColorCell::face() {
  redraw();
  return image_;
}

int TPickerColorCell::partAt(QPoint p) const {
  if (p.x() < 2 || p.x() >= width() - 2 || p.y() < 2 || p.y() >= height() - 2) return 0;
  return drawInitial_ && p.y() < height() / 2 ? 2 : 1;
}

void TPickerColorCell::paintEvent(QPaintEvent*) {
  if (image_.width() != std::max(width(), 6) || image_.height() != std::max(height(), 6)) redraw();
  blitFace(*this, image_);
}

void TPickerColorCell::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) redraw();
  QWidget::changeEvent(e);
}

void TPickerColorCell::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  const int part = partAt(e->position().toPoint());
  if (part == 0) return;
  if (OnPartPressed) OnPartPressed(part);
  if (CallPickerDialog) {
    SColorRec r = manager_.rec();
    if (pickColorDialog(r, this)) setColorRec(r);
  }
}

// ---- TTwinColorCell -------------------------------------------------------------------------

TTwinColorCell::TTwinColorCell(QWidget* parent) : QWidget(parent) {
  resize(40, 40);
  back_.setRGB(1, 1, 1);
}

void TTwinColorCell::setActiveSide(uint8_t side) {
  if (!SwitchingAllowed || (side != 1 && side != 2) || side == active_) return;
  active_ = side;
  if (OnActiveSideChange) OnActiveSideChange();
  redraw();
}

void TTwinColorCell::setColorRec(const SColorRec& r) {
  if (compareColorRec(r, activeManager().rec()) == 0) return;
  activeManager().setColorRec(r);
  if (OnChange) OnChange();
  redraw();
}

void TTwinColorCell::setActiveChannels(uint8_t space, float x, float y, float z) {
  activeManager().setChannels(space, x, y, z);
  if (OnChange) OnChange();
  redraw();
}

void TTwinColorCell::swapColors() {
  const SColorRec f = fore_.rec();
  fore_.setColorRec(back_.rec());
  back_.setColorRec(f);
  if (OnChange) OnChange();
  redraw();
}

void TTwinColorCell::redraw() {
  const TUiSysColors& c = uiSysColors();
  if (!image_.renew(std::max(width(), 8), std::max(height(), 8), c.btnFace)) return;
  const STwinCellLayout l = twinCellLayout(width(), height());
  auto swatch = [&](const TRect& r, const TColorManager& m, bool active) {
    image_.frameRect(r, 1, active ? c.highlight : c.grayText, copyChannel, copyChannel);
    image_.frameRect({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, 1, active ? c.highlightText : c.btnFace,
                     copyChannel, copyChannel);
    image_.fillRect({r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2}, colorRecToRgba(m.rec(), 255), copyChannel,
                    copyChannel);
  };
  swatch(l.background, back_, active_ == 2);
  swatch(l.foreground, fore_, active_ == 1);
  if (l.swapGlyph) {
    if (const TMemoryGraphic* g = appearanceManager() ? &appearanceManager()->glyph(dgLeftRight, gsNone) : nullptr)
      image_.blendFrom(image_.width() - g->width(), 0, g->width(), g->height(), *g, 0, 0, lerpChannel, keepChannel);
  }
  update();
}

const TMemoryGraphic& TTwinColorCell::face() {
  redraw();
  return image_;
}

void TTwinColorCell::paintEvent(QPaintEvent*) {
  if (image_.width() != std::max(width(), 8) || image_.height() != std::max(height(), 8)) redraw();
  blitFace(*this, image_);
}

void TTwinColorCell::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  const uint8_t part = twinCellHit(twinCellLayout(width(), height()), e->position().toPoint().x(),
                                   e->position().toPoint().y());
  if (part == 1 || part == 2)
    setActiveSide(part);
  else if (part == 3)
    swapColors();
}

void TTwinColorCell::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !isEnabled()) return;
  const uint8_t part = twinCellHit(twinCellLayout(width(), height()), e->position().toPoint().x(),
                                   e->position().toPoint().y());
  if (part != active_) return;  // only the active side opens the dialog
  SColorRec r = getColorRec();
  if (RunDialog ? RunDialog(r) : pickColorDialog(r, this)) setColorRec(r);
}

// ---- TColorPickerForm -------------------------------------------------------------------

namespace {
struct SFieldDef {
  const char* label;
  float max;
};
constexpr SFieldDef kFields[9] = {{"&R", 255}, {"&G", 255}, {"&B", 255}, {"&H", 360},   {"&S", 100},
                                  {"&V", 100}, {"H(&U)", 360}, {"S(&A)", 100}, {"&L", 100}};
enum { kR, kG, kB, kH, kS, kV, kU, kA, kL, kPicker, kSwatch };
// The dialog's caption and the caption of its slider-colour box.
constexpr uint32_t kResColorPickerCaption = 69340, kResColorPickerFollow = 69341;
}  // namespace

TColorPickerForm::TColorPickerForm(QWidget* parent) : TDialogBaseForm(parent) {
  setWindowTitle(resText(kResColorPickerCaption));
  setButtonMode(kButtonModeOkCancel);
  auto* row = new QHBoxLayout(content());
  Picker = new TColorPicker(content());
  Picker->setFixedSize(170, 152);
  row->addWidget(Picker);
  auto* side = new QVBoxLayout();
  Swatch = new TPickerColorCell(content());
  Swatch->setFixedSize(60, 40);
  Swatch->setDrawInitialColor(true);
  Swatch->CallPickerDialog = false;
  side->addWidget(Swatch);
  auto* grid = new QGridLayout();
  for (int i = 0; i < 9; ++i) {
    TNumMngr& m = Num[static_cast<size_t>(i)];
    (void)m.setRange(0, 0, kFields[i].max);  // constant ranges: every maximum is above 0
    if (i == kH || i == kU) {
      m.setWrapMin(0);
      m.setWrapMax(360);
      m.setWrapAround(true);
    }
    m.onChange = [this, i](TNumMngr&) { colorChange(i); };
    auto* radio = new QRadioButton(QString::fromUtf8(kFields[i].label), content());
    auto* edit = new TNumEdit(content());
    edit->setFixedWidth(48);
    edit->setAssociate(&m);
    Radio[static_cast<size_t>(i)] = radio;
    Edit[static_cast<size_t>(i)] = edit;
    const int col = (i / 3) * 2;
    grid->addWidget(radio, i % 3, col);
    grid->addWidget(edit, i % 3, col + 1);
    QObject::connect(radio, &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) Picker->setColorSpace(static_cast<uint8_t>(i));
    });
  }
  side->addLayout(grid);
  CheckBoxC = new QCheckBox(resText(kResColorPickerFollow), content());
  CheckBoxC->setChecked(Picker->followColor());
  QObject::connect(CheckBoxC, &QCheckBox::toggled, this, [this](bool on) { Picker->setFollowColor(on); });
  side->addWidget(CheckBoxC);
  row->addLayout(side);
  Radio[Picker->colorSpace()]->setChecked(true);
  Picker->OnChange = [this] { colorChange(kPicker); };
  Swatch->OnChange = [this] { colorChange(kSwatch); };
  // A press on the initial half puts the colour the dialog began with back.
  Swatch->OnPartPressed = [this](int part) {
    if (part == 2 && compareColorRec(Swatch->getInitialColorRec(), Picker->getColorRec()) == 2) {
      SColorRec r = Swatch->getInitialColorRec();
      r.Space = Picker->colorSpace();
      Picker->setColorRec(r);
    }
  };
}

void TColorPickerForm::setInitial(const SColorRec& r) {
  SColorRec rec = r;
  rec.Space = Picker->colorSpace();
  Swatch->setInitialColorRec(rec);
  Swatch->setColorRec(rec);
  Picker->setColorRec(rec);
  showRecord(Picker->getColorRec());
}

void TColorPickerForm::setField(int i, float v) { Num[static_cast<size_t>(i)].setValue(v); }

void TColorPickerForm::showRecord(const SColorRec& r) {
  const bool was = updating_;
  updating_ = true;
  int32_t deg = static_cast<int32_t>(std::trunc(r.H * 180.0f / kPiF + 0.5f)) % 360;
  if (deg < 0) deg += 360;
  setField(kH, static_cast<float>(deg));
  setField(kU, static_cast<float>(deg));
  const uint32_t packed = colorRecToRgba(r, 0);
  setField(kR, uiRed(packed));
  setField(kG, uiGreen(packed));
  setField(kB, uiBlue(packed));
  setField(kS, r.S * 100.0f);
  setField(kV, r.V * 100.0f);
  setField(kA, r.SL * 100.0f);
  setField(kL, r.L * 100.0f);
  updating_ = was;
}

void TColorPickerForm::colorChange(int sender) {
  if (updating_) return;
  updating_ = true;
  TColorManager& m = Picker->manager();
  auto v = [this](int i) { return Num[static_cast<size_t>(i)].value(); };
  const float toRad = kPiF / 180.0f;
  const float toDeg = 180.0f / kPiF;
  auto afterFields = [this] {
    Picker->rebuild();
    Swatch->setColorRec(Picker->getColorRec());
  };
  if (sender == kH || sender == kS || sender == kV) {
    m.setHSV(v(kH) * toRad, v(kS) / 100.0f, v(kV) / 100.0f);
    setField(kU, v(kH));
    setField(kA, m.rec().SL * 100.0f);
    setField(kL, m.rec().L * 100.0f);
    setField(kR, m.rec().R * 255.0f);
    setField(kG, m.rec().G * 255.0f);
    setField(kB, m.rec().B * 255.0f);
    afterFields();
  } else if (sender == kU || sender == kA || sender == kL) {
    m.setHSL(v(kU) * toRad, v(kA) / 100.0f, v(kL) / 100.0f);
    setField(kH, v(kU));
    setField(kS, m.rec().S * 100.0f);
    setField(kV, m.rec().V * 100.0f);
    setField(kR, m.rec().R * 255.0f);
    setField(kG, m.rec().G * 255.0f);
    setField(kB, m.rec().B * 255.0f);
    afterFields();
  } else if (sender == kR || sender == kG || sender == kB) {
    m.setRGB(v(kR) / 255.0f, v(kG) / 255.0f, v(kB) / 255.0f);
    setField(kH, m.rec().H * toDeg);
    setField(kS, m.rec().S * 100.0f);
    setField(kV, m.rec().V * 100.0f);
    setField(kU, v(kH));
    setField(kA, m.rec().SL * 100.0f);
    setField(kL, m.rec().L * 100.0f);
    afterFields();
  } else {
    if (sender == kPicker) {
      if (compareColorRec(Picker->getColorRec(), Swatch->getColorRec()) != 0) Swatch->setColorRec(Picker->getColorRec());
    } else if (compareColorRec(Swatch->getColorRec(), Picker->getColorRec()) != 0) {
      Picker->setColorRec(Swatch->getColorRec());
    }
    showRecord(Picker->getColorRec());
  }
  Picker->update();
  updating_ = false;
}

bool pickColorDialog(SColorRec& colour, QWidget* parent) {
  TColorPickerForm form(parent);
  form.setInitial(colour);
  if (form.exec() != QDialog::Accepted) return false;
  colour = form.Swatch->getColorRec();
  return true;
}

}  // namespace pg
