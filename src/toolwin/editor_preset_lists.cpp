#include "toolwin/editor_preset_lists.h"

#include <algorithm>

#include "brush/gradient_mngr.h"
#include "brush/paint_param.h"
#include "brush/shape_values.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "ui/channel_ops.h"
#include "ui/gradient_stops.h"
#include "ui/memory_graphic.h"

namespace pg {

namespace {

// Nearest-pixel fit of a plane into the rectangle, keeping its proportions.
void drawPlaneFitted(TMemoryGraphic& g, const TRect& r, const TMTC& plane) {
  const int32_t rw = r.Right - r.Left, rh = r.Bottom - r.Top;
  if (!hasPixels(plane) || rw <= 0 || rh <= 0) return;
  const double scale = std::min(double(rw) / plane.Width, double(rh) / plane.Height);
  const int32_t w = std::max(1, int32_t(plane.Width * scale)), h = std::max(1, int32_t(plane.Height * scale));
  const int32_t x0 = r.Left + (rw - w) / 2, y0 = r.Top + (rh - h) / 2;
  for (int32_t y = 0; y < h; ++y) {
    const int32_t sy = std::min(plane.Height - 1, int32_t(y / scale));
    for (int32_t x = 0; x < w; ++x) {
      const int32_t sx = std::min(plane.Width - 1, int32_t(x / scale));
      const uint8_t* p = plane.PixelAddress(sx, sy);
      const uint32_t px = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
      if (g.contains(x0 + x, y0 + y)) g.setPixel(x0 + x, y0 + y, TUiColor(px));
    }
  }
}

std::unique_ptr<CPenMethodObj> copyPenMethod(const CPenMethodObj& src) {
  auto m = std::make_unique<CPenMethodObj>();
  m->setParams(src.getParams());
  m->setName(src.name());
  if (src.hasOwnShape() && !m->assignPenShape(*src.penShape())) return nullptr;
  if (src.icon() != nullptr && !m->setIcon(src.icon())) return nullptr;
  return m;
}

}  // namespace

// ---- pen methods ----------------------------------------------------------------

CEditorPenMethodList::CEditorPenMethodList(CPenMethodMngr& set) : set_(set) {
  setAllowedStyles(kEditorListStyles);
  setOptions(kListKeepActive);
  reload();
}

CEditorPenMethodList::~CEditorPenMethodList() = default;

void CEditorPenMethodList::reload() {
  bool ok = false;
  params_ = TPaintParam::CreateFromPenMethod(set_.current(), ok);
  if (!ok) params_.reset();
}

bool CEditorPenMethodList::commitCurrent() {
  CPenMethodObj* m = set_.current();
  if (m == nullptr || params_ == nullptr || !params_->storeToPenMethod(m)) return false;
  set_.setModified(true);
  setModified(true);
  doChange();
  return true;
}

int32_t CEditorPenMethodList::getCount() const { return set_.count(); }

uint32_t CEditorPenMethodList::getItemFlags(int32_t) const { return kItemNoLabel; }

std::string CEditorPenMethodList::getItemName(int32_t i) const {
  const CPenMethodObj* m = set_.getItem(i);
  return m ? m->name() : std::string();
}

void CEditorPenMethodList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t, int32_t i) {
  const CPenMethodObj* m = set_.getItem(i);
  if (m == nullptr) return;
  const TMTC* icon = m->icon();
  uint8_t kind = 0;
  if (icon == nullptr && m->paintKind(kind)) icon = defaultPaintIcon(kind);
  if (icon != nullptr) drawPlaneFitted(g, r, *icon);
}

int32_t CEditorPenMethodList::getActiveIndex() const { return set_.currentIndex(); }

bool CEditorPenMethodList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i)) return false;
  set_.setCurrentIndex(i);
  pressed_ = i;
  reload();
  doChange();
  return true;
}

bool CEditorPenMethodList::canDeleteKeepOne(int32_t i) const {
  uint8_t kind = 0;
  const CPenMethodObj* m = set_.getItem(i);
  if (m == nullptr || !m->paintKind(kind)) return false;
  for (int32_t j = 0; j < set_.count(); ++j) {
    uint8_t other = 0;
    if (j != i && set_.getItem(j)->paintKind(other) && other == kind) return true;
  }
  return false;
}

bool CEditorPenMethodList::deleteItem(int32_t i, bool redrawIt) {
  if (!canDeleteKeepOne(i) || !set_.deleteItem(i)) return false;
  setModified(true);
  selectItem(std::min(i, getCount() - 1), redrawIt);
  return true;
}

bool CEditorPenMethodList::copyInto(CItemList* target, int32_t index, bool redrawIt, int32_t sourceIndex) {
  const CPenMethodObj* src = set_.getItem(sourceIndex);
  if (target != this || src == nullptr || index < 0 || index > getCount()) return false;
  std::unique_ptr<CPenMethodObj> copy = copyPenMethod(*src);
  if (!copy) return false;
  const int32_t at = set_.insert(index, std::move(copy));
  if (at < 0) return false;
  setModified(true);
  selectItem(at, redrawIt);
  return true;
}

// ---- nibs ---------------------------------------------------------------------

