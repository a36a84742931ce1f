#include "document/layer_attr_record.h"

#include <algorithm>

#include "core/blend_modes.h"
#include "core/byte_cursor.h"
#include "core/limits.h"
#include "document/layer_data.h"

namespace pg {

namespace {

void attrRecordFields(CByteCursor& c, SLayerAttrRecord& r) {
  for (uint32_t& w : r.words) c.field(w);
}

}  // namespace

SLayerAttrRecord SLayerAttrRecord::fromBytes(const uint8_t* bytes) {
  return recordFromBytes<SLayerAttrRecord>(bytes, kBytes, attrRecordFields);
}

std::array<uint8_t, SLayerAttrRecord::kBytes> SLayerAttrRecord::bytes() const {
  std::array<uint8_t, kBytes> out{};
  (void)writeRecord(out.data(), out.size(), *this, attrRecordFields);  // as above
  return out;
}

namespace {

// One side of the pasted layer.
int32_t pastedSide(int32_t doc, int32_t image, int32_t position, int32_t copied, bool within) {
  const int64_t base = std::max<int64_t>(doc, image);
  const int64_t at = std::clamp<int64_t>(position, 0, kMaxImageWidth);
  int64_t side = base;
  if (within) {
    side = std::max<int64_t>(base, std::min<int64_t>(at + doc, copied));
  } else {
    side = base + at;
  }
  return static_cast<int32_t>(std::clamp<int64_t>(side, 1, std::max<int64_t>(base, kMaxImageWidth)));
}

}  // namespace

SPasteSize pastedLayerSize(int32_t docWidth, int32_t docHeight, int32_t imageWidth, int32_t imageHeight,
                           const SLayerAttrRecord* attr) {
  if (attr == nullptr) return {std::max(docWidth, imageWidth), std::max(docHeight, imageHeight)};
  const bool within = (attr->flags() & SLayerAttrRecord::kWithinSize) != 0;
  return {pastedSide(docWidth, imageWidth, attr->offsetX(), attr->imageWidth(), within),
          pastedSide(docHeight, imageHeight, attr->offsetY(), attr->imageHeight(), within)};
}

void applyLayerAttrRecord(CLayerData& layer, const SLayerAttrRecord& attr, const std::string* name) {
  layer.blendMode = std::min<uint8_t>(attr.blendMode(), kLayerBlendModeCount - 1);
  layer.opacity = attr.opacity();
  layer.offsetX = std::clamp(attr.offsetX(), -kMaxImageWidth, kMaxImageWidth);
  layer.offsetY = std::clamp(attr.offsetY(), -kMaxImageHeight, kMaxImageHeight);
  layer.visible = (attr.flags() & SLayerAttrRecord::kVisible) != 0;
  layer.protectAlpha = (attr.flags() & SLayerAttrRecord::kProtectAlpha) != 0;
  if (attr.flags() & SLayerAttrRecord::kExtended) {
    layer.dissolve = (attr.flags() & SLayerAttrRecord::kDissolve) != 0;
    layer.dissolveAmount = attr.dissolveAmount();
    layer.seedRandom(attr.seed());
  }
  if (name != nullptr) layer.name = *name;
  (void)layer.clampOffset(true);  // the answer only says whether it moved
}

}  // namespace pg
