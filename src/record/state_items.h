#pragma once
// The application-state items of the document and stroke sets (type-0
// packets), each a record with its one field list (core/byte_cursor.h). The
// recorder builds an item through its list and replay reads it back through
// the same list; the catalogue gives each its fixed size, which a test holds
// the lists to. The brush items (tones, gradient, nib, pen renderer) are in
// state_packets.h.
//
// Colours are three bytes, lowest first; where a fourth byte follows it is
// a field of its own (flags, the stroke kind).
#include <array>
#include <cstdint>

#include "core/byte_cursor.h"

namespace pg {

// Three colour bytes of a 32-bit pixel value.
struct SColour24 {
  uint16_t low = 0;
  uint8_t high = 0;
  uint32_t value() const { return uint32_t(low) | uint32_t(high) << 16; }
  static SColour24 of(uint32_t colour) { return {uint16_t(colour & 0xFFFFu), uint8_t((colour >> 16) & 0xFFu)}; }
  static void fields(CByteCursor& c, SColour24& r) { c.field(r.low).field(r.high); }
};

// 0: the recording system's version; extension flags other than 0 belong
// to streams this system cannot read.
struct SVersionItem {
  uint16_t major = 4, minor = 58, extensions = 0;
  static void fields(CByteCursor& c, SVersionItem& r) {
    c.field(r.major).field(r.minor).field(r.extensions).zeros(6);
  }
};

// 2: the paper colour.
struct SPaperColourItem {
  SColour24 colour;
  static void fields(CByteCursor& c, SPaperColourItem& r) {
    SColour24::fields(c, r.colour);
    c.zeros(1);
  }
};

// 3: the drawing colour and the background display (bit 0 the canvas
// colour hidden, bit 1 the background pattern shown).
struct SDrawColourItem {
  SColour24 colour;
  uint8_t flags = 0;
  static void fields(CByteCursor& c, SDrawColourItem& r) {
    SColour24::fields(c, r.colour);
    c.field(r.flags);
  }
};

// 4: the gradient's two points, 16.16.
struct SGradientPointsItem {
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  static void fields(CByteCursor& c, SGradientPointsItem& r) { c.field(r.x0).field(r.y0).field(r.x1).field(r.y1); }
};

// 5: the gradient's repeat settings, as a colour record of kind 0.
struct SGradientOptionsItem {
  uint8_t type = 0, repeat = 0, wrap = 0;
  uint16_t count = 0;
  static void fields(CByteCursor& c, SGradientOptionsItem& r) {
    c.field(r.type).field(r.repeat).field(r.wrap).zeros(1).field(r.count).zeros(6);
  }
};

// 8: the current layer and mask (0xFFFF: the current one).
struct SLayerMaskItem {
  uint16_t layer = 0, mask = 0;
  static void fields(CByteCursor& c, SLayerMaskItem& r) { c.field(r.layer).field(r.mask); }
};

// 12 (the switches: bit 0 the selection, bit 1 the tone, bit 2 protect
// alpha in streams before version 2.06, bit 3 the gradation) and 13 (the
// pressure switches: bit 0 size, bit 1 opacity, bit 2 the edge).
struct SFlagsItem {
  uint16_t flags = 0;
  static void fields(CByteCursor& c, SFlagsItem& r) { c.field(r.flags); }
};

// 16: the stroke's colour, kind and opacity.
struct SStrokeColourItem {
  SColour24 colour;
  uint8_t kind = 0;
  float opacity = 0;
  static void fields(CByteCursor& c, SStrokeColourItem& r) {
    SColour24::fields(c, r.colour);
    c.field(r.kind).field(r.opacity);
  }
};

// 17: the stroke's width and smallest size.
struct SStrokeSizeItem {
  float width = 0, minimum = 0;
  static void fields(CByteCursor& c, SStrokeSizeItem& r) { c.field(r.width).field(r.minimum); }
};

// 18: the stroke's effect values, its falloff curve and creation code.
struct SStrokeEffectItem {
  float effect = 0, env = 0, speed = 0, gamma = 0, spacing = 0;
  uint8_t curve = 0, creation = 0;
  static void fields(CByteCursor& c, SStrokeEffectItem& r) {
    c.field(r.effect).field(r.env).field(r.speed).field(r.gamma).field(r.spacing).field(r.curve).field(r.creation);
  }
};

// 32: the text tool's font description and spacings.
struct SFontItem {
  static constexpr size_t kFontBytes = 60;
  std::array<uint8_t, kFontBytes> font{};
  uint16_t lineSpacing = 0, charSpacing = 0;
  static void fields(CByteCursor& c, SFontItem& r) {
    c.bytes(r.font.data(), r.font.size()).field(r.lineSpacing).field(r.charSpacing).zeros(4);
  }
};

// The length before the bytes of a text (33), a u16, and of a data block
// (136, and every type-1 packet), a u32.
struct STextLengthItem {
  uint16_t length = 0;
  static void fields(CByteCursor& c, STextLengthItem& r) { c.field(r.length); }
};
struct SDataLengthItem {
  uint32_t length = 0;
  static void fields(CByteCursor& c, SDataLengthItem& r) { c.field(r.length); }
};

// The bytes an item's field list takes.
template <class Item>
inline uint32_t stateItemBytes() {
  std::array<uint8_t, 128> scratch{};
  Item item{};
  CByteCursor c = CByteCursor::writing(scratch.data(), scratch.size());
  Item::fields(c, item);
  return c.ok() ? uint32_t(c.position()) : 0;
}

}  // namespace pg
