#pragma once
// The parameter records several filters share, with their initialisers and
// comparers. A filter's own record lives beside its kernel; what is here is
// the plain word records, the record with extra data and its two extra
// blocks, the gradient-map record and the floor record with its textures.
//
// Byte layouts are what the event packets carry, so every record that
// travels has a fixed wire size and is read and written field by field,
// little-endian (readFltRecord / write). The in-memory form may differ: a
// reference to other data is a real pointer here and never reaches the bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "brush/gradient.h"
#include "filters/record_bytes.h"

namespace pg {

class TMTC;

// Reads a record of type R from a kernel's (parameter address, size): false,
// with `out` untouched, unless size equals R::kSize. A kernel's size check and
// its decoding in one.
template <class R>
[[nodiscard]] bool readFltRecord(const void* param, int32_t size, R& out) {
  const uint8_t* p = recordBytes(param, size, static_cast<int32_t>(R::kSize));
  if (p == nullptr) return false;
  out = R::read(p);
  return true;
}

// ---- plain records of 8, 16 and 24 bytes -------------------------------------
// Two, four or six 32-bit words in the order the event packet carries them.

using SFltRecord2 = std::array<uint32_t, 2>;
using SFltRecord4 = std::array<uint32_t, 4>;
using SFltRecord6 = std::array<uint32_t, 6>;

inline void initFltRecord2(SFltRecord2& r) { r.fill(0); }
inline void initFltRecord4(SFltRecord4& r) { r.fill(0); }
inline void initFltRecord6(SFltRecord6& r) { r.fill(0); }
// Word-by-word equality: the dialogs' test whether a preview is due.
[[nodiscard]] inline bool sameFltRecord2(const SFltRecord2& a, const SFltRecord2& b) { return a == b; }
[[nodiscard]] inline bool sameFltRecord4(const SFltRecord4& a, const SFltRecord4& b) { return a == b; }
[[nodiscard]] inline bool sameFltRecord6(const SFltRecord6& a, const SFltRecord6& b) { return a == b; }

// The words of a record's bytes (4 * N bytes, little-endian) and back.
template <size_t N>
std::array<uint32_t, N> fltWordsFromBytes(const uint8_t* bytes) {
  std::array<uint32_t, N> w{};
  for (size_t i = 0; i < N; ++i) w[i] = readLE32(bytes + 4 * i);
  return w;
}
template <size_t N>
void fltWordsToBytes(const std::array<uint32_t, N>& w, uint8_t* bytes) {
  for (size_t i = 0; i < N; ++i) writeLE32(bytes + 4 * i, w[i]);
}

// ---- the record with extra data (50 bytes on the wire) ----------------------

struct SFltRecord {
  static constexpr size_t kWireSize = 50;
  uint16_t Total = 0;  // Count * Size, the bytes of Extra
  uint16_t Count = 0;
  uint16_t Size = 0;
  std::array<uint8_t, 8> Unset{};   // not set by initFltRecord
  std::array<uint8_t, 32> Params{};
  const uint8_t* Extra = nullptr;  // Total bytes, or null

  // The 50 bytes; the extra block's address is no part of them (written 0).
  void write(uint8_t* out) const;
};

// The record over bytes laid out as its 32 parameter bytes, then its extra
// block (count 1, size the rest): how dialogs and repeat-last keep a record
// filter's parameters. Extra points into bytes. False when there is no extra
// block or it does not fit 16 bits.
[[nodiscard]] bool fltRecordFromBytes(const std::vector<uint8_t>& bytes, SFltRecord& out);
// The bytes of that layout for a record and its extra block.
std::vector<uint8_t> fltRecordBytes(const SFltRecord& r);

// Stores count and size, Total := their 16-bit product, zeroes the parameter
// bytes and Extra. Answers false when the product does not fit 16 bits (Total
// then holds its low 16 bits, and an extra block of that length would be cut).
[[nodiscard]] bool initFltRecord(SFltRecord& r, uint16_t count, uint16_t size);

// The custom 5 x 5 extra block: weights row by row, divisor, offset.
struct SCustom5x5Block {
  static constexpr size_t kSize = 108;
  std::array<int32_t, 25> Weights{};
  int32_t Divisor = 1;
  int32_t Offset = 0;

