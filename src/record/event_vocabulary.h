#pragma once
// The event vocabulary: packets are identified by (type, subcode), people see
// events. 133 events, each with an index (1..133, 0 for none), a dotted
// identifier, a display name from the string table and an image number for
// the event log; the maps from a packet header, a filter's event code and a
// legacy 16-bit code to an event index; and the two small records that
// recorders and filters fill.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pg {

inline constexpr int kEventCount = 133;
// Image number of events without a picture of their own.
inline constexpr uint8_t kEventDefaultImage = 86;

struct SEventEntry {
  const char* name;  // dotted identifier; "" for index 0
  uint16_t resId;    // resource id of the display name; 0 for index 0
  uint8_t image;     // index into the event log's image list
};

// The entry of an index; index 0 and indices past 133 give the empty entry.
const SEventEntry& eventEntry(int index);

// The dotted identifier, e.g. "layer.filter.emboss"; empty for 0 and past 133.
std::string_view eventIdentifier(int index);

// The event index of a packet header; 0 when the header names no event.
uint8_t eventNameIndex(uint8_t type, uint8_t subcode);

// The event index of a filter's event code (the subcode of types 32-35, 38).
uint8_t filterCodeIndex(uint8_t code);

// The display name, fetched from the string table when asked for so that it
// follows the language module; empty for 0 and past 133.
std::string eventDisplayName(int index);

// The image number; 86 for index 0 and past 133.
uint8_t eventIconOf(int index);

// The event index of a code of the legacy 16-bit stream; 0 for other codes.
uint8_t legacyCodeKind(uint16_t code);

// The 50-byte event record that begins a type-38 body:
//   +0 u16 layer index, +2 u16 value, +4 u16 data length = count * element
//   size, +6 u16 count, +8 u16 element size, +10 40 filter-specific bytes.
using SEventRecord = std::array<uint8_t, 50>;
// Where the fields a filter fills begin (the 32 bytes its kernel reads as its
// parameters), and the gradient map's reverse and keep-alpha switches.
inline constexpr size_t kEventRecordFilterFields = 18;
inline constexpr size_t kEventRecordReverse = 22;
inline constexpr size_t kEventRecordKeepAlpha = 23;

// Zeroes the record and fills offsets 0-9. False (and the record left zeroed)
// when count * element size does not fit the 16-bit data length.
[[nodiscard]] bool initEventHeader(SEventRecord &record, uint16_t layerIndex,
                                   uint16_t value, uint16_t elementSize,
                                   uint16_t count);

inline uint16_t eventRecordLayer(const SEventRecord& r) { return uint16_t(r[0] | r[1] << 8); }
inline uint16_t eventRecordValue(const SEventRecord& r) { return uint16_t(r[2] | r[3] << 8); }
inline uint16_t eventRecordDataLength(const SEventRecord& r) { return uint16_t(r[4] | r[5] << 8); }
inline uint16_t eventRecordCount(const SEventRecord& r) { return uint16_t(r[6] | r[7] << 8); }
inline uint16_t eventRecordElementSize(const SEventRecord& r) { return uint16_t(r[8] | r[9] << 8); }

// The 12-byte colour record: bytes 0-2 the bytes 1, 2 and 3 of the first
// value, byte 3 zero, u16 at 4 the low 16 bits of the second value, u8 at 6
// the kind, bytes 7-11 zero.
using SColorRecord = std::array<uint8_t, 12>;
void makeColorRecord(SColorRecord& record, uint32_t first, uint32_t second, uint8_t kind);

}  // namespace pg
