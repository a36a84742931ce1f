#pragma once
// The painting tools are named by four separate numberings, and a set of small
// lookups translates between them:
//   - the tool mode (0..37): what the user picks in the tool window; display
//     names, per-mode settings and the stored tool opacities belong to it;
//   - the tool id (0..32): what the document window works with;
//   - the tool class (0..9): which handler table an id uses; inside a class
//     the variant (0..8) tells the ids apart;
//   - the pen slot (0..17): where a brush mode keeps its pen settings.
// The same tool has different numbers in each space, so each space is a type
// of its own and the compiler refuses to mix them.
//
// Every lookup is a pure function. It ignores the top bit of its byte (callers
// may carry a flag there), so 128 + n behaves as n, and it never reads past a
// table: a number beyond the table answers "not found" (the None value, false,
// or an untouched out argument).
#include <cstdint>
#include <string>

namespace pg {

enum class ToolId : uint8_t {
  Brush = 0,              // every brush mode drawn freehand (shape sub-mode 0)
  BrushLine = 1,          // single line drawn with the brush
  BrushMultiLine = 2,     // multi line drawn with the brush
  BrushRectangle = 3,
  BrushEllipse = 4,
  BrushPolygon = 5,
  BrushSizeDrag = 6,      // hand class: drag to change the brush size
  Gradation = 7,
  FillRectangle = 8,
  FillEllipse = 9,
  FillPolygon = 10,
  FillFreehand = 11,
  BucketFill = 12,
  MagicEraser = 13,
  SelectRectangle = 14,
  SelectEllipse = 15,
  SelectPolygon = 16,
  SelectFreehand = 17,
  SelectionMove = 18,
  SelectionKeyMove = 19,  // the selection moved with the cursor keys
  AutoSelect = 20,
  LayerMove = 21,
  LayerKeyMove = 22,
  LayerMoveWithSelection = 23,
  LayerSelectionKeyMove = 24,
  TextDraw = 25,
  TextSelect = 26,
  Crop = 27,
  Eyedropper = 28,
  HandScroll = 29,
  ViewRotation = 30,
  ZoomIn = 31,
  ZoomOut = 32,
  None = 255,             // not found
};

enum class ToolClass : uint8_t {
  Brush = 0,
  Zoom = 1,
  Eyedropper = 2,
  Hand = 3,
  Seed = 4,         // bucket fill, magic eraser, automatic selection
  Drag = 5,         // drag and transform tools
  BrushShape = 6,
  FillShape = 7,
  SelectShape = 8,
  Text = 9,
  None = 255,       // not found
};

enum class ToolMode : uint8_t {
  Pencil = 0,
  PencilV3 = 1,     // the version-3 compatible variants end in V3
  Eraser = 2,
  MagicEraser = 3,
  EraserV3 = 4,
  Watercolour = 5,
  WatercolourV3 = 6,
  Airbrush = 7,
  AirbrushV3 = 8,
  Blur = 9,
  Finger = 10,
  Stretch = 11,
  BlurV3 = 12,
  FingerV3 = 13,
  Burn = 14,
  Dodge = 15,
  BurnV3 = 16,
  DodgeV3 = 17,
  FillRectangle = 18,
  FillEllipse = 19,
  FillPolygon = 20,
  FillFreehand = 21,
  BucketFill = 22,
  Gradation = 23,
  SelectRectangle = 24,
  SelectEllipse = 25,
  SelectPolygon = 26,
  SelectFreehand = 27,
  AutoSelect = 28,
  LayerMove = 29,
  LayerMoveWithSelection = 30,
  TextDraw = 31,
  TextSelect = 32,
  Crop = 33,
  Eyedropper = 34,
  Hand = 35,
  ViewRotation = 36,
  Zoom = 37,
  None = 255,       // not found
};

// Slots 0..8 hold the version-3 compatible brushes, 9..17 the current ones.
enum class PenSlot : uint8_t {};

inline constexpr int kToolIdCount = 33;
inline constexpr int kToolClassCount = 10;
inline constexpr int kToolModeCount = 38;
inline constexpr int kPenSlotCount = 18;
inline constexpr int kShapeSubModeCount = 6;

// settingKindOfMode for a mode past the table; the profile stores nothing
// under it.
inline constexpr uint8_t kNoSettingKind = 255;

// The raw byte of a number, for tables, records and logs.
constexpr uint8_t byteOf(ToolId v) { return static_cast<uint8_t>(v); }
constexpr uint8_t byteOf(ToolClass v) { return static_cast<uint8_t>(v); }
constexpr uint8_t byteOf(ToolMode v) { return static_cast<uint8_t>(v); }
constexpr uint8_t byteOf(PenSlot v) { return static_cast<uint8_t>(v); }

// ---- Tool ids and classes -----------------------------------------------------

// The class whose handler table serves the id; None past id 32.
ToolClass toolClassOf(ToolId id);

// The number that tells the ids of one class apart (toolIdOf turns the pair
// back into the id); -1 past id 32.
[[nodiscard]] int32_t toolVariantOf(ToolId id);

// The id of a class and variant; None when the class is past 9 or no id has
// that pair. The variant is a whole number and is compared as it is.
ToolId toolIdOf(ToolClass cls, int32_t variant);

// Whether the document window refuses to switch to a tool of this class while
// its document replays (only zoom, eyedropper and hand are allowed). A class
// past 9 is refused.
[[nodiscard]] bool refusedDuringReplay(ToolClass cls);

// The kind that each handler class works with: the variant of the ids of its
// own class, false (kind untouched) for every other id.
// Brush shapes: ids 1..5 -> 3 single line, 4 multi line, 0 rectangle,
// 2 ellipse, 1 polygon.
[[nodiscard]] bool brushShapeKindOf(ToolId id, int32_t& kind);
// Seed tools: 12 -> 2 bucket fill, 20 -> 3 automatic selection, 13 -> 4 magic eraser.
inline constexpr int32_t kSeedBucketFill = 2;
inline constexpr int32_t kSeedAutoSelect = 3;
inline constexpr int32_t kSeedMagicEraser = 4;
[[nodiscard]] bool seedKindOf(ToolId id, int32_t& kind);
// Drag tools: 21 -> 0, 18 -> 1, 23 -> 2, 7 -> 3, 27 -> 4, 22 -> 6, 19 -> 7,
// 24 -> 8 (no id has kind 5).
[[nodiscard]] bool dragKindOf(ToolId id, int32_t& kind);
// Fill and selection shapes: 0 rectangle, 1 polygon, 2 ellipse, 3 freehand.
[[nodiscard]] bool fillShapeKindOf(ToolId id, int32_t& kind);
[[nodiscard]] bool selectShapeKindOf(ToolId id, int32_t& kind);
// Hand tools: 29 -> 0 scroll, 30 -> 1 view rotation, 6 -> 2 brush-size drag.
[[nodiscard]] bool handKindOf(ToolId id, int32_t& kind);

// ---- Tool modes and pen slots -------------------------------------------------

// The tool id of a mode; the brush modes answer 0 (the freehand brush) and
// the tool window replaces it by the id of the brush's shape sub-mode
// (shapeOfSubMode). None past mode 37.
ToolId toolIdOfMode(ToolMode mode);

// True and the slot for the brush modes 0..2 and 4..17; false for every other
// mode, and then the slot is not written.
[[nodiscard]] bool penSlotOfMode(ToolMode mode, PenSlot& slot);

// The mode that owns a pen slot; slot 5 belongs to no mode and answers 12, as
// slot 4 does. None past slot 17.
ToolMode modeOfPenSlot(PenSlot slot);

// The index under which the preferences keep a per-tool value of the mode
// (the tool opacity): 0 brushes, 11 shape fills, 4 bucket fill, 19 gradation,
// 14 text drawing, and others that store nothing. kNoSettingKind past mode 37.
[[nodiscard]] uint8_t settingKindOfMode(ToolMode mode);

// The mode's name from the resource strings; a version-3 compatible mode is
// named after its current counterpart followed by " - 3互換". Modes past 37
// leave the text as it was and answer false.
[[nodiscard]] bool modeDisplayName(ToolMode mode, std::string& text);

// ---- Shape sub-modes of the brush (0 freehand, 1 single line, 2 multi line,
// 3 rectangle, 4 ellipse, 5 polygon) ---------------------------------------------

// The tool id that a brush mode takes with this shape sub-mode: sub-mode n is
// id n. None past sub-mode 5.
ToolId shapeOfSubMode(int32_t subMode);

// The text is cleared, then set to the sub-mode's name; it stays empty past
// sub-mode 5.
void shapeSubModeName(int32_t subMode, std::string& text);

}  // namespace pg
