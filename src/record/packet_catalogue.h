#pragma once
// The wire format of event packets: a 2-byte header (u8 type, u8 subcode) and
// a body whose length follows from both, for some packets plus a length field
// found inside the body. The stream has no separators, so the size rule is
// exact and complete: a reader that meets an unknown packet cannot go on.
//
// All integers in bodies are little-endian; strings are single-byte,
// zero-terminated and padded with zeros to an even length.
#include <cstdint>

namespace pg {

// Packet types.
inline constexpr uint8_t kPktState = 0;        // application state and command data (type-0 items)
inline constexpr uint8_t kPktData = 1;         // u32 length, then data
inline constexpr uint8_t kPktDocument = 2;     // whole-document events
inline constexpr uint8_t kPktLayer = 4;        // layer commands
inline constexpr uint8_t kPktLayerList = 5;    // link-group operations
inline constexpr uint8_t kPktLayerEdit = 6;    // area edits of a layer
inline constexpr uint8_t kPktMask = 10;        // mask and selection commands
inline constexpr uint8_t kPktLayerImage = 12;  // a layer image
inline constexpr uint8_t kPktRegionFill = 13;  // a fill with a packed region
inline constexpr uint8_t kPktStrokePoints = 17;  // a chunk of points, more follow
inline constexpr uint8_t kPktStrokeLast = 18;    // the last chunk, commits the stroke
// Stroke begins written by this system: the simple engine (23, 24 with the
// unsmoothed begin) and the pen-method engine (48, 49). 16 and 20-22 occur in
// older streams and are replayed only.
inline constexpr uint8_t kPktStrokeBeginSimple = 23;
inline constexpr uint8_t kPktStrokeBeginSimpleRaw = 24;
inline constexpr uint8_t kPktStrokeBeginPen = 48;
inline constexpr uint8_t kPktStrokeBeginPenRaw = 49;
// Filters with 0, 2, 4 or 6 u32 parameters after u16 layer and u16 argument;
// the subcode is the filter's event code.
inline constexpr uint8_t kPktFilter0 = 32;
inline constexpr uint8_t kPktFilter2 = 33;
inline constexpr uint8_t kPktFilter4 = 34;
inline constexpr uint8_t kPktFilter6 = 35;
// The 50-byte event record, then its data; the subcode is the event code.
inline constexpr uint8_t kPktFilterRecord = 38;

// Types from this one on are unknown.
inline constexpr uint8_t kPktTypeLimit = 50;

// Most points in one point chunk.
inline constexpr uint8_t kStrokeChunkPoints = 16;
inline constexpr uint32_t kStrokePointBytes = 12;  // x, y, pressure as f32

// Type-0 subcodes that are data for a following command, not cached state.
inline constexpr uint8_t kStateVersion = 0;
inline constexpr uint8_t kStateLayerMask = 8;      // current layer and mask
inline constexpr uint8_t kStateTone = 36;          // its u32 at +0 is a tone id
inline constexpr uint8_t kStateNib = 44;           // its u32 at +0 is a nib id
inline constexpr uint8_t kStateFilterImage1 = 128;
inline constexpr uint8_t kStateFilterImage2 = 129;
inline constexpr uint8_t kStateColorRange = 136;

// Type-1 subcode of the recording start time (SYSTEMTIME, UTC).
inline constexpr uint8_t kDataStartTime = 17;

// Type-2 subcodes.
inline constexpr uint8_t kDocPaperColor = 1;
inline constexpr uint8_t kDocCanvasResize = 2;
inline constexpr uint8_t kDocLayersZoom = 3;
inline constexpr uint8_t kDocRotate90 = 4;
inline constexpr uint8_t kDocRotate270 = 5;
inline constexpr uint8_t kDocImageCreate = 8;
inline constexpr uint8_t kDocImageScale = 9;
inline constexpr uint8_t kDocMergeVisible = 10;
inline constexpr uint8_t kDocCrop = 11;
// u16 layer, u16 value. 24 shows or hides all layers and 25 shows one layer
// only: so the document's operations record them, replay executes them and
// the event names (visibility.layer.all, .only) call them.
inline constexpr uint8_t kDocShowAllLayers = 24;
inline constexpr uint8_t kDocShowOnlyLayer = 25;
inline constexpr uint8_t kDocFlipVisibility = 26;
inline constexpr uint8_t kDocReset = 254;  // a recording starts or resumes on a stream
inline constexpr uint8_t kDocSeal = 255;   // the end of a saved stream

// Type-38 subcodes: parameter data of filters.
inline constexpr uint8_t kFltRecLegacy = 39;
inline constexpr uint8_t kFltRecFloor = 40;  // 63-byte record; images come first as (0,128), (0,129)
inline constexpr uint8_t kFltRecCustom5x5 = 51;
inline constexpr uint8_t kFltRecGradientMap = 54;
inline constexpr uint8_t kFltRecLighting = 74;  // one 56-byte light

// Body offsets of mask commands (type 10): +0 is the layer index, +2 the mask
// index or argument, as the recorders write it and replay reads it; only the
// rename (subcode 12) starts with the mask index, then the name length.
inline constexpr uint32_t kMaskBodyLayer = 0;
inline constexpr uint32_t kMaskBodyArgument = 2;

// Body offsets of the two forms of a region fill (type 13).
// 54-byte form (subcodes 0, 1, 4, 16, 17, 32).
inline constexpr uint32_t kRegion54Header = 54;
inline constexpr uint32_t kRegion54Kind = 20;
inline constexpr uint32_t kRegion54Bounds = 26;
inline constexpr uint32_t kRegion54PackedEven = 42;
inline constexpr uint32_t kRegion54Unpacked = 46;
inline constexpr uint32_t kRegion54Packed = 50;
// 72-byte form (subcodes 2, 3, 5): three points at +4, 8 zero bytes at +28,
// the region kind at +36, combine mode +37, anti-alias +39, u16 +40, 2 zero
// bytes, the bounds at +44 and the three lengths from +60.
inline constexpr uint32_t kRegion72Header = 72;
inline constexpr uint32_t kRegion72Kind = 36;
inline constexpr uint32_t kRegion72Bounds = 44;
inline constexpr uint32_t kRegion72PackedEven = 60;
inline constexpr uint32_t kRegion72Unpacked = 64;
inline constexpr uint32_t kRegion72Packed = 68;
// Largest packed region a recording carries (rounded up to even).
inline constexpr uint32_t kRegionPackedMax = 65536;

// Size of the event record that starts every type-38 body.
inline constexpr uint32_t kEventRecordBytes = 50;

// How the body length of a packet follows from its header.
enum class BodyRule : uint8_t {
  Unknown,          // not a packet of any stream
  Fixed,            // base
  PlusU16,          // base + u16 at fieldOffset
  PlusU32,          // base + u32 at fieldOffset
  PlusU16Times8,    // base + 8 * u16 at fieldOffset (point lists)
  PointsBySubcode,  // 12 * subcode (point chunks)
};

struct SPacketSizeRule {
  BodyRule rule = BodyRule::Unknown;
  uint8_t fieldOffset = 0;
  uint16_t base = 0;

