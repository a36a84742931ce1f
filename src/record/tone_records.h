#pragma once
// The tone record: a screen-tone pattern as it travels in a recording, a
// fixed 72-byte little-endian block inside the tone definition packet (type
// 0, subcode 36, at body offset 12). It carries either a plain pattern (a
// stored tile) or a generated tone (the tile's maker attributes), and is
// converted to and from the pattern objects of the brush engine here.
//
//   +0  u16 8                 +2  u16 form: 0 plain, 1 generated
//   +4  u16 0                 +6  u16 1
//   +8  u32 flags: bit 8 the plain form, bit 1 the pattern's switch (invert),
//       bit 0 the tone attributes' flag (generated form only)
//   +12 u32 the pattern's scale (its value in recordings)
//   +16 the tile origin x, origin y, width, height (four i32)
//   +32 8 zero bytes
//   +40 generated form: shape, resolution, ruling, density, angle, smoothing
//       of the tone attributes (six 32-bit values); zero for the plain form
//   +64 8 zero bytes
//
// Inside the definition packet the name length is written over +4, so a
// reader must not expect 0 there.
#include <array>
#include <cstdint>

namespace pg {

class CPat8;
class CPat8Tone;
struct SToneAttr;

inline constexpr uint32_t kToneRecordBytes = 72;
using SToneRecord = std::array<uint8_t, kToneRecordBytes>;

// Offsets and values of the record's fields.
inline constexpr uint32_t kToneRecForm = 2;
inline constexpr uint32_t kToneRecFlags = 8;
inline constexpr uint32_t kToneRecValue = 12;
inline constexpr uint32_t kToneRecOriginX = 16;
inline constexpr uint32_t kToneRecOriginY = 20;
inline constexpr uint32_t kToneRecWidth = 24;
inline constexpr uint32_t kToneRecHeight = 28;
inline constexpr uint32_t kToneRecAttributes = 40;
inline constexpr uint32_t kToneRecAttributeBytes = 24;
inline constexpr uint16_t kToneFormPlain = 0;
inline constexpr uint16_t kToneFormGenerated = 1;
inline constexpr uint32_t kToneFlagAttribute = 1u << 0;
inline constexpr uint32_t kToneFlagInvert = 1u << 1;
inline constexpr uint32_t kToneFlagPlain = 1u << 8;

// Zeroes the record and fills the plain form from a stored pattern.
void patternToRecord(SToneRecord& record, const CPat8& pattern);
// The same fields from a generated tone, in the generated form, then its
// attributes (attributesToRecord).
void toneToRecord(SToneRecord& record, const CPat8Tone& tone);
// Flag bit 0 from the attributes' flag (cleared when it is 0), and the six
// attribute values at +40.
void attributesToRecord(const SToneAttr& attributes, SToneRecord& record);
// The reverse: the six values at +40 and the flag (1 or 0 from flag bit 0)
// go back into the attributes; their name is left alone.
void recordToAttributes(const SToneRecord& record, SToneAttr& attributes);

}  // namespace pg
