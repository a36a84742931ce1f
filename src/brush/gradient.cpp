#include "brush/gradient.h"

#include <algorithm>
#include <numbers>

#include "core/det_math.h"
#include "core/planes.h"
#include "core/saturate.h"

namespace pg {

namespace {
uint32_t gGradIdCounter = 1;
}  // namespace

SColorSlot resetColorSlot(int32_t index) {
  SColorSlot s;
  s.Index = index;
  return s;
}

// ------------------------------------------------------------ CColorSlotGroup

CColorSlotGroup::CColorSlotGroup(int32_t step) { init(step); }

void CColorSlotGroup::init(int32_t step) {
  Step = std::max<int32_t>(4, step);
  Slots.clear();
  Slots.reserve(static_cast<size_t>(Step));
  for (int32_t i = 0; i < Step; ++i) Slots.push_back(resetColorSlot(i));
  LastIndex = -1;
  TotalWeight = 0;
  FirstUsedIdx = -1;
  LastUsedIdx = -1;
  UsedCount = 0;
  Name = "untitled";
}

void CColorSlotGroup::reset(int32_t step) { init(step < 1 ? Step : step); }

bool CColorSlotGroup::ensureCapacity(int32_t n) {
  if (n < 0 || n >= kColorSlotLimit) return false;
  if (n <= capacity()) return true;
  int32_t cap = capacity();
  while (cap < n) cap += Step;
  if (cap >= kColorSlotLimit) cap = kColorSlotLimit - 1;
  try {
    for (int32_t i = capacity(); i < cap; ++i) Slots.push_back(resetColorSlot(i));
  } catch (...) {
    return false;
  }
  return true;
}

bool CColorSlotGroup::putSlot(int32_t i, const SColorSlot& slot) {
  if (i < 0 || !ensureCapacity(i + 1)) return false;
  Slots[static_cast<size_t>(i)] = slot;
  if (i > LastIndex) LastIndex = i;
  return true;
}

bool CColorSlotGroup::putColor(int32_t i, TColor colour, uint8_t opacity, int32_t weight) {
  SColorSlot s = resetColorSlot(i);
  s.Used = 1;
  s.Enabled = 1;
  s.Opacity = opacity;
  s.Color = colour;
  s.Weight = weight;
  return putSlot(i, s);
}

const SColorSlot* CColorSlotGroup::getSlot(int32_t i) const {
  return i >= 0 && i <= LastIndex ? &Slots[static_cast<size_t>(i)] : nullptr;
}
SColorSlot* CColorSlotGroup::getSlot(int32_t i) {
  return i >= 0 && i <= LastIndex ? &Slots[static_cast<size_t>(i)] : nullptr;
}

bool CColorSlotGroup::getSlots(const SColorSlot*& data, int64_t& byteSize) const {
  if (LastIndex < 0) {
    data = nullptr;
    byteSize = 0;
    return false;
  }
  data = Slots.data();
  byteSize = static_cast<int64_t>(LastIndex + 1) * static_cast<int64_t>(sizeof(SColorSlot));
  return true;
}

int32_t CColorSlotGroup::firstUsed() const { return nextUsed(-1); }

int32_t CColorSlotGroup::lastUsed() const { return prevUsed(LastIndex + 1); }

int32_t CColorSlotGroup::nextUsed(int32_t i) const {
  for (int32_t k = std::max(i + 1, 0); k <= LastIndex; ++k)
    if (Slots[static_cast<size_t>(k)].isSet()) return k;
  return -1;
}

int32_t CColorSlotGroup::prevUsed(int32_t i) const {
  for (int32_t k = std::min(i - 1, LastIndex); k >= 0; --k)
    if (Slots[static_cast<size_t>(k)].isSet()) return k;
  return -1;
}

bool CColorSlotGroup::removeSlot(int32_t i) {
  if (i < 1 || i > LastIndex) return false;
  for (int32_t k = i; k < LastIndex; ++k) Slots[static_cast<size_t>(k)] = Slots[static_cast<size_t>(k + 1)];
  Slots[static_cast<size_t>(LastIndex)] = resetColorSlot(LastIndex);
  --LastIndex;
  return true;
}

bool CColorSlotGroup::removeStop(int32_t i) {
  const int32_t first = firstUsed();
  const int32_t last = lastUsed();
  if (first < 0 || i <= first || i >= last || !Slots[static_cast<size_t>(i)].isSet()) return false;
  // The stop before takes both intervals. Adding the two weights keeps the
  // merged interval right whatever unit the weights are in (for weights in
  // 16.16 it equals the distance between the neighbours' starts).
  const int32_t prev = prevUsed(i);
  const int64_t w = static_cast<int64_t>(std::max(0, Slots[static_cast<size_t>(prev)].Weight)) +
                    std::max(0, Slots[static_cast<size_t>(i)].Weight);
  if (!removeSlot(i)) return false;
  Slots[static_cast<size_t>(prev)].Weight = saturateTo<int32_t>(w);
  normalize();
  return true;
}

bool CColorSlotGroup::normalize() {
  FirstUsedIdx = firstUsed();
  LastUsedIdx = lastUsed();
  if (FirstUsedIdx < 0) {
    UsedCount = 0;
    TotalWeight = 0;
    return false;
  }
  if (FirstUsedIdx == LastUsedIdx) {
    UsedCount = 1;
    TotalWeight = kGradOne;
    Slots[0].Start = 0;
    Slots[0].Length = kGradOne;
    return true;
  }
  // Weights come from files and recordings: a negative one counts as 0, and
  // the sum is taken in 64 bits, so that the intervals never run backwards.
  int64_t total = 0;
  int32_t used = 0;
  for (int32_t k = FirstUsedIdx; k >= 0 && k < LastUsedIdx; k = nextUsed(k)) {
    total += std::max(0, Slots[static_cast<size_t>(k)].Weight);
    ++used;
  }
  TotalWeight = total;
  UsedCount = used + 1;
  int64_t start = 0;
  for (int32_t k = FirstUsedIdx; k >= 0 && k < LastUsedIdx; k = nextUsed(k)) {
    SColorSlot& s = Slots[static_cast<size_t>(k)];
    // Length := fixDiv(weight, total), in 64 bits for any total.
    const int32_t len =
        total > 0 ? roundToInt32(static_cast<double>(std::max(0, s.Weight)) / static_cast<double>(total) * 65536.0) : 0;
    s.Start = saturateTo<int32_t>(start);
    s.Length = len;
    start += len;
  }
  Slots[static_cast<size_t>(LastUsedIdx)].Start = kGradOne;
  Slots[static_cast<size_t>(LastUsedIdx)].Length = 0;
  return total > 0;
}

bool CColorSlotGroup::isValid() const {
  return UsedCount >= 1 && FirstUsedIdx >= 0 && FirstUsedIdx <= LastIndex && LastUsedIdx >= 0 &&
         LastUsedIdx <= LastIndex;
}

bool CColorSlotGroup::isUsable() const {
  if (!isValid()) return false;
  for (int32_t k = 0; k <= LastIndex; ++k)
    if (!Slots[static_cast<size_t>(k)].isSet()) return false;
  return true;
}

bool CColorSlotGroup::equals(const CColorSlotGroup& other) const {
  if (!isValid() || !other.isValid() || LastIndex != other.LastIndex) return false;
  for (int32_t k = 0; k <= LastIndex; ++k)
    if (!(Slots[static_cast<size_t>(k)] == other.Slots[static_cast<size_t>(k)])) return false;
  return true;
}

std::unique_ptr<CColorSlotGroup> CColorSlotGroup::compact() const {
  if (firstUsed() < 0) return nullptr;
  auto g = std::make_unique<CColorSlotGroup>(Step);
  g->Name = Name;
  int32_t n = 0;
  for (int32_t k = firstUsed(); k >= 0; k = nextUsed(k)) {
    SColorSlot s = Slots[static_cast<size_t>(k)];
    s.Index = n;
    if (!g->putSlot(n, s)) return nullptr;
    ++n;
  }
  g->normalize();
  return g;
}

bool CColorSlotGroup::assignTo(CColorSlotGroup& dest) const {
  if (!isUsable()) return false;
  if (&dest == this) return true;
  dest.Name = Name;
  // Interior stops of the destination go until its last used index is at most 1.
  for (;;) {
    const int32_t last = dest.lastUsed();
    if (last <= 1) break;
    const int32_t inner = dest.prevUsed(last);
    if (inner < 1 || !dest.removeSlot(inner)) break;
  }
  for (int32_t k = FirstUsedIdx; k <= LastUsedIdx; ++k)
    if (!dest.putSlot(k, Slots[static_cast<size_t>(k)])) return false;
  // Slots the source does not hold are not left behind in the destination.
  while (dest.LastIndex > LastUsedIdx) {
    dest.Slots[static_cast<size_t>(dest.LastIndex)] = resetColorSlot(dest.LastIndex);
    --dest.LastIndex;
  }
  dest.normalize();
  return true;
}

void CColorSlotGroup::applyColors(TColor first, TColor second) {
  if (LastIndex < 1) return;
  for (int32_t k = 0; k <= LastIndex; ++k) {
    SColorSlot& s = Slots[static_cast<size_t>(k)];
    const uint32_t marker = s.Color >> 24;
    if (marker == 0)
      s.Color = first & 0x00FFFFFFu;
    else if (marker == 1)
      s.Color = (second & 0x00FFFFFFu) | 0x01000000u;
  }
  normalize();
}

// ------------------------------------------------------------------- CGradObj

CGradObj::CGradObj() : Id(static_cast<int32_t>(gGradIdCounter++)) {}

void resetGradIdCounter() { gGradIdCounter = 1; }

std::unique_ptr<CGradObj> CGradObj::CreateCopy(const CGradObj& source) {
  auto g = std::make_unique<CGradObj>();
  g->assign(source);
  return g;
}

std::unique_ptr<CGradObj> CGradObj::CreateTwoColor(TColor first, const std::string& name, TColor second) {
  auto g = std::make_unique<CGradObj>();
  g->Stops.setName(name);
  if (!g->Stops.putColor(0, first, 255, kGradOne) || !g->Stops.putColor(1, second, 255, kGradOne)) return nullptr;
  g->Stops.normalize();
  return g;
}

void CGradObj::setUntitledName(int32_t n) { Stops.setName("untitled" + std::to_string(n)); }

void CGradObj::setRepeat(const SGradRepeat& r) {
  Repeat = r;
  if (Repeat.Count < 1) Repeat.Count = 1;
}

void CGradObj::assign(const CGradObj& source) {
  if (&source == this) return;
  Repeat = source.Repeat;
  Stops = source.Stops;
}

int32_t CGradObj::newId() {
  const int32_t old = Id;
  Id = static_cast<int32_t>(gGradIdCounter++);
  return old;
}

// ----------------------------------------------------------------- CGradation

CGradation::CGradation(const CColorSlotGroup* group) : Group(group) { computeDerived(); }

std::unique_ptr<CGradation> CGradation::CreateWith(SFixPoint p0, const CColorSlotGroup* group, SFixPoint p1) {
  auto g = std::make_unique<CGradation>(group);
  g->setPoints(p0, p1);
  return g;
}

void CGradation::setPoints(SFixPoint p0, SFixPoint p1) {
  P0 = p0;
  P1 = p1;
  computeDerived();
}

void CGradation::computeDerived() {
  P0x = static_cast<double>(P0.X) / 65536.0;
  P0y = static_cast<double>(P0.Y) / 65536.0;
  // The difference in 64 bits: two far points must not overflow.
  const int64_t ddx = static_cast<int64_t>(P1.X) - P0.X;
  const int64_t ddy = static_cast<int64_t>(P1.Y) - P0.Y;
  Delta = {saturateTo<int32_t>(ddx), saturateTo<int32_t>(ddy)};
  Dx = static_cast<double>(ddx) / 65536.0;
  Dy = static_cast<double>(ddy) / 65536.0;
  Len2 = Dx * Dx + Dy * Dy;
  if (Shape == 2) {
    Ex = Dx != 0.0 ? Dx : Dy;
    Ey = Dy != 0.0 ? Dy : Dx;
  } else {
    Ex = Ey = std::max(std::fabs(Dx), std::fabs(Dy));
  }
  BaseAngle = angleOf(Dx, Dy);
}

bool CGradation::setRepeat(int32_t shape, int32_t mirror, int32_t count, int32_t wrap) {
  if (shape < 0 || shape > 2 || mirror < 0 || mirror > 1 || wrap < 0 || wrap > 1 || count <= 0) return false;
  const bool shapeChanged = Shape != shape;
  Shape = static_cast<uint8_t>(shape);
  Mirror = static_cast<uint8_t>(mirror);
  Wrap = static_cast<uint8_t>(wrap);
  Count = count;
  if (shapeChanged) computeDerived();
  return true;
}

double CGradation::angleOf(double x, double y) const {
  if (x == 0.0) return (y >= 0.0) == (Ey >= 0.0) ? 0.25 : 0.75;
  double a = dmath::atan2(y, x) / (2.0 * std::numbers::pi);
  if (a < 0.0) a += 1.0;
  return a;
}

namespace {

// The colour of every 16.16 position 0..0x10000 of a stop group, so that a
// large fill looks each pixel's colour up instead of searching the stops.
// Built from colorAt itself, so a lookup answers exactly what colorAt does.
class CGradColorTable {
 public:
  explicit CGradColorTable(const CColorSlotGroup& g) : Colors(static_cast<size_t>(kGradOne) + 1) {
    for (int32_t t = 0; t <= kGradOne; ++t) Colors[static_cast<size_t>(t)] = g.colorAt(t);
    Low = Colors[0];
    High = Colors[static_cast<size_t>(kGradOne)];
  }
  uint32_t at(int32_t t) const {
    if (t < 1) return Low;
    if (t >= kGradOne) return High;
    return Colors[static_cast<size_t>(t)];
  }