  [[nodiscard]] bool known() const { return rule != BodyRule::Unknown; }
  [[nodiscard]] bool needsField() const {
    return rule == BodyRule::PlusU16 || rule == BodyRule::PlusU32 || rule == BodyRule::PlusU16Times8;
  }
  // Bytes of the length field (2 or 4); 0 when the rule reads none.
  uint32_t fieldBytes() const { return rule == BodyRule::PlusU32 ? 4 : needsField() ? 2 : 0; }
};

// The rule of a header; Unknown for every pair not in the catalogue.
SPacketSizeRule packetSizeRule(uint8_t type, uint8_t subcode);

// The body length a rule gives, with the length field's value (ignored by the
// rules that read none). 64-bit: base + u32 cannot wrap.
uint64_t packetBodyLength(const SPacketSizeRule& rule, uint8_t subcode, uint32_t field);

// The body length of a packet whose body (or its first bytes) is at hand;
// false when the packet is unknown or its length field lies past `available`.
[[nodiscard]] bool packetBodyLength(uint8_t type, uint8_t subcode,
                                    const uint8_t *body, uint64_t available,
                                    uint64_t &length);

// Strokes begin with one of these types (subcode 0, body u16 pen kind, u16 mask).
[[nodiscard]] bool isStrokeBeginType(uint8_t type);

// Little-endian field access for bodies.
inline uint16_t readLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t readLE32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void writeLE16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void writeLE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

}  // namespace pg
