#include "ui/gradient_stops.h"

#include <algorithm>
#include <cmath>

#include "core/colour.h"
#include "ui/appearance_manager.h"

namespace pg {

namespace {

SColorRec recOfRgb(float r, float g, float b) {
  TColorManager m;
  m.setRGB(r, g, b);
  return m.rec();
}

// round(x + 0.5) with ties to even, as stored gradients were written.
int32_t fixOf(double v) { return static_cast<int32_t>(std::nearbyint(v * 65536.0 + 0.5)); }

}  // namespace

uint8_t opacityByte(float opacity) {
  return static_cast<uint8_t>(std::clamp(std::trunc(static_cast<double>(opacity) * 255.0 + 0.5), 0.0, 255.0));
}

TGradientEditPos stopFromSlot(const SColorSlot& s) {
  TGradientEditPos p;
  p.Position = static_cast<float>(s.Start / 65536.0);
  const uint8_t marker = static_cast<uint8_t>(s.Color >> 24);
  p.Kind = marker == 0 ? 1 : marker == 1 ? 2 : 0;
  p.Color = recOfRgb((s.Color & 0xFF) / 255.0f, ((s.Color >> 8) & 0xFF) / 255.0f, ((s.Color >> 16) & 0xFF) / 255.0f);
  p.Opacity = s.Opacity / 255.0f;
  p.Split = s.Flag == 0 ? 1 : 0;
  return p;
}

SColorSlot slotFromStop(const TGradientEditPos& p, int32_t index, float nextPosition) {
  SColorSlot s;
  s.Used = 1;
  s.Enabled = 1;
  s.Flag = p.Split ? 0 : 1;
  s.Opacity = opacityByte(p.Opacity);
  s.Index = index;
  const uint32_t px = colorRecToRgba(p.Color, 0);  // B, G, R from the low byte
  const uint32_t marker = p.Kind == 1 ? 0u : p.Kind == 2 ? 1u : 255u;
  s.Color = (pixelToColor(px) & 0x00FFFFFFu) | (marker << 24);
  s.Weight = fixOf(static_cast<double>(nextPosition) - p.Position);
  s.Start = fixOf(p.Position);
  s.Length = kGradOne;
  return s;
}

TGradientStops::TGradientStops() {
  ColorA = recOfRgb(0, 0, 0);
  ColorB = recOfRgb(1, 1, 1);
  TGradientEditPos left, right;
  left.Position = 0.0f;
  left.Kind = 1;
  left.Color = ColorA;
  right.Position = 1.0f;
  right.Kind = 2;
  right.Color = ColorB;
  stops_ = {left, right};
}

SColorRec TGradientStops::shownColor(const TGradientEditPos& p) const {
  return p.Kind == 1 ? ColorA : p.Kind == 2 ? ColorB : p.Color;
}

void TGradientStops::setSelectIndex(int32_t i) {
  if (!isValidIndex(i)) return;
  if (i > 0 && at(i - 1).Split) --i;
  selected_ = i;
}

int32_t TGradientStops::addStopAt(float p, bool select) {
  if (!(p >= 0.0f && p <= 1.0f) || count() >= capacity_) return -1;
  int32_t k = 0;
  for (int32_t i = 1; i < count() - 1; ++i)
    if (at(i).Position < p) ++k;
  const TGradientEditPos& l = at(k);
  const TGradientEditPos& r = at(k + 1);
  const float span = r.Position - l.Position;
  const float t = span > 1e-6f ? (p - l.Position) / span : 0.5f;
  TGradientEditPos n;
  n.Position = p;
  n.Opacity = l.Opacity + (r.Opacity - l.Opacity) * t;
  n.Kind = l.Kind == r.Kind && l.Kind != 0 ? l.Kind : 0;
  if (n.Kind == 0) {
    const SColorRec a = shownColor(l), b = shownColor(r);
    n.Color = recOfRgb(a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t);
  } else {
    n.Color = n.Kind == 1 ? ColorA : ColorB;
  }
  stops_.insert(stops_.begin() + k + 1, n);
  if (selected_ > k) ++selected_;
  if (select) selected_ = k + 1;
  return k + 1;
}

void TGradientStops::groupOf(int32_t i, int32_t& first, int32_t& last) const {
  first = i > 0 && at(i - 1).Split ? i - 1 : i;
  last = at(first).Split && first + 1 < count() ? first + 1 : first;
}

void TGradientStops::deleteStop(int32_t i) {
  if (!inner(i)) return;
  int32_t first = 0, last = 0;
  groupOf(i, first, last);
  if (first == 0 || last >= count() - 1) return;  // an end belongs to the pair
  stops_.erase(stops_.begin() + first, stops_.begin() + last + 1);
  selected_ = first - 1;
}

void TGradientStops::moveStop(int32_t i, float p) {
  if (!inner(i)) return;
  int32_t first = 0, last = 0;
  groupOf(i, first, last);
  if (first == 0 || last >= count() - 1) return;
  p = std::clamp(p, at(first - 1).Position, at(last + 1).Position);
  for (int32_t j = first; j <= last; ++j) at(j).Position = p;
}

void TGradientStops::centreStop(int32_t i) {
  if (!inner(i)) return;
  int32_t first = 0, last = 0;
  groupOf(i, first, last);
  if (first == 0 || last >= count() - 1) return;
  moveStop(first, (at(first - 1).Position + at(last + 1).Position) * 0.5f);
}

void TGradientStops::setKind(uint8_t kind, int32_t i) {
  if (!isValidIndex(i) || kind > 2 || at(i).Kind == kind) return;
  at(i).Kind = kind;
  if (kind != 0) at(i).Color = kind == 1 ? ColorA : ColorB;
}

void TGradientStops::setColor(const SColorRec& c, int32_t i) {
  if (isValidIndex(i) && at(i).Kind == 0) at(i).Color = c;
}

void TGradientStops::setOpacity(int32_t i, float v) {
  if (isValidIndex(i)) at(i).Opacity = std::clamp(v, 0.0f, 1.0f);
}

bool TGradientStops::canUnion(int32_t i) const {
  return i > 0 && i < count() - 2 && !at(i - 1).Split && !at(i).Split && !at(i + 1).Split;
}

void TGradientStops::unionLeft(int32_t i) {
  if (!canUnionLeft(i)) return;
  at(i).Position = at(i - 1).Position;
  at(i - 1).Split = 1;
  selected_ = i - 1;
}

void TGradientStops::unionRight(int32_t i) {
  if (!canUnion(i)) return;
  at(i).Position = at(i + 1).Position;
  at(i).Split = 1;
}

void TGradientStops::separate(int32_t i) {
  if (!isValidIndex(i)) return;
  at(i).Split = 0;
  if (i > 0) at(i - 1).Split = 0;
}

uint8_t TGradientStops::splitState(int32_t i) const {
  if (!isValidIndex(i)) return 255;
  if (i == 0 || i == count() - 1) return 0;
  if (at(i).Split) return 2;
  if (at(i - 1).Split) return 1;
  return 0;
}

bool TGradientStops::canDivide(int32_t i, int32_t parts) const {
  return i >= 0 && i < count() - 1 && parts >= 1 && parts + count() <= capacity_;
}

void TGradientStops::divide(int32_t i, int32_t parts) {
  if (!canDivide(i, parts)) return;
  const int32_t next = at(i).Split && i + 2 < count() ? i + 2 : i + 1;
  const float a = at(i).Position;
  const float b = at(next).Position;
  // canDivide made room for every new stop, so none is refused.
  for (int32_t k = 1; k < parts; ++k) (void)addStopAt(a + (b - a) * static_cast<float>(k) / static_cast<float>(parts), false);
}

void TGradientStops::copyStop(int32_t dst, int32_t src) {
  if (!isValidIndex(dst) || !isValidIndex(src)) return;
  at(dst).Kind = at(src).Kind;
  at(dst).Color = at(src).Color;
  at(dst).Opacity = at(src).Opacity;
}

void TGradientStops::swapStops(int32_t a, int32_t b) {
  if (!isValidIndex(a) || !isValidIndex(b)) return;
  std::swap(at(a).Kind, at(b).Kind);
  std::swap(at(a).Color, at(b).Color);
  std::swap(at(a).Opacity, at(b).Opacity);
}

void TGradientStops::reverse() {
  const int32_t n = count();
  if (n < 2) return;
  const int32_t old = selected_;
  swapStops(0, n - 1);
  std::reverse(stops_.begin() + 1, stops_.end() - 1);
  for (int32_t i = 1; i < n - 1; ++i) at(i).Position = 1.0f - at(i).Position;
  for (int32_t i = 0; i < n - 2; ++i) at(i).Split = at(i + 1).Split;
  at(n - 2).Split = 0;
  at(n - 1).Split = 0;
  selected_ = 0;
  setSelectIndex(n - 1 - std::clamp(old, 0, n - 1));
}

void TGradientStops::setColorSlotGroup(const CColorSlotGroup& g) {
  TGradientStops fresh;
  fresh.ColorA = ColorA;
  fresh.ColorB = ColorB;
  fresh.capacity_ = capacity_;
  const int32_t last = g.lastUsedIndex();
  const SColorSlot* first = g.getSlot(0);
  // Without a usable right end the group cannot be shown: default ends.
  if (first && last > 0 && g.getSlot(last)) {
    std::vector<TGradientEditPos> s;
    s.push_back(stopFromSlot(*first));
    for (int32_t i = 1; i < last && static_cast<int32_t>(s.size()) < capacity_ - 1; ++i)
      if (const SColorSlot* slot = g.getSlot(i); slot && slot->isSet()) s.push_back(stopFromSlot(*slot));
    s.push_back(stopFromSlot(*g.getSlot(last)));
    s.front().Position = 0.0f;
    s.back().Position = 1.0f;
    s.back().Split = 0;
    for (auto& p : s) {
      p.Position = std::clamp(p.Position, 0.0f, 1.0f);
      if (p.Kind) p.Color = p.Kind == 1 ? ColorA : ColorB;
    }
    fresh.stops_ = std::move(s);
  }
  *this = fresh;
  selected_ = 0;
}

bool TGradientStops::writeColorSlotGroup(CColorSlotGroup& target) const {
  const int32_t n = count();
  if (n < 2) return false;
  CColorSlotGroup g;
  if (!g.ensureCapacity(n)) return false;
  for (int32_t i = 0; i < n; ++i) {
    const float next = i < n - 1 ? at(i + 1).Position : 0.0f;
    if (!g.putSlot(i, slotFromStop(at(i), i, next))) return false;
  }
  (void)g.normalize();  // false only for weights that add up to 0: the stops stay as given
  g.setName(target.name());
  return g.assignTo(target);
}

// ---- geometry and pictures ---------------------------------------------------------

int32_t gradientMarkerX(int32_t w, float p) { return static_cast<int32_t>(std::nearbyint(w * p + 0.5f)); }

float gradientPositionAt(int32_t w, int32_t x) { return w > 0 ? static_cast<float>(x - 7) / static_cast<float>(w) : 0.0f; }

int32_t gradientNearestStop(const TGradientStops& s, int32_t w, int32_t x) {
  const int32_t d = x - 7;
  if (d < 1) return 0;
  if (d >= w) return s.count() - 1;
  const float p = static_cast<float>(d) / static_cast<float>(w);
  int32_t right = 1;
  while (right < s.count() - 1 && s.posAt(right)->Position < p) ++right;
  const int32_t left = right - 1;
  return p - s.posAt(left)->Position <= s.posAt(right)->Position - p ? left : right;
}

bool gradientHitsMarker(const TGradientStops& s, int32_t w, int32_t x) {
  for (int32_t i = 0; i < s.count(); ++i)
    if (std::abs(x - 7 - gradientMarkerX(w, s.posAt(i)->Position)) < 8) return true;
  return false;
}

void paintGradientBar(TMemoryGraphic& bar, const TGradientStops& s) {
  if (!bar.isValid()) return;
  const TUiSysColors& c = uiSysColors();
  bar.clear();
  const int32_t bw = bar.width(), bh = bar.height();
  bar.frameRect({0, 0, bw, bh}, 1, c.windowFrame, copyChannel, copyChannel);
  bar.fillChecker({1, 1, bw - 1, bh - 1}, 4, 4, uiOpaqueWhite, packRgba(204, 204, 204, 255), copyChannel, copyChannel);
  const int32_t w = bw - 2;
  for (int32_t i = 0; i + 1 < s.count(); ++i) {
    const TGradientEditPos& a = *s.posAt(i);
    const TGradientEditPos& b = *s.posAt(i + 1);
    const int32_t x0 = static_cast<int32_t>(std::nearbyint(w * a.Position + 1.5f));
    const int32_t x1 = static_cast<int32_t>(std::nearbyint(w * b.Position + 1.5f));
    if (x1 <= x0 || a.Split) continue;
    bar.gradientLinear({x0, 1, std::min(x1, bw - 1), bh - 1}, colorRecToRgba(s.shownColor(a), opacityByte(a.Opacity)),
                       colorRecToRgba(s.shownColor(b), opacityByte(b.Opacity)), kGradRight, lerpChannel, keepChannel);
  }
}

namespace {

// A 15 x 15 diamond: rim, fill and (split) a vertical middle line.
void drawMarker(TMemoryGraphic& g, int32_t x0, int32_t y0, bool selected, bool split) {
  const TUiSysColors& c = uiSysColors();
  const TUiColor rim = selected ? c.windowFrame : uiWithAlpha(c.grayText, 170);
  const TUiColor fillC = selected ? c.highlight : uiWithAlpha(c.btnFace, 170);
  const TUiColor shine = selected ? c.highlightText : uiWithAlpha(c.btnFace, 170);
  for (int32_t y = 0; y < kGradMarker; ++y)
    for (int32_t x = 0; x < kGradMarker; ++x) {
      const int32_t d = std::abs(x - 7) + std::abs(y - 7);
      if (d > 7) continue;
      TUiColor col = d == 7 ? rim : d == 6 ? shine : fillC;
      if (split && x == 7) col = rim;
      if (!g.contains(x0 + x, y0 + y)) continue;
      g.fillRect({x0 + x, y0 + y, x0 + x + 1, y0 + y + 1}, col, lerpChannel, keepChannel);
    }
}

}  // namespace

void paintGradientFace(TMemoryGraphic& face, const TMemoryGraphic& bar, const TGradientStops& s, bool fadedSelection) {
  if (!face.isValid()) return;
  const TUiSysColors& c = uiSysColors();
  face.setBackground(c.btnFace);
  face.clear();
  face.copyPixels(6, 0, bar.width(), bar.height(), bar.pixels(), 0, 0, bar.width(), bar.height());
  const int32_t w = bar.width() - 2;
  const int32_t y = (bar.height() - kGradMarker) / 2 + 1;
  const int32_t sel = s.selectIndex();
  auto markerOf = [&](int32_t i) { return gradientMarkerX(w, s.posAt(i)->Position); };
  if (fadedSelection && s.isValidIndex(sel)) {
    drawMarker(face, markerOf(sel), y, true, s.posAt(sel)->Split != 0);
    face.fillRect({markerOf(sel), y, markerOf(sel) + kGradMarker, y + kGradMarker}, uiWithAlpha(c.btnFace, 192),
                  lerpChannel, keepChannel);
  }
  for (int32_t i = 0; i < s.count(); ++i) {
    if (i == sel || (i > 0 && s.posAt(i - 1)->Split)) continue;
    drawMarker(face, markerOf(i), y, false, s.posAt(i)->Split != 0);
  }
  if (!fadedSelection && s.isValidIndex(sel)) drawMarker(face, markerOf(sel), y, true, s.posAt(sel)->Split != 0);
}

}  // namespace pg
