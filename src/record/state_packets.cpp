#include "record/state_packets.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <string>

#include "brush/gradient.h"
#include "brush/gradient_stop_fields.h"
#include "brush/tone_patterns.h"
#include "core/block_compress.h"
#include "core/byte_cursor.h"
#include "core/saturate.h"
#include "platform/text_codec.h"
#include "record/packet_catalogue.h"

namespace pg {

void writeF32(uint8_t* p, float v) { writeLE32(p, std::bit_cast<uint32_t>(v)); }
float readF32(const uint8_t* p) { return std::bit_cast<float>(readLE32(p)); }

// ---- tones ----------------------------------------------------------------------

// Every encode below writes into the caller's buffer of the record's size,
// and every decode reads from one: exactly what the field lists take.

namespace {

void toneSelectionFields(CByteCursor& c, SToneSelection& r) {
  c.field(r.id).field(r.kind).field(r.flags).field(r.attributeByte).zeros(1).field(r.value).zeros(2);
  c.field(r.originX).field(r.originY);
}

// The tone record's bytes 4 and 5 are where the name length goes.
void toneDefinitionFields(CByteCursor& c, SToneDefinition& r) {
  c.field(r.id).zeros(8).bytes(r.record.data(), kToneRecordBytes).at(16).field(r.nameLength);
  c.at(84).bytes(r.name.data(), kToneNameBytes).field(r.unpackedLength).field(r.packedLength).field(r.paddedLength);
}

void gradientHeaderFields(CByteCursor& c, SGradientHeader& r) {
  uint16_t stopBytes = uint16_t(kGradientStopBytes);  // written as it is; not kept when read
  c.field(r.stopCount).field(stopBytes).zeros(2).field(r.dataLength).zeros(4);
}

void nibDefinitionFields(CByteCursor& c, SNibDefinition& r) {
  c.field(r.id).field(r.scale).zeros(2).field(r.scaleMin).field(r.scaleMax).zeros(8);
  c.field(r.width).field(r.height).field(r.imageBytes).field(r.packedLength).field(r.paddedLength);
}

void nibSelectionFields(CByteCursor& c, SNibSelection& r) {
  c.field(r.id).zeros(2).field(r.scale).zeros(8).field(r.width).field(r.height);
}

}  // namespace

void SToneSelection::encode(uint8_t* out) const {
  (void)writeRecord(out, kToneSelectBytes, *this, toneSelectionFields);
}

SToneSelection SToneSelection::decode(const uint8_t* in) {
  return recordFromBytes<SToneSelection>(in, kToneSelectBytes, toneSelectionFields);
}

bool toneSelectionOf(const CPatObj& pattern, SToneSelection& out) {
  const auto* stored = dynamic_cast<const CPat8*>(&pattern);
  if (stored == nullptr) return false;
  out = {};
  out.id = pattern.Id;
  out.value = saturateTo<uint16_t>(pattern.Scale);
  out.originX = pattern.OffsetX;
  out.originY = pattern.OffsetY;
  if (stored->Invert != 0) out.flags |= SToneSelection::kFlagSwitch;
  if (const auto* tone = dynamic_cast<const CPat8Tone*>(&pattern)) {
    out.kind = 1;
    out.flags |= SToneSelection::kFlagGenerated;
    out.attributeByte = uint8_t(tone->attributes().Shape);
  }
  return true;
}

void SToneDefinition::encode(uint8_t* out) const {
  SToneDefinition d = *this;
  d.nameLength = std::min<uint16_t>(nameLength, kToneNameBytes);
  (void)writeRecord(out, kToneDefineBytes, d, toneDefinitionFields);
}

SToneDefinition SToneDefinition::decode(const uint8_t* in) {
  SToneDefinition d;
  (void)readRecord(in, kToneDefineBytes, d, toneDefinitionFields);
  d.nameLength = std::min<uint16_t>(d.nameLength, kToneNameBytes);
  return d;
}

// ---- gradient -------------------------------------------------------------------

void SGradientHeader::encode(uint8_t* out) const {
  (void)writeRecord(out, kGradientHeadBytes, *this, gradientHeaderFields);
}

SGradientHeader SGradientHeader::decode(const uint8_t* in) {
  return recordFromBytes<SGradientHeader>(in, kGradientHeadBytes, gradientHeaderFields);
}

void encodeColorSlot(const SColorSlot& slot, uint8_t* out) {
  (void)writeRecord(out, kGradientStopBytes, slot, colorSlotFields);
}

SColorSlot decodeColorSlot(const uint8_t* in) {
  return recordFromBytes<SColorSlot>(in, kGradientStopBytes, colorSlotFields);
}

// ---- nibs -----------------------------------------------------------------------

void SNibDefinition::encode(uint8_t* out) const {
  (void)writeRecord(out, kNibDefineBytes, *this, nibDefinitionFields);
}

SNibDefinition SNibDefinition::decode(const uint8_t* in) {
  return recordFromBytes<SNibDefinition>(in, kNibDefineBytes, nibDefinitionFields);
}

void SNibSelection::encode(uint8_t* out) const {
  (void)writeRecord(out, kNibSelectBytes, *this, nibSelectionFields);
}

SNibSelection SNibSelection::decode(const uint8_t* in) {
  return recordFromBytes<SNibSelection>(in, kNibSelectBytes, nibSelectionFields);
}

// ---- the pen-method renderer ------------------------------------------------------

namespace {

// The pen-method renderer's records as stored: 16-bit fields hold their
// values saturated, flags are packed into one field.
struct SFalloffWire {
  uint16_t type = 0, value1 = 0, value2 = 0;
};
void falloffFields(CByteCursor& c, SFalloffWire& r) { c.field(r.type).field(r.value1).field(r.value2).zeros(2); }

struct SNibShapeWire {
  uint16_t size = 0, minSize = 0, aspect = 0, angle = 0;
  uint8_t imageNib = 0;
};
void nibShapeFields(CByteCursor& c, SNibShapeWire& r) {
  c.field(r.size).field(r.minSize).field(r.aspect).field(r.angle).field(r.imageNib).zeros(3);
}

void edgeFields(CByteCursor& c, SEdgeParam& r) { c.field(r.hard).zeros(8); }

struct SRenderMethodWire {
  uint8_t workPlane = 0, method = 0, subMode = 0, shapeFlag = 0;
};
void renderMethodFields(CByteCursor& c, SRenderMethodWire& r) {
  c.field(r.workPlane).field(r.method).field(r.subMode).field(r.shapeFlag).zeros(4);
}

struct SRenderValuesWire {
  int32_t effect = 0, env = 0, speed = 0;
};
void renderValuesFields(CByteCursor& c, SRenderValuesWire& r) { c.field(r.effect).field(r.env).field(r.speed).zeros(4); }

struct SColorPairWire {
  uint32_t first = 0, second = 0;
};
void colorPairFields(CByteCursor& c, SColorPairWire& r) { c.field(r.first).field(r.second); }

struct SPenSwitchesWire {
  uint16_t flags = 0;
};
void penSwitchesFields(CByteCursor& c, SPenSwitchesWire& r) { c.field(r.flags).zeros(2); }

struct SStrokeWire {
  uint16_t flags = 0, opacity = 0, gamma = 0, spacing = 0, dabEveryStep = 0, splitStep = 0;
};
void strokeFields(CByteCursor& c, SStrokeWire& r) {
  c.field(r.flags).field(r.opacity).zeros(2).field(r.gamma).field(r.spacing).field(r.dabEveryStep).field(r.splitStep);
  c.zeros(2);
}

}  // namespace

void encodeFalloff(const SGradeMapParam& p, uint8_t* out) {
  const SFalloffWire w{saturateTo<uint16_t>(p.type), saturateTo<uint16_t>(p.value1), saturateTo<uint16_t>(p.value2)};
  (void)writeRecord(out, kFalloffBytes, w, falloffFields);
}

SGradeMapParam decodeFalloff(const uint8_t* in) {
  const auto w = recordFromBytes<SFalloffWire>(in, kFalloffBytes, falloffFields);
  SGradeMapParam p;
  p.type = w.type;
  p.value1 = w.value1;
  p.value2 = w.value2;
  return p;
}

void encodeColorPair(uint32_t first, uint32_t second, uint8_t* out) {
  (void)writeRecord(out, kColorPairBytes, SColorPairWire{first, second}, colorPairFields);
}

void encodeNibShape(const SPenShapeParam& p, bool imageNib, uint8_t* out) {
  const SNibShapeWire w{saturateTo<uint16_t>(p.size), saturateTo<uint16_t>(p.minSize), saturateTo<uint16_t>(p.aspect),
                        saturateTo<uint16_t>(p.angle), uint8_t(imageNib ? 1 : 0)};
  (void)writeRecord(out, kNibShapeBytes, w, nibShapeFields);
}

SPenShapeParam decodeNibShape(const uint8_t* in, bool& imageNib) {
  const auto w = recordFromBytes<SNibShapeWire>(in, kNibShapeBytes, nibShapeFields);
  SPenShapeParam p;
  p.size = w.size;
  p.minSize = w.minSize;
  p.aspect = w.aspect;
  p.angle = w.angle;
  imageNib = w.imageNib != 0;
  return p;
}

void encodeEdge(const SEdgeParam& p, uint8_t* out) { (void)writeRecord(out, kEdgeBytes, p, edgeFields); }

SEdgeParam decodeEdge(const uint8_t* in) {
  return recordFromBytes<SEdgeParam>(in, kEdgeBytes, edgeFields);
}

void encodeRenderMethod(const SPenRenderParam& p, uint8_t* out) {
  const SRenderMethodWire w{uint8_t(p.workPlane != 0 ? 1 : 0), p.method, p.subMode, p.shapeFlag};
  (void)writeRecord(out, kRenderMethodBytes, w, renderMethodFields);
}

void decodeRenderMethod(const uint8_t* in, SPenRenderParam& p) {
  const auto w = recordFromBytes<SRenderMethodWire>(in, kRenderMethodBytes, renderMethodFields);
  p.workPlane = w.workPlane & 1;
  p.method = w.method;
  p.subMode = w.subMode;
  p.shapeFlag = w.shapeFlag;
}

void encodeRenderValues(const SPenRenderParam& p, uint8_t* out) {
  (void)writeRecord(out, kRenderValuesBytes, SRenderValuesWire{p.effect, p.env, p.speed}, renderValuesFields);
}

void decodeRenderValues(const uint8_t* in, SPenRenderParam& p) {
  const auto w = recordFromBytes<SRenderValuesWire>(in, kRenderValuesBytes, renderValuesFields);
  p.effect = w.effect;
  p.env = w.env;
  p.speed = w.speed;
}

void encodePenSwitches(bool gradation, bool tone, uint8_t* out) {
  const SPenSwitchesWire w{uint16_t((gradation ? 1 : 0) | (tone ? 2 : 0))};
  (void)writeRecord(out, kPenSwitchesBytes, w, penSwitchesFields);
}

void encodeStrokeParam(const SStrokeParam& p, uint8_t* out) {
  const SStrokeWire w{uint16_t((p.pressureSize != 0 ? 1 : 0) | (p.pressureOpacity != 0 ? 2 : 0)),
                      saturateTo<uint16_t>(p.opacity),      saturateTo<uint16_t>(p.gamma),
                      saturateTo<uint16_t>(p.spacing),      saturateTo<uint16_t>(p.dabEveryStep),
                      saturateTo<uint16_t>(p.splitStep)};
  (void)writeRecord(out, kStrokeParamBytes, w, strokeFields);
}

SStrokeParam decodeStrokeParam(const uint8_t* in) {
  const auto w = recordFromBytes<SStrokeWire>(in, kStrokeParamBytes, strokeFields);
  SStrokeParam p;
  p.pressureSize = w.flags & 1;
  p.pressureOpacity = (w.flags >> 1) & 1;
  p.opacity = w.opacity;
  p.gamma = w.gamma;
  p.spacing = w.spacing;
  p.dabEveryStep = w.dabEveryStep;
  p.splitStep = w.splitStep;
  return p;
}

// ---- packed data and strings -------------------------------------------------------

bool packForPacket(const void* source, uint64_t length, std::vector<uint8_t>& out, uint32_t& packedLength) {
  out.clear();
  packedLength = 0;
  try {
    const uint64_t packed = compressToMemory(source, length, out);
    if (packed == 0 || packed >= UINT32_MAX) {
      out.clear();
      return false;
    }
    packedLength = uint32_t(packed);
    if (packed % 2 != 0) out.push_back(0);
    return true;
  } catch (const std::exception&) {
    out.clear();
    return false;
  }
}

std::vector<uint8_t> packetString(std::string_view utf8, size_t maxBytes) {
  // Room for the terminator, and an even total.
  const size_t room = maxBytes < 2 ? 0 : (maxBytes & ~size_t{1}) - 1;
  const std::string converted = utf8ToCp932(utf8);
  const std::string_view text = cp932Prefix(converted, room);
  std::vector<uint8_t> out(text.begin(), text.end());
  out.push_back(0);
  if (out.size() % 2 != 0) out.push_back(0);
  return out;
}

}  // namespace pg
