#include "record/tone_records.h"

#include <bit>

#include "brush/screen_tone.h"
#include "brush/tone_patterns.h"
#include "record/packet_catalogue.h"

namespace pg {

namespace {

// The fields both forms share.
void commonFields(SToneRecord& record, const CPat8& pattern, uint16_t form, uint32_t flags) {
  record.fill(0);
  uint8_t* r = record.data();
  writeLE16(r, 8);
  writeLE16(r + kToneRecForm, form);
  writeLE16(r + 6, 1);
  if (pattern.Invert != 0) flags |= kToneFlagInvert;
  writeLE32(r + kToneRecFlags, flags);
  writeLE32(r + kToneRecValue, uint32_t(pattern.Scale));
  writeLE32(r + kToneRecOriginX, uint32_t(pattern.OffsetX));
  writeLE32(r + kToneRecOriginY, uint32_t(pattern.OffsetY));
  writeLE32(r + kToneRecWidth, uint32_t(pattern.Width));
  writeLE32(r + kToneRecHeight, uint32_t(pattern.Height));
}

}  // namespace

void patternToRecord(SToneRecord& record, const CPat8& pattern) {
  commonFields(record, pattern, kToneFormPlain, kToneFlagPlain);
}

void toneToRecord(SToneRecord& record, const CPat8Tone& tone) {
  commonFields(record, tone, kToneFormGenerated, 0);
  attributesToRecord(tone.attributes(), record);
}

void attributesToRecord(const SToneAttr& attributes, SToneRecord& record) {
  uint8_t* r = record.data();
  uint32_t flags = readLE32(r + kToneRecFlags);
  flags = (attributes.Flag & 0xFFu) != 0 ? (flags | kToneFlagAttribute) : (flags & ~kToneFlagAttribute);
  writeLE32(r + kToneRecFlags, flags);
  uint8_t* a = r + kToneRecAttributes;
  writeLE32(a, attributes.Shape);
  writeLE32(a + 4, std::bit_cast<uint32_t>(attributes.Resolution));
  writeLE32(a + 8, std::bit_cast<uint32_t>(attributes.Ruling));
  writeLE32(a + 12, uint32_t(attributes.Density));
  writeLE32(a + 16, uint32_t(attributes.Angle));
  writeLE32(a + 20, uint32_t(attributes.Smoothing));
}

void recordToAttributes(const SToneRecord& record, SToneAttr& attributes) {
  const uint8_t* r = record.data();
  attributes.Flag = (readLE32(r + kToneRecFlags) & kToneFlagAttribute) != 0 ? 1u : 0u;
  const uint8_t* a = r + kToneRecAttributes;
  attributes.Shape = readLE32(a);
  attributes.Resolution = std::bit_cast<float>(readLE32(a + 4));
  attributes.Ruling = std::bit_cast<float>(readLE32(a + 8));
  attributes.Density = int32_t(readLE32(a + 12));
  attributes.Angle = int32_t(readLE32(a + 16));
  attributes.Smoothing = int32_t(readLE32(a + 20));
}

}  // namespace pg
