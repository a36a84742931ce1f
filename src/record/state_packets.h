#pragma once
// Bodies of the application-state items (type-0 packets) that describe the
// brush: tones, the gradient, the nib and the pen-method renderer. The
// recorder builds them from the live objects and the replay side reads them
// back, both through the functions here, so that the two never disagree on
// an offset. All fields little-endian; unused bytes zero (the recorder
// compares bodies byte for byte).
//
//   37 tone selection, 20 bytes:
//      +0 u32 tone id, +4 u8 kind (0 stored tile, 1 generated tone),
//      +5 u8 flags (bit 0 the pattern's switch, bit 1 a generated tone),
//      +6 u8 the first byte of a generated tone's attributes (else 0), +7 0,
//      +8 u16 the pattern's value (its scale), +10 0, +12 i32 origin x,
//      +16 i32 origin y
//   36 tone definition, 160 bytes + packed tile:
//      +0 u32 id, +12..+83 the tone record (tone_records.h) with the name
//      length (at most 64) written over its +4, i.e. body +16; +84 the name
//      bytes (64), +148 u32 unpacked length, +152 u32 packed length,
//      +156 u32 packed length rounded up to even (the data that follows)
//   40 gradient, 12 bytes + 24 per stop:
//      +0 u16 stop count, +2 u16 24, +6 u16 data length (24 x stops)
//   44 nib image definition, 40 bytes + packed image:
//      +0 u32 id, +4 u16 scale, +8 u16 smallest scale, +10 u16 largest
//      scale, +20 i32 width, +24 i32 height, +28 u32 image bytes,
//      +32 u32 packed length, +36 u32 packed length rounded up to even
//   The packed tile and nib image are the 8-bit plane's bytes as it holds
//   them (rows bottom-up); the exact packed length, not the padded one, is
//   what the expander takes.
//   45 nib image selection, 24 bytes:
//      +0 u32 id, +6 u16 scale, +16 i32 width, +20 i32 height
//   48 falloff, 8: u16 profile type, u16 first value, u16 second value, 0
//   50 renderer colour pair, 8: two u32
//   52 nib shape, 12: u16 size, u16 minimum size, u16 aspect, u16 angle,
//      u8 1 when the active nib is an image nib
//   53 edge, 12: u32 the edge switch
//   56 render method, 8: u8 1 when the renderer draws through the work
//      plane (the pencil flag), u8 method, u8 sub-mode, u8 shape flag
//   57 render values, 16: u32 effect, u32 environment, u32 speed, u32 0
//   58 pen switches, 4: u16 (bit 0 gradation, bit 1 tone), u16 0
//   60 stroke-manager parameters, 16: u16 flags (bit 0 pressure drives
//      size, bit 1 opacity), u16 opacity, 0, u16 gamma, u16 spacing,
//      u16 single-dab size, u16 split-step size, 0
//
// 16-bit fields saturate at 0 and 65535: a size beyond 655.35 pixels is
// recorded as that, never wrapped to a small brush.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "brush/grade_map.h"
#include "brush/paint_param_records.h"
#include "brush/pen_shape_param.h"
#include "record/tone_records.h"

namespace pg {

class CPatObj;
struct SColorSlot;

// Type-0 subcodes beyond those the catalogue names.
inline constexpr uint8_t kStatePaperColor = 2;
inline constexpr uint8_t kStateDrawColor = 3;
inline constexpr uint8_t kStateGradientPoints = 4;
inline constexpr uint8_t kStateGradientOptions = 5;
inline constexpr uint8_t kStateSwitches = 12;
inline constexpr uint8_t kStatePressure = 13;
inline constexpr uint8_t kStateStrokeColor = 16;
inline constexpr uint8_t kStateStrokeSize = 17;
inline constexpr uint8_t kStateStrokeEffect = 18;
inline constexpr uint8_t kStateFont = 32;
inline constexpr uint8_t kStateText = 33;
inline constexpr uint8_t kStateToneSelect = 37;
inline constexpr uint8_t kStateGradient = 40;
inline constexpr uint8_t kStateNibSelect = 45;
inline constexpr uint8_t kStateFalloff = 48;
inline constexpr uint8_t kStateColorPair = 50;
inline constexpr uint8_t kStateNibShape = 52;
inline constexpr uint8_t kStateEdge = 53;
inline constexpr uint8_t kStateRenderMethod = 56;
inline constexpr uint8_t kStateRenderValues = 57;
inline constexpr uint8_t kStatePenSwitches = 58;
inline constexpr uint8_t kStateStrokeParam = 60;

inline constexpr uint32_t kToneSelectBytes = 20;
inline constexpr uint32_t kToneDefineBytes = 160;
inline constexpr uint32_t kToneNameBytes = 64;
inline constexpr uint32_t kGradientHeadBytes = 12;
inline constexpr uint32_t kGradientStopBytes = 24;
inline constexpr uint32_t kNibDefineBytes = 40;
inline constexpr uint32_t kNibSelectBytes = 24;
inline constexpr uint32_t kPenRecordMaxBytes = 16;
// The sizes of the pen-method renderer's records.
inline constexpr uint32_t kFalloffBytes = 8;
inline constexpr uint32_t kColorPairBytes = 8;
inline constexpr uint32_t kNibShapeBytes = 12;
inline constexpr uint32_t kEdgeBytes = 12;
inline constexpr uint32_t kRenderMethodBytes = 8;
inline constexpr uint32_t kRenderValuesBytes = 16;
inline constexpr uint32_t kPenSwitchesBytes = 4;
inline constexpr uint32_t kStrokeParamBytes = 16;

// A 16-bit field from a wider value: 0 below, 65535 above.
// A float's bits, little-endian.
void writeF32(uint8_t* p, float v);
float readF32(const uint8_t* p);

struct SToneSelection {
  uint32_t id = 0;
  uint8_t kind = 0;
  uint8_t flags = 0;
  uint8_t attributeByte = 0;
  uint16_t value = 0;
  int32_t originX = 0;
  int32_t originY = 0;

