#pragma once
// One layer of a document: its attributes, its tiled 32-bit image and its
// thumbnail for the layer list.
#include <cstdint>
#include <memory>
#include <string>

#include "core/random.h"
#include "core/rect.h"

namespace pg {

class CBlockVMTC;
class TMTC;
class CLayerOwnUndo;

// Link levels go from 0 (no parent) to this depth.
inline constexpr int32_t kMaxLinkLevel = 250;

class CLayerData {
 public:
  // A layer without image. Takes the next layer id and seeds the dissolve
  // random state from the millisecond clock. With `withOwnUndo`, the layer
  // gets a pixel undo of its own when an own-undo factory is installed.
  explicit CLayerData(int32_t index = 0, bool withOwnUndo = false);
  ~CLayerData();
  CLayerData(const CLayerData&) = delete;
  CLayerData& operator=(const CLayerData&) = delete;

  // ---- identity ----
  // Overwrites the id (a merge result keeps the id of the layer it replaces).
  void setId(uint32_t v) { id = v; }
  // Seeds the dissolve random state with a given seed (range 0..255). The
  // seed travels with the layer through files and recordings; the dither
  // itself depends on pixel position and colour only.
  void seedRandom(uint32_t seed);

  // ---- image ----
  // Frees image and thumbnail and makes a new image of that size filled with
  // the mode's neutral colour at alpha 0. False (and no image) when the image
  // cannot be made. Resets offset, nominal size, visibility, protect-alpha,
  // opacity and mode.
  [[nodiscard]] bool createImage(int32_t w, int32_t h, int32_t mode);
  // An image of the other layer's image size and mode, then assignFrom.
  [[nodiscard]] bool createImageLike(const CLayerData& other);
  void freeImage();
  bool hasImage() const;
  int32_t imageWidth() const;
  int32_t imageHeight() const;
  // Puts a new image in place and answers the old one.
  [[nodiscard]] std::unique_ptr<CBlockVMTC> swapImage(std::unique_ptr<CBlockVMTC> img);

  // ---- thumbnail ----
  // Sizes the thumbnail to fit the box keeping the nominal size's aspect
  // (at least 1 pixel a side) and fills it white.
  [[nodiscard]] bool resizeThumbnail(int32_t boxW, int32_t boxH);
  // resizeThumbnail into the layer list's thumbnail square.
  [[nodiscard]] bool fitThumbnail();
  // Draws the nominal rectangle of the image, averaged, into the thumbnail.
  [[nodiscard]] bool updateThumbnail();
  // Notes a changed rectangle of the image (image coordinates) without
  // drawing: the thumbnail pixels whose boxes reach into it are made when
  // the thumbnail is next read through freshThumbnail. A replay or a run of
  // strokes nobody watches then pays for no thumbnail at all, and many
  // changes between two looks cost one update of their union.
  void markThumbnailChanged(const SRectXYWH& changed);
  // The thumbnail with every noted change drawn (the same pixels as a whole
  // update would give for them); null when the layer has none. What shows
  // or copies a thumbnail reads it through here.
  const TMTC* freshThumbnail() const;
  // Fills the thumbnail with the mode's neutral colour (alpha 0 when
  // transparent, else 255).
  void fillThumbnail(bool transparent);

  // ---- geometry ----
  // True when 0 <= offsetX <= imageWidth - width and likewise for y; with
  // clamp set, clamps the offset into those ranges.
  [[nodiscard]] bool clampOffset(bool clamp);
  // Moves the layer content by (dx, dy) on the document: offset -= (dx, dy).
  // Answers clampOffset(false), which a caller that only moves may leave.
  bool moveBy(int32_t dx, int32_t dy);
  // The image is wider or taller than the nominal size.
  bool exceedsImage() const;
  // The image rectangle in document coordinates.
  TRect imageRect() const;

  // ---- attributes ----
  // name, visible, opacity, protectAlpha, blendMode, linkLevel, dissolve
  // amount and flag, randomState.
  void copyAttributes(const CLayerData& src);
  // Copies all tiles, the thumbnail over this one, the attributes, offset,
  // nominal size and own undo contents.
  [[nodiscard]] bool assignFrom(const CLayerData& src);
  // A new layer (same index) whose image has `size`, holding this layer's
  // whole image at `origin`; its offset is origin + this offset. Null when
  // the image cannot be made.
  [[nodiscard]] std::unique_ptr<CLayerData> cloneRegion(SSize size, TPoint origin) const;
  void setLinkLevel(int32_t v);
  void addLinkLevel(int32_t d) { setLinkLevel(linkLevel + d); }
  void setAlphaAll(uint8_t a);
  void invertAlpha();

  // ---- own undo ----
  bool hasOwnUndo() const { return ownUndo != nullptr; }
  bool canUndoOwn() const;
  bool canRedoOwn() const;
  int64_t ownUndoMemory() const;
  void dropOwnUndo();
  [[nodiscard]] bool recordOwnUndo(const TRect& rect);
  [[nodiscard]] bool recordOwnUndoAll();
  [[nodiscard]] bool undoOwn(TMTC* plane, TRect& rect);

  // ---- memory and copies ----
  // Committed tile bytes plus the thumbnail bytes.
  int64_t memorySize() const;
  [[nodiscard]] bool copyToPlane(TMTC& plane) const;
  [[nodiscard]] bool copyRectToPlane(TMTC& plane, const TRect& rect) const;

  // ---- fields ----
  int32_t index = 0;
  uint32_t id = 0;
  std::string name;
  int32_t offsetX = 0;  // image x = document x + offsetX
  int32_t offsetY = 0;
  int32_t width = 0;  // nominal size = the document size
  int32_t height = 0;
  bool protectAlpha = false;
  uint8_t opacity = 255;
  uint8_t blendMode = 0;
  bool dissolve = false;
  uint8_t dissolveAmount = 255;
  bool visible = false;
  SRandomRange randomState{};
  int32_t linkLevel = 0;
  std::unique_ptr<CBlockVMTC> image;
  std::unique_ptr<TMTC> thumbnail;
  std::unique_ptr<CLayerOwnUndo> ownUndo;

 private:
  // The image rectangle changed since the thumbnail was last drawn there
  // (empty: none). A cache of the image's state, so reading the thumbnail
  // through a const layer may draw it.
  mutable TRect thumbPending_{};
};

// The process-wide layer id counter: the id the next layer takes.
uint32_t peekNextLayerId();

}  // namespace pg
