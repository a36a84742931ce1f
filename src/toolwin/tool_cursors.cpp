#include "toolwin/tool_cursors.h"

#include "core/lookup_mask.h"

namespace pg {

namespace {

constexpr std::array<uint8_t, kPenSlotCount> kPenRow0 = {12, 13, 14, 15, 16, 16, 17, 19, 20,
                                                         12, 13, 14, 15, 16, 17, 18, 19, 20};
constexpr std::array<uint8_t, kPenSlotCount> kPenRow1 = {34, 34, 34, 34, 34, 34, 34, 34, 34,
                                                         34, 34, 34, 34, 34, 34, 34, 34, 34};
constexpr std::array<uint8_t, kToolIdCount> kOtherRow0 = {5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,
                                                          5,  21, 13, 5,  5,  5,  5,  5,  5,  22, 26,
                                                          26, 26, 26, 27, 27, 5,  28, 31, 31, 32, 33};
constexpr std::array<uint8_t, kToolIdCount> kOtherRow1 = {34, 34, 34, 34, 34, 34, 5,  34, 34, 34, 34,
                                                          34, 34, 34, 34, 34, 34, 34, 34, 34, 34, 26,
                                                          26, 26, 26, 27, 27, 34, 34, 31, 31, 32, 33};

}  // namespace

const std::array<uint8_t, kPenSlotCount>& penCursorRow(int row) { return row == 1 ? kPenRow1 : kPenRow0; }
const std::array<uint8_t, kToolIdCount>& otherCursorRow(int row) { return row == 1 ? kOtherRow1 : kOtherRow0; }

CToolCursorRows::CToolCursorRows() : pen_(kPenRow0), other_(kOtherRow0) {}

bool CToolCursorRows::apply(const SCursorPrefs& prefs) {
  bool fromFile = false;
  if (prefs.drawToolCursor == 1) {
    pen_ = kPenRow1;
  } else if (!prefs.cursorFile.empty()) {
    pen_.fill(static_cast<uint8_t>(kCursorFromFile));
    fromFile = true;
  } else {
    pen_ = kPenRow0;
  }
  other_ = otherCursorRow(prefs.otherToolCursor == 1 ? 1 : 0);
  return fromFile;
}

int32_t CToolCursorRows::penCursor(PenSlot slot) const {
  const uint8_t i = byteOf(slot) & kByteLookupMask;
  return i < kPenSlotCount ? pen_[i] : kArrowCursor;
}

int32_t CToolCursorRows::toolCursor(ToolId id) const {
  const uint8_t i = byteOf(id) & kByteLookupMask;
  return i < kToolIdCount ? other_[i] : kArrowCursor;
}

int32_t CToolCursorRows::screenCursorOf(const SCursorChoice& c) const {
  switch (c.kind) {
    case CursorKind::Custom: return c.number;
    case CursorKind::Tool: return toolCursor(static_cast<ToolId>(c.number & 0xFF));
    case CursorKind::PenSlot: return penCursor(static_cast<PenSlot>(c.number & 0xFF));
    case CursorKind::Hidden: return kNoScreenCursor;
  }
  return kArrowCursor;
}

}  // namespace pg
