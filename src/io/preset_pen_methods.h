#pragma once
// The brush presets of the brush-set panel: CPenMethodObj (one pen method:
// its records, name, own nib and icon) and CPenMethodMngr (the owning list
// with a current index, a second selection, five slot indices, a modified
// flag, a file name and a change call-back). The list always ends up holding
// at least one method of each of the nine pen-method kinds (9..17). Its file
// format is pen_method_file.h.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "brush/paint_param.h"
#include "brush/pen_shape_obj.h"
#include "core/planes.h"
#include "io/preset_common.h"

namespace pg {

// The next id of the process-wide counter of pen methods (starting at 1;
// never 0) and its reset (tests).
uint32_t nextPenMethodId();
void resetPenMethodIds();

inline constexpr int32_t kPenMethodIconSide = 128;
inline constexpr int32_t kPenMethodSmallIconSide = 32;

class CPenMethodObj final : public IPenMethod {
 public:
  // Not valid until its records are set; a fresh id; no nib, no icon.
  CPenMethodObj();
  ~CPenMethodObj() override;
  CPenMethodObj(const CPenMethodObj&) = delete;
  CPenMethodObj& operator=(const CPenMethodObj&) = delete;

  // The records (render, the gradation and tone switches, stroke); setting
  // them makes the method valid.
  SPenMethodParams getParams() const override { return Params; }
  void setParams(const SPenMethodParams& params) override;
  [[nodiscard]] bool valid() const { return Valid; }
  uint32_t id() const { return Id; }

  // The own nib, made (parametric) when missing; nullptr only without memory.
  [[nodiscard]] CPenShapeObj* penShape() override;
  [[nodiscard]] const CPenShapeObj* penShape() const override { return Shape.get(); }
  [[nodiscard]] bool hasOwnShape() const { return Shape != nullptr; }
  // Takes the nib over (nullptr drops the own nib).
  void setPenShape(std::unique_ptr<CPenShapeObj> shape);
  // Copies the nib into the own one (made when missing); false when the copy
  // fails.
  [[nodiscard]] bool assignPenShape(const CPenShapeObj& shape);

  // The 128 x 128 icon; nullptr when there is none.
  [[nodiscard]] const TMTC* icon() const override { return Icon.get(); }
  [[nodiscard]] const TMTC* smallIcon() const { return SmallIcon.get(); }
  [[nodiscard]] bool hasIcon() const { return Icon != nullptr && SmallIcon != nullptr; }
  // Keeps a copy, scaled to 128 x 128 when of another size, and its 32 x 32
  // copy; nullptr (or an empty plane) removes the icon. False when the copies
  // cannot be had (the icon is then removed).
  [[nodiscard]] bool setIcon(const TMTC* icon) override;

  std::string name() const override { return Name; }
  void setName(std::string_view name) override { Name = std::string(name); }

  // The paint kind the render record names; false when it names none or the
  // method is not valid.
  [[nodiscard]] bool paintKind(uint8_t& kind) const;

 private:
  bool Valid = false;
  uint32_t Id = 0;
  std::string Name;
  SPenMethodParams Params;
  std::unique_ptr<CPenShapeObj> Shape;
  std::unique_ptr<TMTC> Icon;
  std::unique_ptr<TMTC> SmallIcon;
};

inline constexpr int32_t kPenMethodSlotCount = 5;
using PenMethodSlots = std::array<int32_t, kPenMethodSlotCount>;

class CPenMethodMngr : public CPresetListState<CPenMethodMngr> {
 public:
  // The open dialog of brush sets (its save dialog is 11).
  static constexpr int32_t kOpenDialogKind = kDialogPenMethods;

  CPenMethodMngr() = default;
  CPenMethodMngr(const CPenMethodMngr&) = delete;
  CPenMethodMngr& operator=(const CPenMethodMngr&) = delete;

  int32_t count() const { return static_cast<int32_t>(Items.size()); }
  [[nodiscard]] bool isValidIndex(int32_t i) const { return i >= 0 && i < count(); }
  [[nodiscard]] CPenMethodObj* getItem(int32_t i) const { return isValidIndex(i) ? Items[size_t(i)].get() : nullptr; }
  int32_t currentIndex() const { return CurrentIndex; }
  [[nodiscard]] CPenMethodObj* current() const { return getItem(CurrentIndex); }
  int32_t secondSelection() const { return SecondSelection; }

  // Deletes every method; current and second selection -1.
  void clear();
  // A valid index becomes current and the change is told.
  void setCurrentIndex(int32_t i);
  // A valid index is stored; otherwise, with clamp, the index clamped to the
  // list (-1 for an empty list). Tells the change.
  void setSecondSelection(int32_t i, bool clamp);
  // The five slot indices; getSlots answers whether they were set.
  void setSlots(const PenMethodSlots& slots);
  [[nodiscard]] bool getSlots(PenMethodSlots& slots) const;

  // Takes the method at 0..count (count appends), moving the slot indices;
  // -1 (the method is freed) outside or without one. Sets modified.
  [[nodiscard]] int32_t insert(int32_t index, std::unique_ptr<CPenMethodObj> method);
  [[nodiscard]] int32_t add(std::unique_ptr<CPenMethodObj> method) { return insert(count(), std::move(method)); }
  // Deletes a valid index, moves the slot indices and keeps the current
  // index below the count; sets modified. False for an invalid index.
  [[nodiscard]] bool deleteItem(int32_t i);

  // Whether each of the nine pen-method kinds has a method.
  [[nodiscard]] bool hasAllKinds() const;
  // Appends a default method (a new parametric nib, the kind's default paint
  // parameters at the starting size of its stroke tool) for each missing
  // kind; then selects 0 when the current index is not valid. Answers how
  // many were added.
  int32_t addMissingKinds();

  // Reads a file (a failure shows the message with "ブラシ集" and the code);
  // afterwards the missing kinds are added.
  [[nodiscard]] bool loadFromFile(const std::string& path, bool append);
  // Writes the set; a failure shows the path in a warning.
  [[nodiscard]] bool saveToFile(const std::string& path);
  // The preferences' brush file, else "default.pmt" in the pen folder, else
  // in the program's "preset" folder; a load that leaves a kind missing
  // counts as failed. On failure: the missing kinds with useDefaults, and the
  // preferences' file and the file name are cleared.
  [[nodiscard]] bool loadDefault(bool useDefaults, IPresetPrefs& prefs);

 private:
  // After a method came or went at index i (d = +1 or -1).
  void moveSlots(int32_t i, int32_t d);

  std::vector<std::unique_ptr<CPenMethodObj>> Items;
  int32_t CurrentIndex = -1;
  int32_t SecondSelection = -1;
  bool SlotsSet = false;
  PenMethodSlots Slots{};
};

}  // namespace pg
