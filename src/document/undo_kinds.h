#pragma once
// The 64 undo kinds: for every kind the class of record that stores it and
// the flags that say how the document repaints after applying it and whether
// the record counts against the undo limit.
#include <cstdint>

namespace pg {

// What an undo record holds and how it is applied.
enum class UndoClass : uint8_t {
  None = 0,
  PixelRegion = 1,  // tile-aligned copy of a rectangle of the layer image
  AlphaBlock = 2,   // the alpha bytes of a rectangle in a byte grid
  InPlace = 3,      // a transform that is its own inverse; no data
  Attribute = 4,    // an attribute of a layer or of the document: old and new value
  Structure = 5,    // the layer list: kept layer objects, layer lists or values
  MaskList = 6,     // the mask list: kept mask objects or values
};

// Repaint and accounting flags of a kind.
enum UndoFlag : uint16_t {
  kUndoFlagLayerPanel1 = 0x0001,    // after a region repaint also refresh the layer panel
  kUndoFlagWholeDocument = 0x0002,  // the whole document is redrawn
  kUndoFlagSizeChanged = 0x0004,    // (with 0x02) the document size changed
  kUndoFlagWholeImage = 0x0008,     // the changed region is the layer's whole image rectangle
  kUndoFlagHeavy = 0x0010,          // holds layer or mask images: counts against the limit
  kUndoFlagOwnsBlock = 0x0020,      // owns a separately allocated byte block
  kUndoFlagLayerPanel = 0x0040,     // refresh the layer panel
  kUndoFlagSelection = 0x0080,      // the selection changed
  kUndoFlagRetrace = 0x0100,        // re-trace the selection outline
  // Carried in the table for the files and tables that hold it; no operation consults them.
  kUndoFlagCarried0200 = 0x0200,
  kUndoFlagCarried0400 = 0x0400,
  kUndoFlagCarried0800 = 0x0800,
  kUndoFlagCarried1000 = 0x1000,
};

// The kinds by name (the number is what the tables and records carry).
enum UndoKind : uint8_t {
  kUndoRegion = 0,
  kUndoPixels = 1,
  kUndoClear = 2,
  kUndoStroke = 3,
  kUndoRegion4 = 4,
  kUndoPaste = 5,
  kUndoOlderFilter = 6,
  kUndoMirror = 7,
  kUndoFlip = 8,
  kUndoInvert = 9,
  kUndoRotate180 = 10,
  kUndoInvertAlpha = 11,
  kUndoMirrorAll = 12,
  kUndoFlipAll = 13,
  kUndoInvertAll = 14,
  kUndoRotate180All = 15,
  kUndoAlphaReplaced = 16,
  kUndoPaperColor = 17,
  kUndoOpacity = 18,
  kUndoGroupOpacity = 19,
  kUndoDissolve = 20,
  kUndoBlendMode = 21,
  kUndoVisible = 22,
  kUndoOffset = 23,
  kUndoOffsetWithMask = 24,
  kUndoLayerName = 25,
  kUndoProtectAlpha = 26,
  kUndoNewLayer = 27,
  kUndoDeleteLayer = 28,
  kUndoDuplicateLayer = 29,
  kUndoPasteAsLayer = 30,
  kUndoLayerOrder = 31,
  kUndoMergeDown = 32,
  kUndoMergeVisible = 33,
  kUndoMovedRebuilt = 34,
  kUndoMovedWithMaskRebuilt = 35,
  kUndoLayerReplaced = 36,
  kUndoLayerFromSelection = 37,
  kUndoLinkLevels = 38,
  kUndoDeleteGroupBase = 39,
  kUndoMergeGroup = 40,
  kUndoDeleteGroup = 41,
  kUndoGroupOrder = 42,
  kUndoGroupOffset = 43,
  kUndoGroupOffsetWithMask = 44,
  kUndoShowOnly = 45,
  kUndoShowAll = 46,
  kUndoToggleVisibility = 47,
  kUndoGroupVisibility = 48,
  kUndoRotateImage90 = 49,
  kUndoCanvasSize = 50,
  kUndoScaleImage = 51,
  kUndoCropImage = 52,
  kUndoNewMask = 53,
  kUndoMaskFromLayer = 54,
  kUndoDeleteMask = 55,
  kUndoMaskReplaced = 56,
  kUndoActivateMask = 57,
  kUndoMaskOrder = 58,
  kUndoInvertMaskInPlace = 59,
  kUndoMaskOffset = 60,
  kUndoSelectionFlags = 61,
  kUndoMergeMask = 62,
  kUndoMaskName = 63,
};

inline constexpr int kUndoKindCount = 64;

// One row of the kind table.
struct SUndoKindInfo {
  uint8_t kind;
  uint8_t recordClass;
  uint16_t flags;
};

// The row of a kind; a kind outside 0..63 answers {kind, 0, 0} (class None).
SUndoKindInfo undoKindInfo(int kind);

inline UndoClass undoClassOf(int kind) { return static_cast<UndoClass>(undoKindInfo(kind).recordClass); }
inline uint16_t undoFlagsOf(int kind) { return undoKindInfo(kind).flags; }

}  // namespace pg
