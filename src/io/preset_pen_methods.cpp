#include "io/preset_pen_methods.h"

#include <algorithm>
#include <new>

#include "brush/paint_param_kinds.h"
#include "brush/stroke_settings.h"
#include "core/area_scale.h"
#include "core/chunk_head.h"
#include "io/pen_method_file.h"

namespace pg {

namespace {

uint32_t gNextPenMethodId = 1;

constexpr uint8_t kFirstPenKind = 9;
constexpr uint8_t kPenKindCount = 9;

// A copy of the picture at side x side: the same pixels when it already has
// that size, else scaled over the whole square.
[[nodiscard]] std::unique_ptr<TMTC> squareCopy(const TMTC& src, int32_t side) {
  if (src.Width == side && src.Height == side) {
    std::unique_ptr<TMTC> copy = TMTC::CreateCopy(src);
    return isPlaneReady(copy.get()) ? std::move(copy) : nullptr;
  }
  auto copy = std::make_unique<TMTC>(side, side);
  if (!isPlaneReady(copy.get()) || !scaleToFitTMTC(*copy, src, false, 0)) return nullptr;
  return copy;
}

}  // namespace

uint32_t nextPenMethodId() {
  const uint32_t id = gNextPenMethodId++;
  if (gNextPenMethodId == 0) gNextPenMethodId = 1;
  return id;
}

void resetPenMethodIds() { gNextPenMethodId = 1; }

// ---- CPenMethodObj ----------------------------------------------------------------

CPenMethodObj::CPenMethodObj() : Id(nextPenMethodId()) {}

CPenMethodObj::~CPenMethodObj() = default;

void CPenMethodObj::setParams(const SPenMethodParams& params) {
  Params = params;
  Valid = true;
}

CPenShapeObj* CPenMethodObj::penShape() {
  if (!Shape) Shape.reset(new (std::nothrow) CPenShapeObj());
  return Shape.get();
}

void CPenMethodObj::setPenShape(std::unique_ptr<CPenShapeObj> shape) { Shape = std::move(shape); }

bool CPenMethodObj::assignPenShape(const CPenShapeObj& shape) {
  CPenShapeObj* own = penShape();
  return own != nullptr && own->assign(shape);
}

bool CPenMethodObj::setIcon(const TMTC* icon) {
  Icon.reset();
  SmallIcon.reset();
  if (icon == nullptr || !isPlaneReady(icon) || icon->Width <= 0 || icon->Height <= 0) return true;
  std::unique_ptr<TMTC> large = squareCopy(*icon, kPenMethodIconSide);
  std::unique_ptr<TMTC> small = large ? squareCopy(*large, kPenMethodSmallIconSide) : nullptr;
  if (!small) return false;
  Icon = std::move(large);
  SmallIcon = std::move(small);
  return true;
}

bool CPenMethodObj::paintKind(uint8_t& kind) const { return Valid && TPaintParam::kindOfPenMethod(kind, this); }

// ---- CPenMethodMngr ---------------------------------------------------------------

void CPenMethodMngr::clear() {
  Items.clear();
  CurrentIndex = -1;
  SecondSelection = -1;
  notifyChange();
}

void CPenMethodMngr::setCurrentIndex(int32_t i) {
  if (!isValidIndex(i)) return;
  CurrentIndex = i;
  notifyChange();
}

void CPenMethodMngr::setSecondSelection(int32_t i, bool clamp) {
  if (isValidIndex(i))
    SecondSelection = i;
  else if (clamp)
    SecondSelection = count() > 0 ? std::clamp(i, 0, count() - 1) : -1;
  notifyChange();
}

void CPenMethodMngr::setSlots(const PenMethodSlots& slots) {
  Slots = slots;
  SlotsSet = true;
}

bool CPenMethodMngr::getSlots(PenMethodSlots& slots) const {
  slots = Slots;
  return SlotsSet;
}

void CPenMethodMngr::moveSlots(int32_t i, int32_t d) {
  if (!SlotsSet) return;
  const int32_t last = std::max(count() - 1, 0);
  for (int32_t& s : Slots) {
    // A method inserted at i pushes the one that was there along with the
    // rest; a deleted one pulls those above it down.
    if (d > 0 ? s >= i : s > i) s += d;
    s = std::clamp(s, 0, last);
  }
}

int32_t CPenMethodMngr::insert(int32_t index, std::unique_ptr<CPenMethodObj> method) {
  if (!method || index < 0 || index > count()) return -1;
  try {
    Items.insert(Items.begin() + index, std::move(method));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  moveSlots(index, +1);
  setModified(true);
  return index;
}

bool CPenMethodMngr::deleteItem(int32_t i) {
  if (!isValidIndex(i)) return false;
  Items.erase(Items.begin() + i);
  moveSlots(i, -1);
  if (CurrentIndex >= count()) CurrentIndex = count() - 1;
  if (SecondSelection >= count()) SecondSelection = count() - 1;
  setModified(true);
  return true;
}

bool CPenMethodMngr::hasAllKinds() const {
  bool seen[kPenKindCount] = {};
  for (const auto& m : Items) {
    uint8_t kind = 0;
    if (m->paintKind(kind) && kind >= kFirstPenKind && kind < kFirstPenKind + kPenKindCount)
      seen[kind - kFirstPenKind] = true;
  }
  return std::all_of(std::begin(seen), std::end(seen), [](bool b) { return b; });
}

int32_t CPenMethodMngr::addMissingKinds() {
  bool seen[kPenKindCount] = {};
  for (const auto& m : Items) {
    uint8_t kind = 0;
    if (m->paintKind(kind) && kind >= kFirstPenKind && kind < kFirstPenKind + kPenKindCount)
      seen[kind - kFirstPenKind] = true;
  }
  int32_t added = 0;
  for (uint8_t k = 0; k < kPenKindCount; ++k) {
    if (seen[k]) continue;
    TPaintParam params(uint8_t(kFirstPenKind + k));
    // No set file gave this kind a brush: the one made for it starts at the
    // size its stroke tool starts at, not at the one pixel of the blank record.
    SPenSetting start;
    if (strokeDefaults(start, paintKindStrokeKind(params.kind))) params.size = start.WIDTH;
    auto method = std::make_unique<CPenMethodObj>();
    method->setPenShape(std::make_unique<CPenShapeObj>());
    if (!params.storeToPenMethod(method.get())) continue;
    if (add(std::move(method)) >= 0) ++added;
  }
  if (!isValidIndex(CurrentIndex)) setCurrentIndex(0);
  return added;
}

bool CPenMethodMngr::loadFromFile(const std::string& path, bool append) {
  const FileResult code = loadPenMethodFile(path, *this, append);
  if (code != kRcOk) showPresetLoadFailed(kResPenMethodSetWord, code);
  if (!hasAllKinds()) addMissingKinds();
  return code == kRcOk;
}

bool CPenMethodMngr::saveToFile(const std::string& path) { return presetSaved(savePenMethodFile(path, *this), path); }

bool CPenMethodMngr::loadDefault(bool useDefaults, IPresetPrefs& prefs) {
  // A set that leaves a kind missing counts as not loaded.
  const auto load = [&](const std::string& path) {
    const FileResult code = loadPenMethodFile(path, *this, false);
    if (code != kRcOk) showPresetLoadFailed(kResPenMethodSetWord, code);
    return code == kRcOk && hasAllKinds();
  };
  return loadDefaultPresetFile(
      prefs, PresetSet::PenMethods, useDefaults, load, [&] { addMissingKinds(); }, [&] { setFileName(std::string()); });
}

}  // namespace pg
