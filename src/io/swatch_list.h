#pragma once
// The swatch list of the colour panels (TSwatchMngr): an owning list of
// colours with the cell size and grid the panel shows them in, a modified
// flag, a file name and a change call-back. It reads and writes the palette
// formats of palette_file.h, chosen by the file's extension.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/chunk_head.h"
#include "io/palette_file.h"
#include "io/preset_common.h"

namespace pg {

// One swatch: a palette colour (B, G, R and the ".aco" colour space, see
// palette_file.h) and a name.
struct TSwatchItem {
  uint32_t Color = 0;
  std::string Name;
};

// The name of every colour the program adds.
inline constexpr std::string_view kUndefinedSwatchName = "Undefined";

class TSwatchMngr : public CPresetListState<TSwatchMngr> {
 public:
  // The open dialog of palettes (its save dialog is 13).
  static constexpr int32_t kOpenDialogKind = kDialogPalette;

  static constexpr uint32_t kMinCell = 8, kMaxCell = 64;
  static constexpr uint32_t kMinGrid = 1, kMaxGrid = 64;
  static constexpr int32_t kDefaultColorCount = 256;

  // Empty, cells of 12 x 12, a grid of 16 x 16, not modified, no file name.
  TSwatchMngr() = default;
  TSwatchMngr(const TSwatchMngr&) = delete;
  TSwatchMngr& operator=(const TSwatchMngr&) = delete;

  int32_t count() const { return static_cast<int32_t>(Items.size()); }
  [[nodiscard]] bool isValidIndex(int32_t i) const { return i >= 0 && i < count(); }
  // nullptr for an invalid index.
  [[nodiscard]] const TSwatchItem* getItem(int32_t i) const { return isValidIndex(i) ? Items[size_t(i)].get() : nullptr; }

  // A new item "Undefined" of the colour, inserted at index (-1 or past the
  // end appends); answers its index, -1 when it could not be had.
  [[nodiscard]] int32_t addColor(int32_t index, uint32_t colour);
  // Inserts a copy of the item the same way; sets modified.
  [[nodiscard]] int32_t insertItem(int32_t index, const TSwatchItem& item);
  // Deletes at a valid index; sets modified. False otherwise.
  [[nodiscard]] bool deleteItem(int32_t index);
  // Deletes every item.
  void clear();
  // Appends the 256 default colours: blue level b 0..3, green g 0..7, red r
  // 0..7 (red innermost), with B = 85b, G = 36g + g/2, R = 36r + r/2.
  void addDefaultColors();

  uint32_t cellWidth() const { return CellWidth; }
  uint32_t cellHeight() const { return CellHeight; }
  uint32_t columns() const { return Columns; }
  uint32_t rows() const { return Rows; }
  // Stored clamped to 8..64 (cells) and 1..64 (grid).
  void setCellSize(uint32_t width, uint32_t height);
  void setGrid(uint32_t columns, uint32_t rows);

  // Loads a palette file (replacing the colours unless appending); a failure
  // shows the message with the code.
  [[nodiscard]] bool loadFromFile(const std::string& path, bool append);
  // Saves to a path; the format follows the extension. A failure shows the
  // path in a warning.
  [[nodiscard]] bool saveToFile(const std::string& path);
  // The preferences' palette file, else "default.kpl" in the palette folder,
  // else in the program's "preset" folder. When nothing loads: the default
  // colours with useDefaults, and the preferences' file and the list's file
  // name are cleared.
  [[nodiscard]] bool loadDefault(bool useDefaults, IPresetPrefs& prefs);

  // Appends without notifying (the loader); false when memory ran out.
  [[nodiscard]] bool appendQuiet(uint32_t colour);

 private:
  std::vector<std::unique_ptr<TSwatchItem>> Items;
  uint32_t CellWidth = 12;
  uint32_t CellHeight = 12;
  uint32_t Columns = 16;
  uint32_t Rows = 16;
};

// Reads a palette file into the list. Codes: 4 the file is missing; 15 a
// kind of no known extension; 37 no colour read; 48 a colour the list could
// not take; 1, 3. On success the path becomes the list's file name and the
// modified flag the append flag.
[[nodiscard]] FileResult loadSwatchFile(const std::string& path, TSwatchMngr& list, bool append);
// Writes the list in the format of the path's extension: 15 for none of them,
// 37 for an empty list, 1 when the colours cannot be copied, 64 when the
// writer failed. On success the path becomes the file name and the list is
// unmodified.
[[nodiscard]] FileResult saveSwatchFile(const std::string& path, TSwatchMngr& list);

}  // namespace pg
