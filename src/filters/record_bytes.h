#pragma once
// Field access for filter parameter records: the little-endian bytes that a
// dialog fills, a kernel reads and an event packet carries unchanged. Every
// field is read and written at its offset, never by copying a struct.
#include <bit>
#include <cstdint>

#include "core/byte_cursor.h"
#include "record/packet_catalogue.h"

namespace pg {

inline int16_t readRecI16(const uint8_t* p) { return static_cast<int16_t>(readLE16(p)); }
inline int32_t readRecI32(const uint8_t* p) { return static_cast<int32_t>(readLE32(p)); }
inline float readRecF32(const uint8_t* p) { return std::bit_cast<float>(readLE32(p)); }

inline void writeRecI16(uint8_t* p, int16_t v) { writeLE16(p, static_cast<uint16_t>(v)); }
inline void writeRecI32(uint8_t* p, int32_t v) { writeLE32(p, static_cast<uint32_t>(v)); }
inline void writeRecF32(uint8_t* p, float v) { writeLE32(p, std::bit_cast<uint32_t>(v)); }

// The record bytes of a kernel call when its size is the expected one, else null.
[[nodiscard]] inline const uint8_t* recordBytes(const void* param, int32_t size, int32_t expected) {
  return (param != nullptr && size == expected) ? static_cast<const uint8_t*>(param) : nullptr;
}

// A kernel's record through its field list: false unless it has exactly its size.
template <class Record, class Fields>
[[nodiscard]] bool readFilterRecord(const void* param, int32_t size, int32_t expected, Record& out, Fields fields) {
  const uint8_t* p = recordBytes(param, size, expected);
  return p != nullptr && readRecord(p, size_t(expected), out, fields);
}

}  // namespace pg