CEditorPenNibList::CEditorPenNibList(CPenShapeMngr& set) : set_(set) {
  setAllowedStyles(kEditorListStyles);
  setOptions(kListKeepActive);
}

int32_t CEditorPenNibList::getCount() const { return set_.count(); }

uint32_t CEditorPenNibList::getItemFlags(int32_t) const { return kItemNoLabel; }

std::string CEditorPenNibList::getItemName(int32_t i) const {
  return isValidIndex(i) ? "#" + std::to_string(i + 1) : std::string();
}

void CEditorPenNibList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t, int32_t i) {
  const CPenShapeObj* shape = set_.getItem(i);
  const int32_t w = r.Right - r.Left, h = r.Bottom - r.Top;
  if (shape == nullptr || w <= 0 || h <= 0) return;
  SShapeValues v;
  shapeValuesFromPenShape(shape, v);
  TMTC plane(w, h);
  if (!plane.IsAllocated()) return;
  // Fits the dab's diameter into the cell.
  const float radius = std::max(v.size, 0.5f);
  drawNibPreview(plane, v, std::min(1.0f, float(std::min(w, h)) / (2.0f * radius + 2.0f)), 0x000000u);
  drawPlaneFitted(g, r, plane);
}

int32_t CEditorPenNibList::getActiveIndex() const { return set_.currentIndex(); }

bool CEditorPenNibList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i)) return false;
  set_.select(i);
  pressed_ = i;
  doChange();
  return true;
}

bool CEditorPenNibList::deleteItem(int32_t i, bool redrawIt) {
  if (!canDeleteKeepOne(i) || getCount() < 2 || !set_.deleteItem(i)) return false;
  setModified(true);
  selectItem(std::min(i, getCount() - 1), redrawIt);
  return true;
}

bool CEditorPenNibList::copyInto(CItemList* target, int32_t index, bool redrawIt, int32_t sourceIndex) {
  const CPenShapeObj* src = set_.getItem(sourceIndex);
  if (target != this || src == nullptr || index < 0 || index > getCount()) return false;
  auto copy = std::make_unique<CPenShapeObj>();
  if (!copy->assign(*src)) return false;
  const int32_t at = set_.insert(index, std::move(copy));
  if (at < 0) return false;
  setModified(true);
  selectItem(at, redrawIt);
  return true;
}

// ---- gradients ------------------------------------------------------------------

CEditorGradientList::CEditorGradientList(CGradMngr& set) : set_(set) {
  setAllowedStyles(kEditorListStyles);
  setOptions(kListKeepActive);
  reload();
}

void CEditorGradientList::reload() {
  const CGradObj* g = set_.currentItem();
  edited_ = g ? CGradObj::CreateCopy(*g) : nullptr;
}

bool CEditorGradientList::storeEdited() {
  CGradObj* g = set_.getItem(set_.currentIndex());
  if (g == nullptr || edited_ == nullptr) return false;
  g->assign(*edited_);
  set_.select(set_.currentIndex());  // the work copy follows
  set_.setModified(true);
  setModified(true);
  doChange();
  return true;
}

int32_t CEditorGradientList::getCount() const { return set_.count(); }

uint32_t CEditorGradientList::getItemFlags(int32_t i) const {
  return kItemNoLabel | (set_.isFixed(i) ? kItemFixed : 0u);
}

std::string CEditorGradientList::getItemName(int32_t i) const {
  const CGradObj* g = set_.getItem(i);
  return g ? g->Stops.name() : std::string();
}

void CEditorGradientList::drawItemImage(TMemoryGraphic& g, const TRect& r, int32_t, int32_t i) {
  const CGradObj* grad = set_.getItem(i);
  const int32_t w = r.Right - r.Left, h = r.Bottom - r.Top;
  if (grad == nullptr || w <= 0 || h <= 0) return;
  TGradientStops stops;
  stops.setColorSlotGroup(grad->Stops);
  TMemoryGraphic bar(w, h);
  paintGradientBar(bar, stops);
  g.blendFrom(r.Left, r.Top, w, h, bar, 0, 0, copyChannel, copyChannel);
}

int32_t CEditorGradientList::getActiveIndex() const { return set_.currentIndex(); }

bool CEditorGradientList::setActiveIndex(int32_t i) {
  if (!isValidIndex(i)) return false;
  set_.select(i);
  pressed_ = i;
  reload();
  doChange();
  return true;
}

bool CEditorGradientList::deleteItem(int32_t i, bool redrawIt) {
  if (!canDeleteKeepOne(i) || getCount() < 2 || !set_.deleteItem(i)) return false;
  setModified(true);
  selectItem(std::min(i, getCount() - 1), redrawIt);
  return true;
}

bool CEditorGradientList::copyInto(CItemList* target, int32_t index, bool redrawIt, int32_t sourceIndex) {
  const CGradObj* src = set_.getItem(sourceIndex);
  // The set only appends.
  if (target != this || src == nullptr || index != getCount()) return false;
  std::unique_ptr<CGradObj> copy = CGradObj::CreateCopy(*src);
  if (!copy) return false;
  const int32_t at = set_.add(std::move(copy));
  if (at < 0) return false;
  setModified(true);
  selectItem(at, redrawIt);
  return true;
}

}  // namespace pg
