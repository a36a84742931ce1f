#include "filters/filter_params.h"

#include <cmath>
#include <cstring>

#include "core/byte_cursor.h"

namespace pg {

namespace {

// Each record is written into, or read from, a buffer of its own size: what
// its field list takes.
void fltRecordFields(CByteCursor& c, SFltRecord& r) {
  c.field(r.Total).field(r.Count).field(r.Size).bytes(r.Unset.data(), r.Unset.size());
  c.bytes(r.Params.data(), r.Params.size()).zeros(4);  // where the extra data's address was
}

void custom5x5Fields(CByteCursor& c, SCustom5x5Block& b) {
  for (int32_t& w : b.Weights) c.field(w);
  c.field(b.Divisor).field(b.Offset);
}

void light4Fields(CByteCursor& c, SLight4& l) {
  c.field(l.Kind).field(l.Intensity).field(l.Colour).field(l.Range).field(l.X).field(l.Y).field(l.Height);
  c.field(l.Direction).field(l.Pitch).field(l.Spread).bytes(l.Reserved.data(), l.Reserved.size());
}

}  // namespace

void SFltRecord::write(uint8_t* out) const { (void)writeRecord(out, SFltRecord::kWireSize, *this, fltRecordFields); }

bool initFltRecord(SFltRecord& r, uint16_t count, uint16_t size) {
  const uint32_t total = uint32_t{count} * size;
  r.Count = count;
  r.Size = size;
  r.Total = static_cast<uint16_t>(total);
  r.Params.fill(0);
  r.Extra = nullptr;
  return total <= 0xFFFFu;
}

SCustom5x5Block SCustom5x5Block::read(const uint8_t* p) {
  return recordFromBytes<SCustom5x5Block>(p, SCustom5x5Block::kSize, custom5x5Fields);
}

void SCustom5x5Block::write(uint8_t* out) const { (void)writeRecord(out, SCustom5x5Block::kSize, *this, custom5x5Fields); }

void initCustom5x5Block(SCustom5x5Block& b) { b = SCustom5x5Block{}; }

SLight4 SLight4::read(const uint8_t* p) {
  return recordFromBytes<SLight4>(p, SLight4::kSize, light4Fields);
}

void SLight4::write(uint8_t* out) const { (void)writeRecord(out, SLight4::kSize, *this, light4Fields); }

void initLightingBlock(SLight4& b) { b = SLight4{}; }

namespace {

// Equal, or not comparable at all (a NaN on either side).
[[nodiscard]] bool sameOrUnordered(float a, float b) { return a == b || std::isunordered(a, b); }

}  // namespace

bool sameLightingParams(const SLight4& a, const SLight4& b) {
  return a.Kind == b.Kind && a.Intensity == b.Intensity && a.Colour == b.Colour && a.Range == b.Range &&
         sameOrUnordered(a.X, b.X) && sameOrUnordered(a.Y, b.Y) && a.Height == b.Height &&
         sameOrUnordered(a.Direction, b.Direction) && sameOrUnordered(a.Pitch, b.Pitch) && a.Spread == b.Spread;
}

SFltGradientMap SFltGradientMap::read(const uint8_t* p) {
  SFltGradientMap r;
  r.Gradient = nullptr;
  r.Repeat.OwnSettings = p[4];
  r.Repeat.Shape = p[5];
  r.Repeat.Mirror = p[6];
  r.Repeat.Wrap = p[7];
  r.Repeat.Count = readRecI32(p + 8);
  r.Reverse = p[12];
  r.KeepAlpha = p[13];
  return r;
}

void SFltGradientMap::write(uint8_t* out, uint32_t gradientWord) const {
  writeLE32(out, gradientWord);
  out[4] = Repeat.OwnSettings;
  out[5] = Repeat.Shape;
  out[6] = Repeat.Mirror;
  out[7] = Repeat.Wrap;
  writeRecI32(out + 8, Repeat.Count);
  out[12] = Reverse;
  out[13] = KeepAlpha;
}

void initGradientMapRecord(SFltGradientMap& r) {
  r.Gradient = nullptr;
  r.Repeat.init();
  r.Reverse = 0;
  r.KeepAlpha = 1;
}

void initFltTexture(SFltTexture& t) {
  t.DocValue = 0;
  t.Image = nullptr;
  t.FileName.clear();
}

namespace {

// The floor's 63 bytes; the u16 nominal sizes sit at odd offsets, which the
// cursor handles like any other field.
void fltFloorFields(CByteCursor& c, SFltFloor& f) {
  c.field(f.XPosition).field(f.EyeDistance).field(f.ZPosition).field(f.Heading).field(f.Pitch).field(f.Unused20);
  c.field(f.ProjectionDistance).field(f.CeilingHeight).field(f.FogOpacity).field(f.FogColour);
  c.field(f.KeepLayer).field(f.FogKind).field(f.PlanesShown).field(f.TextureFromFile).field(f.FogToInfinity);
  c.field(f.Sampler).field(f.FogDistance);
  c.field(f.CeilingTexWidth).field(f.CeilingTexHeight).field(f.FloorTexWidth).field(f.FloorTexHeight);
  c.bytes(f.Reserved.data(), f.Reserved.size());
}

}  // namespace

SFltFloor SFltFloor::read(const uint8_t* p) {
  return recordFromBytes<SFltFloor>(p, SFltFloor::kSize, fltFloorFields);
}

void SFltFloor::write(uint8_t* out) const { (void)writeRecord(out, SFltFloor::kSize, *this, fltFloorFields); }

void initFltFloor(SFltFloor& f) {
  f = SFltFloor{};
  f.FogToInfinity = 1;
  f.FogDistance = 30;
}

void initFltFloorW(SFltFloorW& f) {
  initFltFloor(f.Floor);
  for (SFltTexture& t : f.Textures) initFltTexture(t);
}

bool floorHasTexture1(const SFltFloor& f) { return (f.PlanesShown & f.TextureFromFile & 1u) != 0; }
bool floorHasTexture2(const SFltFloor& f) { return (f.PlanesShown & f.TextureFromFile & 2u) != 0; }

void clearBytes20(void* record) { std::memset(record, 0, 20); }

bool fltRecordFromBytes(const std::vector<uint8_t>& bytes, SFltRecord& out) {
  constexpr size_t kParams = sizeof(SFltRecord::Params);
  if (bytes.size() <= kParams || bytes.size() - kParams > 0xFFFF) return false;
  if (!initFltRecord(out, 1, uint16_t(bytes.size() - kParams))) return false;
  std::copy(bytes.begin(), bytes.begin() + kParams, out.Params.begin());
  out.Extra = bytes.data() + kParams;
  return true;
}

std::vector<uint8_t> fltRecordBytes(const SFltRecord& r) {
  std::vector<uint8_t> bytes(r.Params.begin(), r.Params.end());
  if (r.Extra != nullptr) bytes.insert(bytes.end(), r.Extra, r.Extra + r.Total);
  return bytes;
}

}  // namespace pg