 private:
  std::vector<uint32_t> Colors;
  uint32_t Low = 0;
  uint32_t High = 0;
};

// A fill's pixels: shape position of each pixel of a row with the per-row
// terms taken out of the loop (the same operations as shapeT, so the same
// results), then fold and colour.
template <int ShapeKind, class Lookup>
void fillRowsT(const CGradation& g, TMTC& image, const TRect& r, double p0x, double p0y, double dx, double dy,
               double len2, double ex, double ey, const Lookup& lookup) {
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    uint32_t* row = image.pixelAt(0, y);
    const double py = static_cast<double>(y) - p0y;
    const double dyPy = dy * py;
    const double qy = ShapeKind == 2 && ey != 0.0 ? (py / ey) * (py / ey) : 0.0;
    for (int32_t x = r.Left; x < r.Right; ++x) {
      const double px = static_cast<double>(x) - p0x;
      double t;
      if constexpr (ShapeKind == 0) {
        t = len2 > 0.0 ? (dx * px + dyPy) / len2 : 0.0;
      } else if constexpr (ShapeKind == 1) {
        t = g.shapeT(x, y);
      } else {
        t = ex == 0.0 || ey == 0.0 ? 0.0 : std::sqrt((px / ex) * (px / ex) + qy);
      }
      row[x] = colorToPixel(lookup(CGradation::gradTToFix(g.foldT(t))));
    }
  }
}

}  // namespace

