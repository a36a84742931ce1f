#pragma once
// The gradient preset list of the tool window: an owning list of CGradObj
// with a current item, an optional fixed two-colour entry at index 0, a work
// copy of the current item, the shared repeat range, a file name, a modified
// flag and a change call-back.
//
// Reading and writing gradient-set files, and the open and save dialogs, are
// the file layer's: it fills the list through add, clear, select, setRange,
// applyColors, setFileName and setModified.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "brush/gradient.h"

namespace pg {

// What the manager needs of the preferences: the shared repeat range (the
// shape, mirror, wrap and count of the gradient repeat).
class IGradRangePrefs {
 public:
  virtual ~IGradRangePrefs() = default;
  virtual SGradRepeat readGradRange() const = 0;
  virtual void writeGradRange(const SGradRepeat& range) = 0;
};

// The resource id of the fixed entry's name, "** 2色固定 **".
inline constexpr uint32_t kFixedGradNameId = 65275;

class CGradMngr {
 public:
  // Create(withFixed): empty, indexes -1, no work copy, not modified, no file
  // name, no call-back; ensureFixedEntry(withFixed); then setRange with the
  // preferences' range (the default range when prefs is nullptr). The
  // preferences object outlives the manager.
  explicit CGradMngr(bool withFixed, IGradRangePrefs* prefs = nullptr);
  CGradMngr(const CGradMngr&) = delete;
  CGradMngr& operator=(const CGradMngr&) = delete;

  // On and no fixed entry: inserts at index 0 a two-colour gradient (first
  // colour by marker 0, fixed white) named by kFixedGradNameId, with the
  // preferences' range. Off: deletes the fixed entry when there is one.
  void ensureFixedEntry(bool on);

  // The fixed entry's repeat when it exists, else the stored range.
  SGradRepeat getRange() const;
  // Without a fixed entry the record is stored; every gradient whose
  // own-settings byte is 0 takes it (own-settings 0); the preferences get
  // its shape, mirror, wrap and count.
  void setRange(const SGradRepeat& range);

  bool hasFixedEntry() const { return FixedIndex >= 0; }
  bool isFixed(int32_t i) const { return FixedIndex >= 0 && i == FixedIndex; }
  bool isCurrentFixed() const { return hasFixedEntry() && CurrentIndex == FixedIndex; }
  CGradObj* getFixed() const { return getItem(FixedIndex); }
  int32_t fixedIndex() const { return FixedIndex; }

  int32_t count() const { return static_cast<int32_t>(Items.size()); }
  bool validIndex(int32_t i) const { return i >= 0 && i < count(); }
  // nullptr when the index is invalid.
  CGradObj* getItem(int32_t i) const { return validIndex(i) ? Items[static_cast<size_t>(i)].get() : nullptr; }
  int32_t currentIndex() const { return CurrentIndex; }
  CGradObj* currentItem() const { return CurrentItem; }

  // Deletes every item (the fixed entry too); answers the old count.
  int32_t clear();
  // clear, with the indexes -1 and no current item.
  void clearAll();
  // Frees the work copy.
  void clearWork() { Work.reset(); }

  // With items: current := clamp(i, 0, count - 1), the current item and the
  // work copy follow, the change is notified; answers the index. Without:
  // no current item, no work copy, -1.
  int32_t select(int32_t i);
  // Appends (nullptr is refused with -1); marks modified; answers the index.
  [[nodiscard]] int32_t add(std::unique_ptr<CGradObj> preset);
  // Inserts at 0..count (count appends); the current and the fixed entry
  // keep their items. -1 (nothing taken) outside or for nullptr.
  [[nodiscard]] int32_t insert(int32_t index, std::unique_ptr<CGradObj> preset);
  // Adds a two-colour preset with an empty name; -1 when it could not be made.
  [[nodiscard]] int32_t addTwoColor(TColor first, TColor second);
  // Removes a valid index; when it was the current item, the same index (the
  // one before when it was the last) is selected; marks modified. The fixed
  // entry is an item like the others here, and its index follows. False for
  // an invalid index.
  [[nodiscard]] bool deleteItem(int32_t i);

  // The work copy of the current item, made when missing; nullptr without a
  // current item.
  [[nodiscard]] CGradObj* workCopy();
  CGradObj* work() const { return Work.get(); }
  // Sets the work copy's repeat (and a fresh id when asked); false without
  // a work copy.
  [[nodiscard]] bool setWorkRepeat(const SGradRepeat& r, bool newId);

  // applyColors on every preset, then the work copy is refreshed; false
  // when the list is empty.
  bool applyColors(TColor first, TColor second);

  // Appends the four built-in presets "untitled1".."untitled4".
  void addBuiltins();
  // addBuiltins, then select(0) when the current index is invalid.
  void resetToBuiltins();

  bool modified() const { return Modified; }
  void setModified(bool b);
  const std::string& fileName() const { return FileName; }
  void setFileName(const std::string& name);
  void setOnChange(std::function<void(CGradMngr&)> f) { OnChange = std::move(f); }
  void notifyChange() {
    if (OnChange) OnChange(*this);
  }

 private:
  void refreshWork();
  SGradRepeat prefsRange() const;

  std::vector<std::unique_ptr<CGradObj>> Items;
  int32_t FixedIndex = -1;
  int32_t CurrentIndex = -1;
  CGradObj* CurrentItem = nullptr;
  std::unique_ptr<CGradObj> Work;
  SGradRepeat Range;
  bool Modified = false;
  std::string FileName;
  std::function<void(CGradMngr&)> OnChange;
  IGradRangePrefs* Prefs = nullptr;
};

}  // namespace pg
