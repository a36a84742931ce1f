#pragma once
// The fixed bodies of command packets, each a record with its one field list
// (core/byte_cursor.h). The recorder writes a body through its field list and
// replay reads it through the same list, so that the two can never disagree
// on a layout. Which packet has which body is a column of the packet table
// (record/packet_table.h).
//
// Names, point lists, packed regions, pixels and filter data follow the
// fixed body; their lengths are fields of it.
#include <array>
#include <cstdint>

#include "core/byte_cursor.h"

namespace pg {

// The field lists, one per body layout.
enum class BodyForm : uint8_t {
  None,            // no body
  Colour,          // u32 colour
  Resize,          // u8 anchor low, u8 anchor high, i32 width, i32 height
  Scale,           // u16 mode, i32 width, i32 height
  ImageCreate,     // the 28-byte image set-up
  OldImageCreate,  // the 16-byte image set-up of older streams
  Crop,            // u16 layer, u16 argument, the rectangle
  OldCrop,         // u16 value, the rectangle
  Target,          // u16 layer, u16 argument
  Values,          // u16 layer, u16 argument, u32 value, u32 option
  NewLayer,        // the 14-byte new layer
  NamedLayer,      // the 42-byte named new layer (its name follows)
  Offset,          // u16 layer, u8 offset class, u8 option, i32 dx, i32 dy
  GroupOffset,     // u16 layer, u16 mask, i32 dx, i32 dy, u16 value, 6 zeros
  Attribute,       // the 6-byte attribute record of a layer
  Effect,          // the attribute record and the effect values
  Named,           // u16 index, u16 name length (the name follows)
  Link,            // the 24-byte link-level change (its levels follow)
  GroupMove,       // u16 layer, u16 value, i32 dx, i32 dy, u32 count, u32 option
  Edit,            // u16 layer, u32 argument, two f32 points
  Polygon,         // u16 layer, u16 point count (the points follow)
  MaskShape,       // u16 layer, u16 argument, u8 combine, 0, two f32 points
  MaskPolygon,     // u16 layer, u16 argument, u8 combine, 0, u16 point count
  ImageHead,       // the 22-byte head of an image (its rest and pixels follow)
  Region54,        // the short form of a region fill (the packed region follows)
  Region72,        // the long form of a region fill
  Filter0,         // u16 layer, u16 argument, then 0, 2, 4 or 6 u32
  Filter2,
  Filter4,
  Filter6,
  EventRecord,     // the 50-byte event record (its data follows)
};

// Every body says its form, so that a body can only be written into and read
// out of a packet of that form.
struct SNoBody {
  static constexpr BodyForm kForm = BodyForm::None;
  static void fields(CByteCursor&, SNoBody&) {}
};

struct SColourBody {
  static constexpr BodyForm kForm = BodyForm::Colour;
  uint32_t colour = 0;
  static void fields(CByteCursor& c, SColourBody& r) { c.field(r.colour); }
};

struct SResizeBody {
  static constexpr BodyForm kForm = BodyForm::Resize;
  uint8_t anchorLow = 0, anchorHigh = 0;
  int32_t width = 0, height = 0;
  static void fields(CByteCursor& c, SResizeBody& r) {
    c.field(r.anchorLow).field(r.anchorHigh).field(r.width).field(r.height);
  }
};

struct SScaleBody {
  static constexpr BodyForm kForm = BodyForm::Scale;
  uint16_t mode = 0;
  int32_t width = 0, height = 0;
  static void fields(CByteCursor& c, SScaleBody& r) { c.field(r.mode).field(r.width).field(r.height); }
};

// The size of the image and of its first layer; the current form adds the
// resolution and two flags (0 for off, 255 for on).
struct SImageCreateBody {
  static constexpr BodyForm kForm = BodyForm::ImageCreate;
  int32_t width = 0, height = 0, layerWidth = 0, layerHeight = 0, resolution = 0;
  uint8_t canvas = 255, opaque = 255;
  static void sizes(CByteCursor& c, SImageCreateBody& r) {
    c.field(r.width).field(r.height).field(r.layerWidth).field(r.layerHeight);
  }
  static void fields(CByteCursor& c, SImageCreateBody& r) {
    sizes(c, r);
    c.field(r.resolution).field(r.canvas).field(r.opaque).zeros(6);
  }
};

struct SOldImageCreateBody : SImageCreateBody {
  static constexpr BodyForm kForm = BodyForm::OldImageCreate;
  static void fields(CByteCursor& c, SOldImageCreateBody& r) { sizes(c, r); }
};

struct SRectBody {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  static void fields(CByteCursor& c, SRectBody& r) { c.field(r.left).field(r.top).field(r.right).field(r.bottom); }
};

struct SCropBody {
  static constexpr BodyForm kForm = BodyForm::Crop;
  uint16_t layer = 0, argument = 0;
  SRectBody rect;
  static void fields(CByteCursor& c, SCropBody& r) {
    c.field(r.layer).field(r.argument);
    SRectBody::fields(c, r.rect);
  }
};

struct SOldCropBody {
  static constexpr BodyForm kForm = BodyForm::OldCrop;
  uint16_t value = 0;
  SRectBody rect;
  static void fields(CByteCursor& c, SOldCropBody& r) {
    c.field(r.value);
    SRectBody::fields(c, r.rect);
  }
};

struct STargetBody {
  static constexpr BodyForm kForm = BodyForm::Target;
  uint16_t layer = 0, argument = 0;
  static void fields(CByteCursor& c, STargetBody& r) { c.field(r.layer).field(r.argument); }
};

struct SValuesBody {
  static constexpr BodyForm kForm = BodyForm::Values;
  uint16_t layer = 0, argument = 0;
  uint32_t value = 0, option = 0;
  static void fields(CByteCursor& c, SValuesBody& r) {
    c.field(r.layer).field(r.argument).field(r.value).field(r.option);
  }
};

// The flag bits of the new-layer and attribute bodies (the new layer carries
// the first two).
inline constexpr uint16_t kBodyFlagVisible = 1;
inline constexpr uint16_t kBodyFlagProtectAlpha = 2;
inline constexpr uint16_t kBodyFlagEffect = 16;

// Flags of a new layer: kBodyFlagVisible, kBodyFlagProtectAlpha.
struct SNewLayerBody {
  static constexpr BodyForm kForm = BodyForm::NewLayer;
  uint16_t layer = 0;
  uint32_t width = 0, height = 0;
  uint8_t opacity = 255, blendMode = 0;
  uint16_t flags = 0;
  static void look(CByteCursor& c, SNewLayerBody& r) { c.field(r.opacity).field(r.blendMode).field(r.flags); }
  static void fields(CByteCursor& c, SNewLayerBody& r) {
    c.field(r.layer).field(r.width).field(r.height);
    look(c, r);
  }
};

struct SNamedLayerBody : SNewLayerBody {
  static constexpr BodyForm kForm = BodyForm::NamedLayer;
  uint32_t colour = 0;  // alpha in the top byte
  uint16_t nameLength = 0;
  static void fields(CByteCursor& c, SNamedLayerBody& r) {
    c.field(r.layer).field(r.width).field(r.height).zeros(8);
    look(c, r);
    c.field(r.colour).zeros(14).field(r.nameLength);
  }
};

struct SOffsetBody {
  static constexpr BodyForm kForm = BodyForm::Offset;
  uint16_t layer = 0;
  uint8_t offsetClass = 0, option = 0;
  int32_t dx = 0, dy = 0;
  static void fields(CByteCursor& c, SOffsetBody& r) {
    c.field(r.layer).field(r.offsetClass).field(r.option).field(r.dx).field(r.dy);
  }
};

// A layer moved with its selection; the value is the offset class when the
// layer was rebuilt (subcode 13), zero otherwise.
struct SGroupOffsetBody {
  static constexpr BodyForm kForm = BodyForm::GroupOffset;
  uint16_t layer = 0, mask = 0;
  int32_t dx = 0, dy = 0;
  uint16_t value = 0;
  static void fields(CByteCursor& c, SGroupOffsetBody& r) {
    c.field(r.layer).field(r.mask).field(r.dx).field(r.dy).field(r.value).zeros(6);
  }
};

// Flags: kBodyFlagVisible, kBodyFlagProtectAlpha, kBodyFlagEffect (the layer's effect).
struct SAttributeBody {
  static constexpr BodyForm kForm = BodyForm::Attribute;
  uint16_t layer = 0;
  uint8_t blendMode = 0, opacity = 0;
  uint16_t flags = 0;
  static void fields(CByteCursor& c, SAttributeBody& r) {
    c.field(r.layer).field(r.blendMode).field(r.opacity).field(r.flags);
  }
};

struct SEffectBody : SAttributeBody {
  static constexpr BodyForm kForm = BodyForm::Effect;
  uint8_t effectValue = 0;
  uint32_t seed = 0;
  static void fields(CByteCursor& c, SEffectBody& r) {
    SAttributeBody::fields(c, r);
    c.field(r.effectValue).zeros(1).field(r.seed).zeros(6);
  }
};

struct SNamedBody {
  static constexpr BodyForm kForm = BodyForm::Named;
  uint16_t index = 0, nameLength = 0;
  static void fields(CByteCursor& c, SNamedBody& r) { c.field(r.index).field(r.nameLength); }
};

// count link levels of 16 bits follow: element count 1 of width 2 each.
struct SLinkBody {
  static constexpr BodyForm kForm = BodyForm::Link;
  uint16_t layer = 0, count = 0;
  uint8_t elementCount = 1, elementWidth = 2;
  uint32_t dataBytes = 0;
  static void fields(CByteCursor& c, SLinkBody& r) {
    c.field(r.layer).field(r.count).zeros(2).field(r.elementCount).field(r.elementWidth).zeros(4);
    c.field(r.dataBytes).zeros(8);
  }
};

struct SGroupMoveBody {
  static constexpr BodyForm kForm = BodyForm::GroupMove;
  uint16_t layer = 0, value = 0;
  int32_t dx = 0, dy = 0;
  uint32_t count = 0, option = 0;
  static void fields(CByteCursor& c, SGroupMoveBody& r) {
    c.field(r.layer).field(r.value).field(r.dx).field(r.dy).field(r.count).field(r.option);
  }
};

struct SPointFBody {
  float x = 0, y = 0;
  static void fields(CByteCursor& c, SPointFBody& r) { c.field(r.x).field(r.y); }
};

struct SEditBody {
  static constexpr BodyForm kForm = BodyForm::Edit;
  uint16_t layer = 0;
  uint32_t argument = 0;
  SPointFBody start, end;  // zeros when the edit has none
  static void fields(CByteCursor& c, SEditBody& r) {
    c.field(r.layer).field(r.argument);
    SPointFBody::fields(c, r.start);
    SPointFBody::fields(c, r.end);
  }
};

struct SPolygonBody {
  static constexpr BodyForm kForm = BodyForm::Polygon;
  uint16_t layer = 0, count = 0;
  static void fields(CByteCursor& c, SPolygonBody& r) { c.field(r.layer).field(r.count); }
};

struct SMaskShapeBody {
  static constexpr BodyForm kForm = BodyForm::MaskShape;
  uint16_t layer = 0, argument = 0;
  uint8_t combine = 0;
  SPointFBody start, end;
  static void fields(CByteCursor& c, SMaskShapeBody& r) {
    c.field(r.layer).field(r.argument).field(r.combine).zeros(1);
    SPointFBody::fields(c, r.start);
    SPointFBody::fields(c, r.end);
  }
};

struct SMaskPolygonBody {
  static constexpr BodyForm kForm = BodyForm::MaskPolygon;
  uint16_t layer = 0, argument = 0;
  uint8_t combine = 0;
  uint16_t count = 0;
  static void fields(CByteCursor& c, SMaskPolygonBody& r) {
    c.field(r.layer).field(r.argument).field(r.combine).zeros(1).field(r.count);
  }
};

// The head of a layer or filter image: u16 layer, u32 width, u32 height,
// u8 32, u8 1 when the 72-byte attribute block follows, u32 length of what
// follows the head, u16 name length, u32 pixel bytes.
struct SImageHead {
  static constexpr BodyForm kForm = BodyForm::ImageHead;
  uint16_t layer = 0;
  uint32_t width = 0, height = 0;
  uint8_t bits = 32, hasAttributes = 0;
  uint32_t following = 0;
  uint16_t nameLength = 0;
  uint32_t pixelBytes = 0;
  static void fields(CByteCursor& c, SImageHead& r) {
    c.field(r.layer).field(r.width).field(r.height).field(r.bits).field(r.hasAttributes).field(r.following);
    c.field(r.nameLength).field(r.pixelBytes);
  }
};

struct SPointBody {
  int32_t x = 0, y = 0;
  static void fields(CByteCursor& c, SPointBody& r) { c.field(r.x).field(r.y); }
};

// A fill with a packed region. The short form carries the target's offset
// and the seed point (points 0 and 1); the long form the region's size, its
// offset and the seed (points 0, 1, 2).
struct SRegionBody {
  uint16_t target = 0, argument = 0;
  std::array<SPointBody, 3> points{};
  uint8_t kind = 0, combine = 0, targetByte = 0, antiAlias = 0;
  uint16_t limit = 0;
  int32_t x = 0, y = 0, width = 0, height = 0;
  uint32_t packedEven = 0, unpacked = 0, packed = 0;
  static void tail(CByteCursor& c, SRegionBody& r, size_t gap) {
    c.field(r.kind).field(r.combine).field(r.targetByte).field(r.antiAlias).field(r.limit).zeros(gap);
    c.field(r.x).field(r.y).field(r.width).field(r.height).field(r.packedEven).field(r.unpacked).field(r.packed);
  }
};

struct SRegion54Body : SRegionBody {
  static constexpr BodyForm kForm = BodyForm::Region54;
  static void fields(CByteCursor& c, SRegion54Body& r) {
    c.field(r.target).field(r.argument);
    SPointBody::fields(c, r.points[0]);
    SPointBody::fields(c, r.points[1]);
    tail(c, r, 0);
  }
};

struct SRegion72Body : SRegionBody {
  static constexpr BodyForm kForm = BodyForm::Region72;
  static void fields(CByteCursor& c, SRegion72Body& r) {
    c.field(r.target).field(r.argument);
    for (SPointBody& p : r.points) SPointBody::fields(c, p);
    c.zeros(8);
    tail(c, r, 2);
  }
};

// A filter with N parameter words.
template <int N>
struct SFilterBody {
  static constexpr BodyForm kForm = N == 0   ? BodyForm::Filter0
                                    : N == 2 ? BodyForm::Filter2
                                    : N == 4 ? BodyForm::Filter4
                                             : BodyForm::Filter6;
  uint16_t layer = 0, argument = 0;
  std::array<uint32_t, 6> values{};
  static void fields(CByteCursor& c, SFilterBody& r) {
    c.field(r.layer).field(r.argument);
    for (int i = 0; i < N; ++i) c.field(r.values[size_t(i)]);
  }
};

// The 50-byte event record of a type-38 body, kept as its bytes (the
// vocabulary's accessors read its fields).
struct SEventRecordBody {
  static constexpr BodyForm kForm = BodyForm::EventRecord;
  std::array<uint8_t, 50> bytes{};
  static void fields(CByteCursor& c, SEventRecordBody& r) { c.bytes(r.bytes.data(), r.bytes.size()); }
};

// The data block (0, 136) a colour-range selection carries before its fill:
// its settings, then count picked colours.
struct SColorRangeHead {
  uint32_t count = 0, source = 0, third = 0, fourth = 0, fifth = 0;
  static void fields(CByteCursor& c, SColorRangeHead& r) {
    c.field(r.count).field(r.source).field(r.third).field(r.fourth).field(r.fifth);
  }
};
inline constexpr size_t kColorRangeHeadBytes = 20;

struct SColorRangePick {
  uint32_t color = 0;
  uint8_t add = 0, range = 0;
  static void fields(CByteCursor& c, SColorRangePick& r) { c.field(r.color).field(r.add).field(r.range).zeros(2); }
};
inline constexpr size_t kColorRangePickBytes = 8;

}  // namespace pg
