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

#include "core/byte_cursor.h"

namespace pg {

class CPat8;
class CPat8Tone;
struct SToneAttr;

inline constexpr uint32_t kToneRecordBytes = 72;
using SToneRecord = std::array<uint8_t, kToneRecordBytes>;

// Values of the record's fields.
inline constexpr uint16_t kToneFormPlain = 0;
inline constexpr uint16_t kToneFormGenerated = 1;
inline constexpr uint32_t kToneFlagAttribute = 1u << 0;
inline constexpr uint32_t kToneFlagInvert = 1u << 1;
inline constexpr uint32_t kToneFlagPlain = 1u << 8;

// The record's fields, through its one field list. `slot` is +4, where a
// definition packet keeps the name length.
struct SToneRecordFields {
  uint16_t depth = 8, form = 0, slot = 0, one = 1;
  uint32_t flags = 0, value = 0;
  int32_t originX = 0, originY = 0, width = 0, height = 0;
  std::array<uint32_t, 6> attributes{};  // shape, resolution, ruling (float bits), density, angle, smoothing
  static void fields(CByteCursor& c, SToneRecordFields& r) {
    c.field(r.depth).field(r.form).field(r.slot).field(r.one).field(r.flags).field(r.value);
    c.field(r.originX).field(r.originY).field(r.width).field(r.height).zeros(8);
    for (uint32_t& a : r.attributes) c.field(a);
    c.zeros(8);
  }
};
SToneRecordFields readToneRecord(const SToneRecord& record);
void writeToneRecord(SToneRecord& record, const SToneRecordFields& fields);

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
