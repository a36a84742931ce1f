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
  SToneSelection s;
  (void)readRecord(in, kToneSelectBytes, s, toneSelectionFields);
  return s;
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
  SGradientHeader h;
  (void)readRecord(in, kGradientHeadBytes, h, gradientHeaderFields);
  return h;
}

void encodeColorSlot(const SColorSlot& slot, uint8_t* out) {
  (void)writeRecord(out, kGradientStopBytes, slot, colorSlotFields);
}

SColorSlot decodeColorSlot(const uint8_t* in) {
  SColorSlot s;
  (void)readRecord(in, kGradientStopBytes, s, colorSlotFields);
  return s;
}

// ---- nibs -----------------------------------------------------------------------

void SNibDefinition::encode(uint8_t* out) const {
  (void)writeRecord(out, kNibDefineBytes, *this, nibDefinitionFields);
}

SNibDefinition SNibDefinition::decode(const uint8_t* in) {
  SNibDefinition d;
  (void)readRecord(in, kNibDefineBytes, d, nibDefinitionFields);
  return d;
}

void SNibSelection::encode(uint8_t* out) const {
  (void)writeRecord(out, kNibSelectBytes, *this, nibSelectionFields);
}

SNibSelection SNibSelection::decode(const uint8_t* in) {
  SNibSelection s;
  (void)readRecord(in, kNibSelectBytes, s, nibSelectionFields);
  return s;
}

// ---- the pen-method renderer ------------------------------------------------------

void encodeFalloff(const SGradeMapParam& p, uint8_t* out) {
  std::memset(out, 0, 8);
  writeLE16(out, saturateTo<uint16_t>(p.type));
  writeLE16(out + 2, saturateTo<uint16_t>(p.value1));
  writeLE16(out + 4, saturateTo<uint16_t>(p.value2));
}

SGradeMapParam decodeFalloff(const uint8_t* in) {
  SGradeMapParam p;
  p.type = readLE16(in);
  p.value1 = readLE16(in + 2);
  p.value2 = readLE16(in + 4);
  return p;
}

void encodeColorPair(uint32_t first, uint32_t second, uint8_t* out) {
  writeLE32(out, first);
  writeLE32(out + 4, second);
}

void encodeNibShape(const SPenShapeParam& p, bool imageNib, uint8_t* out) {
  std::memset(out, 0, 12);
  writeLE16(out, saturateTo<uint16_t>(p.size));
  writeLE16(out + 2, saturateTo<uint16_t>(p.minSize));
  writeLE16(out + 4, saturateTo<uint16_t>(p.aspect));
  writeLE16(out + 6, saturateTo<uint16_t>(p.angle));
  out[8] = imageNib ? 1 : 0;
}

SPenShapeParam decodeNibShape(const uint8_t* in, bool& imageNib) {
  SPenShapeParam p;
  p.size = readLE16(in);
  p.minSize = readLE16(in + 2);
  p.aspect = readLE16(in + 4);
  p.angle = readLE16(in + 6);
  imageNib = in[8] != 0;
  return p;
}

void encodeEdge(const SEdgeParam& p, uint8_t* out) {
  std::memset(out, 0, 12);
  writeLE32(out, uint32_t(p.hard));
}

SEdgeParam decodeEdge(const uint8_t* in) {
  SEdgeParam p;
  p.hard = int32_t(readLE32(in));
  return p;
}

void encodeRenderMethod(const SPenRenderParam& p, uint8_t* out) {
  std::memset(out, 0, 8);
  out[0] = p.workPlane != 0 ? 1 : 0;
  out[1] = p.method;
  out[2] = p.subMode;
  out[3] = p.shapeFlag;
}

void decodeRenderMethod(const uint8_t* in, SPenRenderParam& p) {
  p.workPlane = in[0] & 1;
  p.method = in[1];
  p.subMode = in[2];
  p.shapeFlag = in[3];
}

void encodeRenderValues(const SPenRenderParam& p, uint8_t* out) {
  std::memset(out, 0, 16);
  writeLE32(out, uint32_t(p.effect));
  writeLE32(out + 4, uint32_t(p.env));
  writeLE32(out + 8, uint32_t(p.speed));
}

void decodeRenderValues(const uint8_t* in, SPenRenderParam& p) {
  p.effect = int32_t(readLE32(in));
  p.env = int32_t(readLE32(in + 4));
  p.speed = int32_t(readLE32(in + 8));
}

void encodePenSwitches(bool gradation, bool tone, uint8_t* out) {
  writeLE16(out, uint16_t((gradation ? 1 : 0) | (tone ? 2 : 0)));
  writeLE16(out + 2, 0);
}

void encodeStrokeParam(const SStrokeParam& p, uint8_t* out) {
  std::memset(out, 0, 16);
  writeLE16(out, uint16_t((p.pressureSize != 0 ? 1 : 0) | (p.pressureOpacity != 0 ? 2 : 0)));
  writeLE16(out + 2, saturateTo<uint16_t>(p.opacity));
  writeLE16(out + 6, saturateTo<uint16_t>(p.gamma));
  writeLE16(out + 8, saturateTo<uint16_t>(p.spacing));
  writeLE16(out + 10, saturateTo<uint16_t>(p.dabEveryStep));
  writeLE16(out + 12, saturateTo<uint16_t>(p.splitStep));
}

SStrokeParam decodeStrokeParam(const uint8_t* in) {
  SStrokeParam p;
  const uint16_t flags = readLE16(in);
  p.pressureSize = flags & 1;
  p.pressureOpacity = (flags >> 1) & 1;
  p.opacity = readLE16(in + 2);
  p.gamma = readLE16(in + 6);
  p.spacing = readLE16(in + 8);
  p.dabEveryStep = readLE16(in + 10);
  p.splitStep = readLE16(in + 12);
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