void CGradation::fillRect(TMTC& image, TRect rect) const {
  if (!isPlaneReady(&image) || !image.clipRect(rect)) return;
  if (Group == nullptr) {
    for (int32_t y = rect.Top; y < rect.Bottom; ++y)
      for (int32_t x = rect.Left; x < rect.Right; ++x) *image.pixelAt(x, y) = 0;
    return;
  }
  auto run = [&](const auto& lookup) {
    switch (Shape) {
      case 0:
        fillRowsT<0>(*this, image, rect, P0x, P0y, Dx, Dy, Len2, Ex, Ey, lookup);
        break;
      case 1:
        fillRowsT<1>(*this, image, rect, P0x, P0y, Dx, Dy, Len2, Ex, Ey, lookup);
        break;
      default:
        fillRowsT<2>(*this, image, rect, P0x, P0y, Dx, Dy, Len2, Ex, Ey, lookup);
        break;
    }
  };
  // A table pays off once the rectangle has clearly more pixels than it has entries.
  if (rectArea(rect) >= 4 * static_cast<int64_t>(kGradOne)) {
    const CGradColorTable table(*Group);
    run([&table](int32_t t) { return table.at(t); });
  } else {
    const CColorSlotGroup* g = Group;
    run([g](int32_t t) { return g->colorAt(t); });
  }
}