  static constexpr uint8_t kFlagSwitch = 1 << 0;
  static constexpr uint8_t kFlagGenerated = 1 << 1;

  void encode(uint8_t* out) const;  // kToneSelectBytes
  static SToneSelection decode(const uint8_t* in);
  friend bool operator==(const SToneSelection&, const SToneSelection&) = default;
};
// The selection of a stored tile or a generated tone; false for any other
// kind of pattern.
[[nodiscard]] bool toneSelectionOf(const CPatObj &pattern, SToneSelection &out);

struct SToneDefinition {
  uint32_t id = 0;
  SToneRecord record{};  // as held at +12; its +4 is the name length's place
  uint16_t nameLength = 0;
  std::array<uint8_t, kToneNameBytes> name{};
  uint32_t unpackedLength = 0;
  uint32_t packedLength = 0;
  uint32_t paddedLength = 0;

  void encode(uint8_t* out) const;  // kToneDefineBytes
  // The name length is cut to 64: the name area holds no more.
  static SToneDefinition decode(const uint8_t* in);
};

struct SGradientHeader {
  uint16_t stopCount = 0;
  uint16_t dataLength = 0;
  void encode(uint8_t* out) const;  // kGradientHeadBytes
  static SGradientHeader decode(const uint8_t* in);
};
// A colour stop field by field in its stored order.
void encodeColorSlot(const SColorSlot& slot, uint8_t* out);  // kGradientStopBytes
SColorSlot decodeColorSlot(const uint8_t* in);

struct SNibDefinition {
  uint32_t id = 0;
  uint16_t scale = 0;
  uint16_t scaleMin = 0;
  uint16_t scaleMax = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t imageBytes = 0;
  uint32_t packedLength = 0;
  uint32_t paddedLength = 0;
  void encode(uint8_t* out) const;  // kNibDefineBytes
  static SNibDefinition decode(const uint8_t* in);
};

struct SNibSelection {
  uint32_t id = 0;
  uint16_t scale = 0;
  int32_t width = 0;
  int32_t height = 0;
  void encode(uint8_t* out) const;  // kNibSelectBytes
  static SNibSelection decode(const uint8_t* in);
  friend bool operator==(const SNibSelection&, const SNibSelection&) = default;
};

// The pen-method renderer's records, 48 to 60.
void encodeFalloff(const SGradeMapParam& p, uint8_t* out);
SGradeMapParam decodeFalloff(const uint8_t* in);
void encodeColorPair(uint32_t first, uint32_t second, uint8_t* out);
void encodeNibShape(const SPenShapeParam& p, bool imageNib, uint8_t* out);
SPenShapeParam decodeNibShape(const uint8_t* in, bool& imageNib);
void encodeEdge(const SEdgeParam& p, uint8_t* out);
SEdgeParam decodeEdge(const uint8_t* in);
// Method, sub-mode, shape flag and the work-plane (pencil) flag.
void encodeRenderMethod(const SPenRenderParam& p, uint8_t* out);
void decodeRenderMethod(const uint8_t* in, SPenRenderParam& p);
// Effect, environment and speed.
void encodeRenderValues(const SPenRenderParam& p, uint8_t* out);
void decodeRenderValues(const uint8_t* in, SPenRenderParam& p);
void encodePenSwitches(bool gradation, bool tone, uint8_t* out);
void encodeStrokeParam(const SStrokeParam& p, uint8_t* out);
SStrokeParam decodeStrokeParam(const uint8_t* in);

// Packs bytes with the block packer for a packet's data and pads the packed
// block with one zero byte to an even length; packedLength is the unpadded
// length. False when packing fails (out is then empty).
[[nodiscard]] bool packForPacket(const void *source, uint64_t length,
                                 std::vector<uint8_t> &out,
                                 uint32_t &packedLength);

// A string as packets carry it: the UTF-8 text in the code page of
// recordings (CP932), a zero byte, and zero padding to an even length. At
// most maxBytes in all: a longer string is cut at a character boundary.
std::vector<uint8_t> packetString(std::string_view utf8, size_t maxBytes = 0xFFFE);

}  // namespace pg
