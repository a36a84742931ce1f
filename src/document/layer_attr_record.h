#pragma once
// The attributes a layer travels with outside its document: the 72 bytes of
// fields of its native-file record (18 little-endian 32-bit words after the
// record's head), as the clipboard carries them beside a copied picture and a
// paste records them with the pasted image.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pg {

class CLayerData;

struct SLayerAttrRecord {
  static constexpr size_t kBytes = 72;
  static constexpr uint32_t kVisible = 0x1;
  static constexpr uint32_t kProtectAlpha = 0x2;
  static constexpr uint32_t kExtended = 0x10;  // the dissolve fields are meaningful
  static constexpr uint32_t kDissolve = 0x20;
  static constexpr uint32_t kWithinSize = 0x40;  // copied through the clipboard

  std::array<uint32_t, 18> words{};

  // The record from its 72 bytes, and back.
  static SLayerAttrRecord fromBytes(const uint8_t* bytes);
  std::array<uint8_t, kBytes> bytes() const;

  uint32_t flags() const { return words[1] & 0xFFFF; }
  uint8_t blendMode() const { return static_cast<uint8_t>((words[1] >> 16) & 0xFF); }
  uint8_t opacity() const { return static_cast<uint8_t>(words[1] >> 24); }
  int32_t imageWidth() const { return static_cast<int32_t>(words[6]); }
  int32_t imageHeight() const { return static_cast<int32_t>(words[7]); }
  int32_t offsetX() const { return static_cast<int32_t>(words[8]); }
  int32_t offsetY() const { return static_cast<int32_t>(words[9]); }
  uint32_t background() const { return words[12]; }
  uint8_t dissolveAmount() const { return static_cast<uint8_t>(words[14] & 0xFF); }
  uint32_t seed() const { return words[15]; }
};

// The size of a layer pasted with these attributes: at least the document's
// and the image's; with kWithinSize it also covers the copied position plus
// the document size (no more than the copied image's size), without it the
// position is added. Every value is untrusted: negative positions add
// nothing, and the result stays within the largest image.
struct SPasteSize {
  int32_t width = 0;
  int32_t height = 0;
};
SPasteSize pastedLayerSize(int32_t docWidth, int32_t docHeight, int32_t imageWidth, int32_t imageHeight,
                           const SLayerAttrRecord* attr);

// Applies blend mode (brought into the known ones), opacity, offset,
// visibility, protect alpha and, with kExtended, the dissolve; the name when
// given; then brings the offset into the image.
void applyLayerAttrRecord(CLayerData& layer, const SLayerAttrRecord& attr, const std::string* name);

}  // namespace pg
