#pragma once
// The nib list of the brush tools (CPenShapeMngr): an owning list of
// CPenShapeObj with a current index (-1 for none), a modified flag, a file
// name and a change call-back called after every change. Its file format is
// pen_shape_file.h.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "brush/pen_shape_obj.h"
#include "io/preset_common.h"

namespace pg {

// The seven built-in nibs, in list order.
inline constexpr int32_t kBuiltinPenShapeCount = 7;
const SPenShapeRecord& builtinPenShape(int32_t i);

class CPenShapeMngr : public CPresetListState<CPenShapeMngr> {
 public:
  // The open dialog of nib sets (its save dialog is 12).
  static constexpr int32_t kOpenDialogKind = kDialogPenShapes;

  CPenShapeMngr() = default;
  CPenShapeMngr(const CPenShapeMngr&) = delete;
  CPenShapeMngr& operator=(const CPenShapeMngr&) = delete;

  int32_t count() const { return static_cast<int32_t>(Items.size()); }
  [[nodiscard]] bool isValidIndex(int32_t i) const { return i >= 0 && i < count(); }
  [[nodiscard]] CPenShapeObj* getItem(int32_t i) const { return isValidIndex(i) ? Items[size_t(i)].get() : nullptr; }
  int32_t currentIndex() const { return CurrentIndex; }
  [[nodiscard]] CPenShapeObj* current() const { return getItem(CurrentIndex); }

  // Deletes every nib; current -1.
  void clear();
  // A valid index becomes current and the change is told; others are ignored.
  void select(int32_t i);
  // A new parametric nib of the record, appended; -1 when it cannot be had.
  [[nodiscard]] int32_t addFromRecord(const SPenShapeRecord& record);
  // Takes the nib at 0..count (count appends); -1 (the nib is freed) for an
  // index outside or a missing nib. Sets modified.
  [[nodiscard]] int32_t insert(int32_t index, std::unique_ptr<CPenShapeObj> shape);
  [[nodiscard]] int32_t add(std::unique_ptr<CPenShapeObj> shape) { return insert(count(), std::move(shape)); }
  // Deletes a valid index, keeps the current index below the count; sets
  // modified. False for an invalid index.
  [[nodiscard]] bool deleteItem(int32_t i);
  // Appends the seven built-ins and selects 0; answers how many were added.
  int32_t addDefaults();
  // addDefaults, then select 0 when nothing was added or the current index
  // is not valid.
  void resetToDefaults();

  // Reads a file; a failure shows the message with "ペン先集" and the code.
  [[nodiscard]] bool loadFromFile(const std::string& path, bool append);
  // Writes the set; a failure shows the path in a warning.
  [[nodiscard]] bool saveToFile(const std::string& path);
  // The preferences' nib file, else "default.psh" in the pen folder, else in
  // the program's "preset" folder. When nothing loads: the built-ins with
  // useBuiltins, and the preferences' file and the file name are cleared.
  [[nodiscard]] bool loadDefault(bool useBuiltins, IPresetPrefs& prefs);

 private:
  std::vector<std::unique_ptr<CPenShapeObj>> Items;
  int32_t CurrentIndex = -1;
};

}  // namespace pg
