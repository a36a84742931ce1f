#include "record/tone_records.h"

#include <bit>

#include "brush/screen_tone.h"
#include "brush/tone_patterns.h"
#include "record/packet_catalogue.h"

namespace pg {

SToneRecordFields readToneRecord(const SToneRecord& record) {
  return recordFromBytes<SToneRecordFields>(record.data(), record.size(), SToneRecordFields::fields);
}

void writeToneRecord(SToneRecord& record, const SToneRecordFields& fields) {
  (void)writeRecord(record.data(), record.size(), fields, SToneRecordFields::fields);  // the list takes the 72 bytes
}

namespace {

// The fields both forms share.
SToneRecordFields commonFields(const CPat8& pattern, uint16_t form, uint32_t flags) {
  SToneRecordFields f;
  f.form = form;
  f.flags = pattern.Invert != 0 ? flags | kToneFlagInvert : flags;
  f.value = uint32_t(pattern.Scale);
  f.originX = pattern.OffsetX;
  f.originY = pattern.OffsetY;
  f.width = pattern.Width;
  f.height = pattern.Height;
  return f;
}

}  // namespace

void patternToRecord(SToneRecord& record, const CPat8& pattern) {
  writeToneRecord(record, commonFields(pattern, kToneFormPlain, kToneFlagPlain));
}

void toneToRecord(SToneRecord& record, const CPat8Tone& tone) {
  writeToneRecord(record, commonFields(tone, kToneFormGenerated, 0));
  attributesToRecord(tone.attributes(), record);
}

void attributesToRecord(const SToneAttr& attributes, SToneRecord& record) {
  SToneRecordFields f = readToneRecord(record);
  f.flags = (attributes.Flag & 0xFFu) != 0 ? (f.flags | kToneFlagAttribute) : (f.flags & ~kToneFlagAttribute);
  f.attributes = {attributes.Shape,
                  std::bit_cast<uint32_t>(attributes.Resolution),
                  std::bit_cast<uint32_t>(attributes.Ruling),
                  uint32_t(attributes.Density),
                  uint32_t(attributes.Angle),
                  uint32_t(attributes.Smoothing)};
  writeToneRecord(record, f);
}

void recordToAttributes(const SToneRecord& record, SToneAttr& attributes) {
  const SToneRecordFields f = readToneRecord(record);
  attributes.Flag = (f.flags & kToneFlagAttribute) != 0 ? 1u : 0u;
  attributes.Shape = f.attributes[0];
  attributes.Resolution = std::bit_cast<float>(f.attributes[1]);
  attributes.Ruling = std::bit_cast<float>(f.attributes[2]);
  attributes.Density = int32_t(f.attributes[3]);
  attributes.Angle = int32_t(f.attributes[4]);
  attributes.Smoothing = int32_t(f.attributes[5]);
}

}  // namespace pg
