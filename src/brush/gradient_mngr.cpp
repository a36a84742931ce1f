#include "brush/gradient_mngr.h"

#include <algorithm>

#include "core/assign_changed.h"
#include "platform/string_table.h"

namespace pg {

CGradMngr::CGradMngr(bool withFixed, IGradRangePrefs* prefs) : Prefs(prefs) {
  ensureFixedEntry(withFixed);
  setRange(prefsRange());
}

SGradRepeat CGradMngr::prefsRange() const {
  SGradRepeat r;
  if (Prefs != nullptr) r = Prefs->readGradRange();
  r.OwnSettings = 0;
  if (r.Count < 1) r.Count = 1;
  return r;
}

void CGradMngr::ensureFixedEntry(bool on) {
  if (on) {
    if (FixedIndex >= 0) return;
    auto g = CGradObj::CreateTwoColor(0x00000000u, resString(kFixedGradNameId), 0xFFFFFFFFu);
    g->setRepeat(prefsRange());
    Items.insert(Items.begin(), std::move(g));
    FixedIndex = 0;
    if (CurrentIndex >= 0) ++CurrentIndex;
  } else {
    if (FixedIndex < 0) return;
    const int32_t i = FixedIndex;
    FixedIndex = -1;
    Items.erase(Items.begin() + i);
    if (CurrentIndex == i) {
      CurrentIndex = -1;
      CurrentItem = nullptr;
      if (!Items.empty()) select(i);
    } else if (CurrentIndex > i) {
      --CurrentIndex;
    }
  }
}

SGradRepeat CGradMngr::getRange() const {
  const CGradObj* f = getFixed();
  return f != nullptr ? f->Repeat : Range;
}

void CGradMngr::setRange(const SGradRepeat& range) {
  SGradRepeat r = range;
  r.OwnSettings = 0;
  if (r.Count < 1) r.Count = 1;
  if (FixedIndex < 0) Range = r;
  for (auto& g : Items)
    if (g->Repeat.OwnSettings == 0) g->setRepeat(r);
  if (Prefs != nullptr) Prefs->writeGradRange(r);
}

int32_t CGradMngr::clear() {
  const int32_t n = count();
  Items.clear();
  FixedIndex = -1;
  CurrentItem = nullptr;
  CurrentIndex = -1;
  return n;
}

void CGradMngr::clearAll() {
  clear();
  Work.reset();
}

int32_t CGradMngr::select(int32_t i) {
  if (Items.empty()) {
    CurrentItem = nullptr;
    Work.reset();
    CurrentIndex = -1;
    return -1;
  }
  CurrentIndex = std::clamp(i, 0, count() - 1);
  CurrentItem = Items[static_cast<size_t>(CurrentIndex)].get();
  refreshWork();
  notifyChange();
  return CurrentIndex;
}

void CGradMngr::refreshWork() {
  if (CurrentItem == nullptr) {
    Work.reset();
    return;
  }
  if (!Work) Work = std::make_unique<CGradObj>();
  Work->assign(*CurrentItem);
}

int32_t CGradMngr::add(std::unique_ptr<CGradObj> preset) {
  if (!preset) return -1;
  Items.push_back(std::move(preset));
  setModified(true);
  return count() - 1;
}

int32_t CGradMngr::insert(int32_t index, std::unique_ptr<CGradObj> preset) {
  if (!preset || index < 0 || index > count()) return -1;
  Items.insert(Items.begin() + index, std::move(preset));
  if (FixedIndex >= index) ++FixedIndex;
  if (CurrentIndex >= index) ++CurrentIndex;
  setModified(true);
  return index;
}

int32_t CGradMngr::addTwoColor(TColor first, TColor second) {
  auto g = CGradObj::CreateTwoColor(first, std::string(), second);
  if (!g) return -1;
  g->setRepeat(getRange());
  return add(std::move(g));
}

bool CGradMngr::deleteItem(int32_t i) {
  if (!validIndex(i)) return false;
  const bool wasCurrent = i == CurrentIndex;
  Items.erase(Items.begin() + i);
  if (FixedIndex == i)
    FixedIndex = -1;
  else if (FixedIndex > i)
    --FixedIndex;
  if (wasCurrent) {
    CurrentItem = nullptr;
    CurrentIndex = -1;
    select(std::min(i, count() - 1));
  } else if (CurrentIndex > i) {
    // The current item stays current; its index moves down with it.
    --CurrentIndex;
  }
  setModified(true);
  return true;
}

CGradObj* CGradMngr::workCopy() {
  if (CurrentItem == nullptr) return nullptr;
  if (!Work) refreshWork();
  return Work.get();
}

bool CGradMngr::setWorkRepeat(const SGradRepeat& r, bool newId) {
  if (!Work) return false;
  Work->setRepeat(r);
  if (newId) Work->newId();
  return true;
}

bool CGradMngr::applyColors(TColor first, TColor second) {
  if (Items.empty()) return false;
  for (auto& g : Items) g->Stops.applyColors(first, second);
  if (Work) refreshWork();
  return true;
}

void CGradMngr::addBuiltins() {
  struct Stop {
    TColor Colour;
    int32_t Weight;
  };
  static const std::vector<Stop> kPresets[4] = {
      {{0xFF000000u, 0x10000}, {0xFFFFFFFFu, 0x10000}},
      {{0xFF000000u, 0x10000}, {0xFF00FFFFu, 0x10000}},
      {{0xFFFF0000u, 0x8000}, {0xFF00FF00u, 0x8000}, {0xFF0000FFu, 0x10000}},
      {{0xFFFF0000u, 21845},
       {0xFFFF0000u, 0},
       {0xFF00FF00u, 21845},
       {0xFF00FF00u, 0},
       {0xFF0000FFu, 21846},
       {0xFF0000FFu, 0x10000}},
  };
  for (int32_t k = 0; k < 4; ++k) {
    auto g = std::make_unique<CGradObj>();
    int32_t i = 0;
    bool whole = true;
    for (const Stop& s : kPresets[k]) whole = g->Stops.putColor(i++, s.Colour, 255, s.Weight) && whole;
    // A built-in that could not get all its stops is left out, never shown cut short.
    if (!whole) continue;
    g->setUntitledName(k + 1);
    g->normalize();
    (void)add(std::move(g));  // refused only for a null preset
  }
}

void CGradMngr::resetToBuiltins() {
  addBuiltins();
  if (!validIndex(CurrentIndex)) select(0);
}

void CGradMngr::setModified(bool b) {
  Modified = b;
  notifyChange();
}

void CGradMngr::setFileName(const std::string& name) {
  if (assignIfChanged(FileName, name)) notifyChange();
}

}  // namespace pg