void CGradation::gradientFill(TMTC& image, const CColorSlotGroup& stops, const SGradRepeat& repeat) {
  if (!isPlaneReady(&image)) return;
  const int32_t count = std::max<int32_t>(1, repeat.Count);
  const int32_t shape = repeat.Shape <= 2 ? repeat.Shape : 0;
  double L;
  if (repeat.Wrap != 0)
    L = 10.0;
  else
    L = shape == 1 ? static_cast<double>(count) : static_cast<double>(std::min(count, 10));
  const double w1 = static_cast<double>(image.Width - 1);
  const double h1 = static_cast<double>(image.Height - 1);
  auto fix = [](double v) { return roundToInt32(v * 65536.0); };
  SFixPoint p0{0, 0};
  SFixPoint p1{0, 0};
  if (shape == 0) {
    p1 = {fix(w1 / L), 0};
  } else {
    const double cx = w1 / 2.0;
    const double cy = h1 / 2.0;
    p0 = {fix(cx), fix(cy)};
    p1 = shape == 1 ? SFixPoint{fix(w1), fix(cy)} : SFixPoint{fix(cx + std::max(cx, cy) / L), fix(cy)};
  }
  CGradation g(&stops);
  // Every argument was brought into range above, so the repeat is always taken.
  (void)g.setRepeat(shape, repeat.Mirror != 0 ? 1 : 0, count, repeat.Wrap != 0 ? 1 : 0);
  g.setPoints(p0, p1);
  g.fillRect(image, rectFromSize(image.size()));
}

}  // namespace pg
