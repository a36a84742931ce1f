#include "document/undo_kinds.h"

#include <array>
#include <cstddef>

namespace pg {

namespace {

// One row; the kind is repeated so that a row out of place fails the check below.
constexpr SUndoKindInfo row(UndoKind kind, UndoClass recordClass, unsigned flags) {
  return {kind, static_cast<uint8_t>(recordClass), static_cast<uint16_t>(flags)};
}

constexpr std::array<SUndoKindInfo, kUndoKindCount> kKinds = {{
    row(kUndoRegion, UndoClass::PixelRegion, 0),
    row(kUndoPixels, UndoClass::PixelRegion, 0),
    row(kUndoClear, UndoClass::PixelRegion, 0),
    row(kUndoStroke, UndoClass::PixelRegion, 0),
    row(kUndoRegion4, UndoClass::PixelRegion, 0),
    row(kUndoPaste, UndoClass::PixelRegion, 0),
    row(kUndoOlderFilter, UndoClass::PixelRegion, 0),
    row(kUndoMirror, UndoClass::InPlace, 0),
    row(kUndoFlip, UndoClass::InPlace, 0),
    row(kUndoInvert, UndoClass::InPlace, 0),
    row(kUndoRotate180, UndoClass::InPlace, 0),
    row(kUndoInvertAlpha, UndoClass::InPlace, 0),
    row(kUndoMirrorAll, UndoClass::InPlace, kUndoFlagLayerPanel1),
    row(kUndoFlipAll, UndoClass::InPlace, kUndoFlagLayerPanel1),
    row(kUndoInvertAll, UndoClass::InPlace, kUndoFlagLayerPanel1),
    row(kUndoRotate180All, UndoClass::InPlace, kUndoFlagLayerPanel1),
    row(kUndoAlphaReplaced, UndoClass::AlphaBlock, kUndoFlagHeavy | kUndoFlagOwnsBlock),
    row(kUndoPaperColor, UndoClass::Attribute, kUndoFlagLayerPanel1),
    row(kUndoOpacity, UndoClass::Attribute, kUndoFlagLayerPanel1 | kUndoFlagCarried0400 | kUndoFlagCarried0800),
    row(kUndoGroupOpacity, UndoClass::Attribute, kUndoFlagLayerPanel1 | kUndoFlagCarried0400),
    row(kUndoDissolve, UndoClass::Attribute, kUndoFlagLayerPanel1 | kUndoFlagCarried0400 | kUndoFlagCarried0800),
    row(kUndoBlendMode, UndoClass::Attribute, kUndoFlagLayerPanel1 | kUndoFlagCarried0400 | kUndoFlagCarried0800),
    row(kUndoVisible, UndoClass::Attribute, kUndoFlagLayerPanel1 | kUndoFlagCarried0200 | kUndoFlagCarried0400 | kUndoFlagCarried0800),
    row(kUndoOffset, UndoClass::Attribute, kUndoFlagLayerPanel1),
    row(kUndoOffsetWithMask, UndoClass::Attribute, kUndoFlagLayerPanel | kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoLayerName, UndoClass::Attribute, kUndoFlagLayerPanel | kUndoFlagCarried1000),
    row(kUndoProtectAlpha, UndoClass::Attribute, kUndoFlagLayerPanel),
    row(kUndoNewLayer, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy),
    row(kUndoDeleteLayer, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy),
    row(kUndoDuplicateLayer, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy),
    row(kUndoPasteAsLayer, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy),
    row(kUndoLayerOrder, UndoClass::Structure, kUndoFlagLayerPanel1),
    row(kUndoMergeDown, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeImage | kUndoFlagHeavy),
    row(kUndoMergeVisible, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy),
    row(kUndoMovedRebuilt, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeDocument | kUndoFlagHeavy),
    row(kUndoMovedWithMaskRebuilt, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeDocument | kUndoFlagHeavy | kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoLayerReplaced, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy),
    row(kUndoLayerFromSelection, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy | kUndoFlagOwnsBlock),
    row(kUndoLinkLevels, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy | kUndoFlagLayerPanel),
    row(kUndoDeleteGroupBase, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy | kUndoFlagOwnsBlock),
    row(kUndoMergeGroup, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeDocument | kUndoFlagHeavy),
    row(kUndoDeleteGroup, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagHeavy),
    row(kUndoGroupOrder, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagLayerPanel),
    row(kUndoGroupOffset, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeDocument | kUndoFlagHeavy),
    row(kUndoGroupOffsetWithMask, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeDocument | kUndoFlagHeavy | kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoShowOnly, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagOwnsBlock),
    row(kUndoShowAll, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagOwnsBlock),
    row(kUndoToggleVisibility, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagOwnsBlock),
    row(kUndoGroupVisibility, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagOwnsBlock | kUndoFlagCarried0200 | kUndoFlagCarried0400),
    row(kUndoRotateImage90, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeDocument),
    row(kUndoCanvasSize, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeDocument | kUndoFlagSizeChanged | kUndoFlagHeavy),
    row(kUndoScaleImage, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeDocument | kUndoFlagSizeChanged | kUndoFlagHeavy),
    row(kUndoCropImage, UndoClass::Structure, kUndoFlagLayerPanel1 | kUndoFlagWholeDocument | kUndoFlagSizeChanged | kUndoFlagHeavy),
    row(kUndoNewMask, UndoClass::MaskList, kUndoFlagHeavy | kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoMaskFromLayer, UndoClass::MaskList, kUndoFlagHeavy | kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoDeleteMask, UndoClass::MaskList, kUndoFlagHeavy | kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoMaskReplaced, UndoClass::MaskList, kUndoFlagHeavy | kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoActivateMask, UndoClass::MaskList, kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoMaskOrder, UndoClass::MaskList, kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoInvertMaskInPlace, UndoClass::MaskList, kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoMaskOffset, UndoClass::MaskList, kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoSelectionFlags, UndoClass::MaskList, kUndoFlagSelection),
    row(kUndoMergeMask, UndoClass::MaskList, kUndoFlagHeavy | kUndoFlagSelection | kUndoFlagRetrace),
    row(kUndoMaskName, UndoClass::MaskList, kUndoFlagCarried1000),
}};

constexpr bool rowsInKindOrder() {
  for (size_t i = 0; i < kKinds.size(); ++i)
    if (kKinds[i].kind != i) return false;
  return true;
}
static_assert(rowsInKindOrder(), "row n of the kind table holds kind n");

}  // namespace

SUndoKindInfo undoKindInfo(int kind) {
  if (kind < 0 || kind >= kUndoKindCount) return {static_cast<uint8_t>(kind), 0, 0};
  return kKinds[static_cast<size_t>(kind)];
}

}  // namespace pg
