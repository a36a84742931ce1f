#include "record/state_packets.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <string>

#include "brush/gradient.h"
#include "brush/tone_patterns.h"
#include "core/block_compress.h"
#include "platform/text_codec.h"
#include "record/packet_catalogue.h"

namespace pg {

uint16_t saturate16(int64_t v) { return uint16_t(std::clamp<int64_t>(v, 0, 0xFFFF)); }

void writeF32(uint8_t* p, float v) { writeLE32(p, std::bit_cast<uint32_t>(v)); }
float readF32(const uint8_t* p) { return std::bit_cast<float>(readLE32(p)); }

// ---- tones ----------------------------------------------------------------------

void SToneSelection::encode(uint8_t* out) const {
  std::memset(out, 0, kToneSelectBytes);
  writeLE32(out, id);
  out[4] = kind;
  out[5] = flags;
  out[6] = attributeByte;
  writeLE16(out + 8, value);
  writeLE32(out + 12, uint32_t(originX));
  writeLE32(out + 16, uint32_t(originY));
}

SToneSelection SToneSelection::decode(const uint8_t* in) {
  SToneSelection s;
  s.id = readLE32(in);
  s.kind = in[4];
  s.flags = in[5];
  s.attributeByte = in[6];
  s.value = readLE16(in + 8);
  s.originX = int32_t(readLE32(in + 12));
  s.originY = int32_t(readLE32(in + 16));
  return s;
}

bool toneSelectionOf(const CPatObj& pattern, SToneSelection& out) {
  const auto* stored = dynamic_cast<const CPat8*>(&pattern);
  if (stored == nullptr) return false;
  out = {};
  out.id = pattern.Id;
  out.value = saturate16(pattern.Scale);
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
  std::memset(out, 0, kToneDefineBytes);
  writeLE32(out, id);
  std::memcpy(out + 12, record.data(), kToneRecordBytes);
  writeLE16(out + 16, std::min<uint16_t>(nameLength, kToneNameBytes));
  std::memcpy(out + 84, name.data(), kToneNameBytes);
  writeLE32(out + 148, unpackedLength);
  writeLE32(out + 152, packedLength);
  writeLE32(out + 156, paddedLength);
}

SToneDefinition SToneDefinition::decode(const uint8_t* in) {
  SToneDefinition d;
  d.id = readLE32(in);
  std::memcpy(d.record.data(), in + 12, kToneRecordBytes);
  d.nameLength = std::min<uint16_t>(readLE16(in + 16), kToneNameBytes);
  std::memcpy(d.name.data(), in + 84, kToneNameBytes);
  d.unpackedLength = readLE32(in + 148);
  d.packedLength = readLE32(in + 152);
  d.paddedLength = readLE32(in + 156);
  return d;
}

// ---- gradient -------------------------------------------------------------------

void SGradientHeader::encode(uint8_t* out) const {
  std::memset(out, 0, kGradientHeadBytes);
  writeLE16(out, stopCount);
  writeLE16(out + 2, uint16_t(kGradientStopBytes));
  writeLE16(out + 6, dataLength);
}

SGradientHeader SGradientHeader::decode(const uint8_t* in) { return {readLE16(in), readLE16(in + 6)}; }

void encodeColorSlot(const SColorSlot& slot, uint8_t* out) {
  out[0] = slot.Used;
  out[1] = slot.Enabled;
  out[2] = slot.Flag;
  out[3] = slot.Opacity;
  writeLE32(out + 4, uint32_t(slot.Index));
  writeLE32(out + 8, slot.Color);
  writeLE32(out + 12, uint32_t(slot.Weight));
  writeLE32(out + 16, uint32_t(slot.Start));
  writeLE32(out + 20, uint32_t(slot.Length));
}

SColorSlot decodeColorSlot(const uint8_t* in) {
  SColorSlot s;
  s.Used = in[0];
  s.Enabled = in[1];
  s.Flag = in[2];
  s.Opacity = in[3];
  s.Index = int32_t(readLE32(in + 4));
  s.Color = readLE32(in + 8);
  s.Weight = int32_t(readLE32(in + 12));
  s.Start = int32_t(readLE32(in + 16));
  s.Length = int32_t(readLE32(in + 20));
  return s;
}

// ---- nibs -----------------------------------------------------------------------

void SNibDefinition::encode(uint8_t* out) const {
  std::memset(out, 0, kNibDefineBytes);
  writeLE32(out, id);
  writeLE16(out + 4, scale);
  writeLE16(out + 8, scaleMin);
  writeLE16(out + 10, scaleMax);
  writeLE32(out + 20, uint32_t(width));
  writeLE32(out + 24, uint32_t(height));
  writeLE32(out + 28, imageBytes);
  writeLE32(out + 32, packedLength);
  writeLE32(out + 36, paddedLength);
}

SNibDefinition SNibDefinition::decode(const uint8_t* in) {
  SNibDefinition d;
  d.id = readLE32(in);
  d.scale = readLE16(in + 4);
  d.scaleMin = readLE16(in + 8);
  d.scaleMax = readLE16(in + 10);
  d.width = int32_t(readLE32(in + 20));
  d.height = int32_t(readLE32(in + 24));
  d.imageBytes = readLE32(in + 28);
  d.packedLength = readLE32(in + 32);
  d.paddedLength = readLE32(in + 36);
  return d;
}

void SNibSelection::encode(uint8_t* out) const {
  std::memset(out, 0, kNibSelectBytes);
  writeLE32(out, id);
  writeLE16(out + 6, scale);
  writeLE32(out + 16, uint32_t(width));
  writeLE32(out + 20, uint32_t(height));
}

SNibSelection SNibSelection::decode(const uint8_t* in) {
  return {readLE32(in), readLE16(in + 6), int32_t(readLE32(in + 16)), int32_t(readLE32(in + 20))};
}

// ---- the pen-method renderer ------------------------------------------------------

void encodeFalloff(const SGradeMapParam& p, uint8_t* out) {
  std::memset(out, 0, 8);
  writeLE16(out, saturate16(p.type));
  writeLE16(out + 2, saturate16(p.value1));
  writeLE16(out + 4, saturate16(p.value2));
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
  writeLE16(out, saturate16(p.size));
  writeLE16(out + 2, saturate16(p.minSize));
  writeLE16(out + 4, saturate16(p.aspect));
  writeLE16(out + 6, saturate16(p.angle));
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
  writeLE16(out + 2, saturate16(p.opacity));
  writeLE16(out + 6, saturate16(p.gamma));
  writeLE16(out + 8, saturate16(p.spacing));
  writeLE16(out + 10, saturate16(p.dabEveryStep));
  writeLE16(out + 12, saturate16(p.splitStep));
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