  static SCustom5x5Block read(const uint8_t* p);
  void write(uint8_t* out) const;
  friend bool operator==(const SCustom5x5Block&, const SCustom5x5Block&) = default;
};
// Weights 0, divisor 1, offset 0.
void initCustom5x5Block(SCustom5x5Block& b);

// The lighting extra block: one light. The first 40 bytes are what the dialog
// compares; the last 16 are reserved.
struct SLight4 {
  static constexpr size_t kSize = 56;
  int32_t Kind = 0;       // 0 point, 1 warm, 2 spot
  int32_t Intensity = 0;  // per cent
  uint32_t Colour = 0;    // pixel order (blue low)
  int32_t Range = 0;      // per cent
  float X = 0.0f;         // filter-area widths
  float Y = 0.0f;         // filter-area heights
  int32_t Height = 0;     // per cent
  float Direction = 0.0f; // radians
  float Pitch = 0.0f;     // radians
  int32_t Spread = 0;     // degrees
  std::array<uint8_t, 16> Reserved{};

  static SLight4 read(const uint8_t* p);
  void write(uint8_t* out) const;
};
// All 56 bytes 0.
void initLightingBlock(SLight4& b);
// The 40 comparable bytes: integers by value, floats by an ordered comparison
// in which a pair that compares unordered (a NaN on either side) counts as equal.
[[nodiscard]] bool sameLightingParams(const SLight4& a, const SLight4& b);

// ---- gradient map (14 bytes on the wire) -------------------------------------

struct SFltGradientMap {
  static constexpr size_t kSize = 14;
  const CColorSlotGroup* Gradient = nullptr;  // the chosen stops; never written
  SGradRepeat Repeat;                          // carried, not read by the kernel
  uint8_t Reverse = 0;
  uint8_t KeepAlpha = 1;

  // Gradient is null after a read: the stops travel apart from the record.
  static SFltGradientMap read(const uint8_t* p);
  // gradientWord is what the packet carries in the reference's place.
  void write(uint8_t* out, uint32_t gradientWord) const;
};
// Reference null, repeat (flags and shape 0, count 1), reverse 0, keep alpha 1.
void initGradientMapRecord(SFltGradientMap& r);

// ---- floor ---------------------------------------------------------------------

// A floor texture: a value taken from the document, the image (owned by the
// floor command, which makes it before the dialog and frees it after) and
// the file it came from (empty for a copy of the layer).
struct SFltTexture {
  uint32_t DocValue = 0;
  TMTC* Image = nullptr;
  std::string FileName;
};
void initFltTexture(SFltTexture& t);

// The floor filter's own parameters (63 bytes on the wire).
struct SFltFloor {
  static constexpr size_t kSize = 63;
  int32_t XPosition = 0;
  float EyeDistance = 0.0f;
  int32_t ZPosition = 0;
  float Heading = 0.0f;
  float Pitch = 0.0f;
  float Unused20 = 0.0f;
  int32_t ProjectionDistance = 0;
  int32_t CeilingHeight = 0;
  int32_t FogOpacity = 0;
  uint32_t FogColour = 0;
  uint8_t KeepLayer = 0;        // byte 40
  uint8_t FogKind = 0;          // byte 41
  uint8_t PlanesShown = 0;      // byte 42: bit 0 ceiling, bit 1 floor
  uint8_t TextureFromFile = 0;  // byte 43: bit 0 ceiling, bit 1 floor
  uint8_t FogToInfinity = 0;    // byte 44
  uint8_t Sampler = 0;          // byte 45
  uint8_t FogDistance = 0;      // byte 46
  uint16_t CeilingTexWidth = 0;
  uint16_t CeilingTexHeight = 0;
  uint16_t FloorTexWidth = 0;
  uint16_t FloorTexHeight = 0;
  std::array<uint8_t, 8> Reserved{};

  static SFltFloor read(const uint8_t* p);
  void write(uint8_t* out) const;
};
// All 0, then FogToInfinity (byte 44) 1 and FogDistance (byte 46) 30.
void initFltFloor(SFltFloor& f);

// The floor's whole parameter record: its parameters, the ceiling texture,
// then the floor texture.
struct SFltFloorW {
  SFltFloor Floor;
  std::array<SFltTexture, 2> Textures;
};
// initFltFloor, both textures initialised (no images).
void initFltFloorW(SFltFloorW& f);
// Bit 0 (bit 1) set in both the planes-shown and the from-file bytes.
[[nodiscard]] bool floorHasTexture1(const SFltFloor& f);
[[nodiscard]] bool floorHasTexture2(const SFltFloor& f);

// Zeroes a 20-byte record.
void clearBytes20(void* record);

}  // namespace pg
