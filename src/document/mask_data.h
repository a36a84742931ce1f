#pragma once
// One selection mask: an 8-bit tiled channel (0 not selected, 255 fully
// selected) with an offset and a name, and its thumbnail for the mask list.
#include <cstdint>
#include <memory>
#include <string>

#include "core/rect.h"

namespace pg {

class CBlockVCH;
class CLayerData;
class TMTC;
class TTC;

class CMaskData {
 public:
  // An empty mask (no image) with an empty thumbnail; takes the next mask id.
  explicit CMaskData(int32_t index = 0);
  ~CMaskData();
  CMaskData(const CMaskData&) = delete;
  CMaskData& operator=(const CMaskData&) = delete;

  // A mask with an empty channel of w x h; null when memory fails. A zero
  // area gives a mask without image.
  [[nodiscard]] static std::unique_ptr<CMaskData> createSized(int32_t index, int32_t w, int32_t h);
  // A copy with a new id: image, thumbnail, index, offset and name. Null when
  // memory fails.
  [[nodiscard]] static std::unique_ptr<CMaskData> createCopy(const CMaskData& src);

  // Replaces the image with a new empty channel; answers hasImage.
  [[nodiscard]] bool createImage(int32_t w, int32_t h);
  // The mask has an allocated image.
  bool hasImage() const;
  // The same, safe on null.
  static bool hasImage(const CMaskData* m) { return m != nullptr && m->hasImage(); }
  int32_t imageWidth() const;
  int32_t imageHeight() const;
  // Puts a new image in place and answers the old one.
  [[nodiscard]] std::unique_ptr<CBlockVCH> swapImage(std::unique_ptr<CBlockVCH> img);

  // A mask of the layer's image: grey x alpha / 255 per pixel (grey inverted
  // when asked), named 明度(<layer name>).
  [[nodiscard]] bool fromLayerLuminance(const CLayerData& layer, bool invert);
  // A mask of the layer's alpha, named マスク(<layer name>).
  [[nodiscard]] bool fromLayerAlpha(const CLayerData& layer);
  // Sets the alpha of the whole layer image to 0, then copies the mask values
  // into it where mask and layer overlap. True, without change, when the
  // mask has no image.
  [[nodiscard]] bool writeToLayerAlpha(CLayerData& layer) const;
  // Over the overlap with a document-sized plane: alpha := alpha x mask / 255.
  [[nodiscard]] bool applyToPlaneAlpha(TMTC& plane) const;

  // The image rectangle in document coordinates.
  TRect imageRect() const;
  // Bounding rectangle of the non-zero pixels in document coordinates.
  [[nodiscard]] bool getBounds(TRect& r) const;
  // The same from the tiles in use, clamped to the image.
  [[nodiscard]] bool getTileBounds(TRect& r) const;
  // The value at a document point; -1 outside the image.
  int32_t valueAtPaper(int32_t x, int32_t y) const;
  // value x scale / 255 at an image point; 0 outside.
  int32_t valueAt(int32_t x, int32_t y, int32_t scale) const;
  int64_t memorySize() const;

  // Thumbnail: the document's aspect fitted into the box (at least 1 a side);
  // unchanged when the size stays, else resized and cleared to 0.
  [[nodiscard]] bool resizeThumbnail(int32_t docW, int32_t docH, int32_t boxW, int32_t boxH);
  // Draws the document area of the mask scaled into the thumbnail.
  [[nodiscard]] bool drawThumbnail(int32_t docW, int32_t docH);
  // resizeThumbnail into the mask list's square, then drawThumbnail.
  [[nodiscard]] bool fitThumbnail(int32_t docW, int32_t docH);
  // resizeThumbnail into (boxW, boxH), then drawThumbnail.
  [[nodiscard]] bool updateThumbnail(int32_t docW, int32_t docH, int32_t boxW, int32_t boxH);

  int32_t index = 0;
  uint32_t id = 0;
  std::unique_ptr<CBlockVCH> image;  // null for an empty mask
  std::unique_ptr<TTC> thumbnail;
  std::string name;
  int32_t offsetX = 0;  // image x = document x + offsetX
  int32_t offsetY = 0;
};

}  // namespace pg
