#pragma once
// Which screen cursor each tool shows. The screen cursors are numbered (the
// program's own drawings; 5 is the arrow, 38 a cursor loaded from a file),
// and two tables give the number per brush pen slot and per tool id, each in
// two rows: the ordinary cursors and the precise cross-hair set. The
// preferences choose the rows; the document window asks for a cursor choice
// and gets a screen cursor number back.
#include <array>
#include <cstdint>
#include <string>

#include "canvas/temporary_tools.h"
#include "canvas/tool_numbering.h"

namespace pg {

inline constexpr int32_t kCursorFromFile = 38;
inline constexpr int32_t kNoScreenCursor = -1;  // hidden: the brush outline stands in

// The stored cursor preferences.
struct SCursorPrefs {
  int32_t drawToolCursor = 0;   // 1: the pens show the cross-hair
  int32_t otherToolCursor = 0;  // 1: the other tools show the cross-hair set
  std::string cursorFile;       // a cursor file for every pen (unless drawToolCursor is 1)
};

// The table rows themselves (row 0 or 1).
const std::array<uint8_t, kPenSlotCount>& penCursorRow(int row);
const std::array<uint8_t, kToolIdCount>& otherCursorRow(int row);

class CToolCursorRows {
 public:
  CToolCursorRows();
  // Chooses the rows; true when the pens use the cursor file (number 38),
  // which the caller then loads.
  [[nodiscard]] bool apply(const SCursorPrefs& prefs);
  int32_t penCursor(PenSlot slot) const;
  int32_t toolCursor(ToolId id) const;
  // The screen cursor of a choice: a number of its own, the tool's or the
  // pen slot's; kNoScreenCursor for the hidden cursor.
  int32_t screenCursorOf(const SCursorChoice& c) const;

 private:
  std::array<uint8_t, kPenSlotCount> pen_{};
  std::array<uint8_t, kToolIdCount> other_{};
};

}  // namespace pg
