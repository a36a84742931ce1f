#include "canvas/tool_numbering.h"

#include <array>

#include "core/lookup_mask.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"

namespace pg {

namespace {

// Index into a table after dropping the top bit of the byte; -1 when the
// number lies past the table.
constexpr int indexIn(uint8_t raw, int tableSize) {
  int i = raw & kByteLookupMask;
  return i < tableSize ? i : -1;
}

// ---- Tool ids -----------------------------------------------------------------

struct SToolIdEntry {
  ToolClass cls;
  int32_t variant;
};

constexpr std::array<SToolIdEntry, kToolIdCount> kToolIds = {{
    {ToolClass::Brush, 0},        // 0 freehand brush
    {ToolClass::BrushShape, 3},   // 1 single line
    {ToolClass::BrushShape, 4},   // 2 multi line
    {ToolClass::BrushShape, 0},   // 3 rectangle
    {ToolClass::BrushShape, 2},   // 4 ellipse
    {ToolClass::BrushShape, 1},   // 5 polygon
    {ToolClass::Hand, 2},         // 6 brush-size drag
    {ToolClass::Drag, 3},         // 7 gradation
    {ToolClass::FillShape, 0},    // 8 rectangle fill
    {ToolClass::FillShape, 2},    // 9 ellipse fill
    {ToolClass::FillShape, 1},    // 10 polygon fill
    {ToolClass::FillShape, 3},    // 11 freehand fill
    {ToolClass::Seed, kSeedBucketFill},         // 12 bucket fill
    {ToolClass::Seed, kSeedMagicEraser},         // 13 magic eraser
    {ToolClass::SelectShape, 0},  // 14 rectangle select
    {ToolClass::SelectShape, 2},  // 15 ellipse select
    {ToolClass::SelectShape, 1},  // 16 polygon select
    {ToolClass::SelectShape, 3},  // 17 freehand select
    {ToolClass::Drag, 1},         // 18 selection move
    {ToolClass::Drag, 7},         // 19 cursor-key selection move
    {ToolClass::Seed, kSeedAutoSelect},         // 20 automatic select
    {ToolClass::Drag, 0},         // 21 layer move
    {ToolClass::Drag, 6},         // 22 cursor-key layer move
    {ToolClass::Drag, 2},         // 23 layer move following the selection
    {ToolClass::Drag, 8},         // 24 cursor-key layer and selection move
    {ToolClass::Text, 0},         // 25 text drawing
    {ToolClass::Text, 1},         // 26 text selection
    {ToolClass::Drag, 4},         // 27 crop
    {ToolClass::Eyedropper, 0},   // 28 eyedropper
    {ToolClass::Hand, 0},         // 29 scrolling
    {ToolClass::Hand, 1},         // 30 view rotation
    {ToolClass::Zoom, 0},         // 31 zoom in
    {ToolClass::Zoom, 1},         // 32 zoom out
}};

// 1: the class may not become current while the document replays.
constexpr std::array<uint8_t, kToolClassCount> kRefusedDuringReplay = {1, 0, 0, 0, 1, 1, 1, 1, 1, 1};

// The variant of an id when it belongs to the class; the kind lookups of the
// handler classes are exactly this.
bool kindInClass(ToolId id, ToolClass cls, int32_t& kind) {
  int i = indexIn(byteOf(id), kToolIdCount);
  if (i < 0 || kToolIds[i].cls != cls) return false;
  kind = kToolIds[i].variant;
  return true;
}

// ---- Tool modes ---------------------------------------------------------------

// Mode names live in the resource strings at kModeNameBase + mode; the
// version-3 compatible modes borrow the name of their current counterpart,
// and the view rotation shares the hand's name.
constexpr uint32_t kModeNameBase = 64704;
constexpr uint32_t kCompatSuffixId = 64703;
constexpr int8_t kNoPenSlot = -1;

struct SModeEntry {
  ToolId id;
  int8_t penSlot;       // kNoPenSlot: the mode keeps no pen settings
  uint8_t settingKind;
  uint8_t nameMode;     // the mode whose name string this one shows
  bool compat;          // shown as the name + " - 3互換"
};

constexpr std::array<SModeEntry, kToolModeCount> kModes = {{
    {ToolId::Brush, 9, 0, 0, false},                          // 0 pencil
    {ToolId::Brush, 0, 0, 0, true},                           // 1 pencil, compat
    {ToolId::Brush, 10, 0, 2, false},                         // 2 eraser
    {ToolId::MagicEraser, kNoPenSlot, 0, 3, false},           // 3 magic eraser
    {ToolId::Brush, 1, 0, 2, true},                           // 4 eraser, compat
    {ToolId::Brush, 11, 0, 5, false},                         // 5 watercolour
    {ToolId::Brush, 2, 0, 5, true},                           // 6 watercolour, compat
    {ToolId::Brush, 12, 0, 7, false},                         // 7 airbrush
    {ToolId::Brush, 3, 0, 7, true},                           // 8 airbrush, compat
    {ToolId::Brush, 13, 0, 9, false},                         // 9 blur
    {ToolId::Brush, 14, 0, 10, false},                        // 10 finger
    {ToolId::Brush, 15, 0, 11, false},                        // 11 stretch
    {ToolId::Brush, 4, 0, 9, true},                           // 12 blur, compat
    {ToolId::Brush, 6, 0, 10, true},                          // 13 finger, compat
    {ToolId::Brush, 16, 0, 14, false},                        // 14 burn
    {ToolId::Brush, 17, 0, 15, false},                        // 15 dodge
    {ToolId::Brush, 7, 0, 14, true},                          // 16 burn, compat
    {ToolId::Brush, 8, 0, 15, true},                          // 17 dodge, compat
    {ToolId::FillRectangle, kNoPenSlot, 11, 18, false},       // 18
    {ToolId::FillEllipse, kNoPenSlot, 11, 19, false},         // 19
    {ToolId::FillPolygon, kNoPenSlot, 11, 20, false},         // 20
    {ToolId::FillFreehand, kNoPenSlot, 11, 21, false},        // 21
    {ToolId::BucketFill, kNoPenSlot, 4, 22, false},           // 22
    {ToolId::Gradation, kNoPenSlot, 19, 23, false},           // 23
    {ToolId::SelectRectangle, kNoPenSlot, 16, 24, false},     // 24
    {ToolId::SelectEllipse, kNoPenSlot, 16, 25, false},       // 25
    {ToolId::SelectPolygon, kNoPenSlot, 17, 26, false},       // 26
    {ToolId::SelectFreehand, kNoPenSlot, 17, 27, false},      // 27
    {ToolId::AutoSelect, kNoPenSlot, 18, 28, false},          // 28
    {ToolId::LayerMove, kNoPenSlot, 8, 29, false},            // 29
    {ToolId::LayerMoveWithSelection, kNoPenSlot, 8, 30, false},  // 30
    {ToolId::TextDraw, kNoPenSlot, 14, 31, false},            // 31
    {ToolId::TextSelect, kNoPenSlot, 15, 32, false},          // 32
    {ToolId::Crop, kNoPenSlot, 20, 33, false},                // 33
    {ToolId::Eyedropper, kNoPenSlot, 9, 34, false},           // 34
    {ToolId::HandScroll, kNoPenSlot, 2, 35, false},           // 35
    {ToolId::ViewRotation, kNoPenSlot, 1, 35, false},         // 36 shares the hand's name
    {ToolId::ZoomIn, kNoPenSlot, 5, 37, false},               // 37
}};

constexpr std::array<ToolMode, kPenSlotCount> kModeOfPenSlot = {
    ToolMode::PencilV3,  ToolMode::EraserV3, ToolMode::WatercolourV3, ToolMode::AirbrushV3,
    ToolMode::BlurV3,    ToolMode::BlurV3,   ToolMode::FingerV3,      ToolMode::BurnV3,
    ToolMode::DodgeV3,   ToolMode::Pencil,   ToolMode::Eraser,        ToolMode::Watercolour,
    ToolMode::Airbrush,  ToolMode::Blur,     ToolMode::Finger,        ToolMode::Stretch,
    ToolMode::Burn,      ToolMode::Dodge,
};

static_assert(kResShapeSubModeNames.size() == kShapeSubModeCount);

// Every mode that has a pen slot is the mode of that slot, so the two tables
// can never drift apart unnoticed.
constexpr bool penSlotsRoundTrip() {
  for (int m = 0; m < kToolModeCount; ++m) {
    int s = kModes[m].penSlot;
    if (s == kNoPenSlot) continue;
    if (s < 0 || s >= kPenSlotCount || static_cast<int>(kModeOfPenSlot[s]) != m) return false;
  }
  return true;
}
static_assert(penSlotsRoundTrip());

constexpr bool idsRoundTrip() {
  for (int t = 0; t < kToolIdCount; ++t)
    for (int u = 0; u < t; ++u)
      if (kToolIds[t].cls == kToolIds[u].cls && kToolIds[t].variant == kToolIds[u].variant) return false;
  return true;
}
static_assert(idsRoundTrip());

}  // namespace

// ---- Tool ids and classes -----------------------------------------------------

ToolClass toolClassOf(ToolId id) {
  int i = indexIn(byteOf(id), kToolIdCount);
  return i < 0 ? ToolClass::None : kToolIds[i].cls;
}

int32_t toolVariantOf(ToolId id) {
  int i = indexIn(byteOf(id), kToolIdCount);
  return i < 0 ? -1 : kToolIds[i].variant;
}

ToolId toolIdOf(ToolClass cls, int32_t variant) {
  int c = indexIn(byteOf(cls), kToolClassCount);
  if (c < 0) return ToolId::None;
  for (int t = 0; t < kToolIdCount; ++t)
    if (static_cast<int>(kToolIds[t].cls) == c && kToolIds[t].variant == variant) return static_cast<ToolId>(t);
  return ToolId::None;
}

bool refusedDuringReplay(ToolClass cls) {
  int c = indexIn(byteOf(cls), kToolClassCount);
  return c < 0 || kRefusedDuringReplay[c] != 0;
}

bool brushShapeKindOf(ToolId id, int32_t& kind) { return kindInClass(id, ToolClass::BrushShape, kind); }
bool seedKindOf(ToolId id, int32_t& kind) { return kindInClass(id, ToolClass::Seed, kind); }
bool dragKindOf(ToolId id, int32_t& kind) { return kindInClass(id, ToolClass::Drag, kind); }
bool fillShapeKindOf(ToolId id, int32_t& kind) { return kindInClass(id, ToolClass::FillShape, kind); }
bool selectShapeKindOf(ToolId id, int32_t& kind) { return kindInClass(id, ToolClass::SelectShape, kind); }
bool handKindOf(ToolId id, int32_t& kind) { return kindInClass(id, ToolClass::Hand, kind); }

// ---- Tool modes and pen slots -------------------------------------------------

ToolId toolIdOfMode(ToolMode mode) {
  int m = indexIn(byteOf(mode), kToolModeCount);
  return m < 0 ? ToolId::None : kModes[m].id;
}

bool penSlotOfMode(ToolMode mode, PenSlot& slot) {
  int m = indexIn(byteOf(mode), kToolModeCount);
  if (m < 0 || kModes[m].penSlot == kNoPenSlot) return false;
  slot = static_cast<PenSlot>(kModes[m].penSlot);
  return true;
}

ToolMode modeOfPenSlot(PenSlot slot) {
  int s = indexIn(byteOf(slot), kPenSlotCount);
  return s < 0 ? ToolMode::None : kModeOfPenSlot[s];
}

uint8_t settingKindOfMode(ToolMode mode) {
  int m = indexIn(byteOf(mode), kToolModeCount);
  return m < 0 ? kNoSettingKind : kModes[m].settingKind;
}

bool modeDisplayName(ToolMode mode, std::string& text) {
  int m = indexIn(byteOf(mode), kToolModeCount);
  if (m < 0) return false;
  const SModeEntry& e = kModes[m];
  text = resString(kModeNameBase + e.nameMode);
  if (e.compat) text += " - " + resString(kCompatSuffixId);
  return true;
}

// ---- Shape sub-modes ----------------------------------------------------------

ToolId shapeOfSubMode(int32_t subMode) {
  int s = indexIn(static_cast<uint8_t>(subMode), kShapeSubModeCount);
  return s < 0 ? ToolId::None : static_cast<ToolId>(s);
}

void shapeSubModeName(int32_t subMode, std::string& text) {
  text.clear();
  int s = indexIn(static_cast<uint8_t>(subMode), kShapeSubModeCount);
  if (s >= 0) text = resString(kResShapeSubModeNames[size_t(s)]);
}

}  // namespace pg
