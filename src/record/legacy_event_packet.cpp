// The version 1.1 event stream: its table of codes, the check of a whole
// stream, the readers and the writer.
#include "record/legacy_event_packet.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "brush/stroke_settings.h"
#include "core/byte_cursor.h"
#include "platform/file_io.h"

namespace pg {

namespace {

// One row per run of codes with one layout.
struct SCodeRow {
  uint16_t first;
  uint16_t last;
  SLegacyCodeLayout layout;
};

// Strokes (0..4) carry a 17-byte header and the first point (23 bytes),
// then a u16 count of 6-byte points; the polygons 297 and 304 a u16 count
// of 4-byte points after their fixed part.
constexpr SCodeRow kCodes[] = {
    {0, 4, {23, 6, false}},       {256, 257, {1, 0, true}},     {258, 258, {0, 0, true}},
    {259, 259, {1, 0, true}},     {260, 260, {2, 0, true}},     {261, 261, {1, 0, true}},
    {272, 272, {1, 0, true}},     {273, 273, {1, 0, false}},    {274, 276, {2, 0, false}},
    {277, 277, {1, 0, false}},    {288, 292, {1, 0, true}},     {293, 293, {4, 0, true}},
    {294, 294, {5, 0, true}},     {295, 295, {9, 0, true}},     {296, 296, {12, 0, true}},
    {297, 297, {1, 4, true}},     {304, 304, {4, 4, true}},     {305, 305, {27, 0, true}},
    {512, 512, {4, 0, true}},     {513, 513, {3, 0, true}},     {514, 514, {5, 0, true}},
    {515, 515, {4, 0, true}},     {516, 517, {0, 0, true}},     {518, 518, {0, 0, false}},
    {519, 519, {1, 0, false}},    {520, 520, {4, 0, true}},     {528, 531, {0, 0, true}},
    {kLegacyEndCode, kLegacyEndCode, {0, 0, true}},
};

constexpr size_t kStrokeHeaderBytes = 17;
constexpr size_t kStrokePointBytes = 6;

uint16_t u16At(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

[[nodiscard]] bool isCanvasSize(uint16_t code) { return code == 512 || code == 514 || code == 515 || code == 520; }

// The stroke header: target layer, colour (most significant byte first),
// pressure switches, then six values in 1/256.
struct SStrokeHeader {
  uint8_t layer = 0;
  std::array<uint8_t, 3> colour{};
  uint8_t switches = 0;
  std::array<uint16_t, 6> values{};  // minimum size, width, gamma, effect, environment, speed
};

void strokeHeaderFields(CByteCursor& c, SStrokeHeader& h) {
  c.field(h.layer).bytes(h.colour.data(), 3).field(h.switches);
  for (uint16_t& v : h.values) c.field(v);
}

}  // namespace

bool legacyCodeLayout(uint16_t code, SLegacyCodeLayout& layout) {
  for (const SCodeRow& row : kCodes)
    if (code >= row.first && code <= row.last) {
      layout = row.layout;
      return true;
    }
  return false;
}

size_t legacyRecordLength(const uint8_t* data, size_t size) {
  SLegacyCodeLayout layout;
  if (size < 2 || !legacyCodeLayout(u16At(data), layout)) return 0;
  size_t length = 2 + size_t{layout.fixedBytes};
  if (layout.itemBytes > 0) {
    if (size < length + 2) return 0;
    length += 2 + size_t{u16At(data + length)} * layout.itemBytes;
  }
  return length <= size ? length : 0;
}

TEventPacket::TEventPacket() { bytes_.reserve(256000); }

void TEventPacket::clear() {
  bytes_.clear();
  pos_ = 0;
  records_ = 0;
  pointsLeft_ = 0;
  insideStroke_ = false;
}

bool TEventPacket::adopt(const uint8_t* data, size_t size, SLegacyStreamInfo& info) {
  info = {};
  if (data == nullptr || size > kLegacyStreamMax) return false;
  SLegacyStreamInfo found;
  int32_t records = 0;
  for (size_t at = 0;;) {
    const size_t length = legacyRecordLength(data + at, size - at);
    if (length == 0) return false;
    const uint16_t code = u16At(data + at);
    if (records == 0 && code != 512 && code != 520) return false;
    if (isCanvasSize(code)) {
      found.canvasWidth = std::max<int32_t>(found.canvasWidth, u16At(data + at + 2));
      found.canvasHeight = std::max<int32_t>(found.canvasHeight, u16At(data + at + 4));
    }
    SLegacyCodeLayout layout;
    (void)legacyCodeLayout(code, layout);  // the length was found above, so the code is known
    if (layout.counted) ++found.eventCount;
    ++records;
    at += length;
    if (code == kLegacyEndCode) break;
  }
  try {
    std::vector<uint8_t> copy(data, data + size);
    clear();
    bytes_ = std::move(copy);
  } catch (const std::bad_alloc&) {
    return false;
  }
  records_ = records;
  info = found;
  return true;
}

bool TEventPacket::loadFromFile(const std::string& path, SLegacyStreamInfo& info) {
  info = {};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::vector<uint8_t> data;
  bool ok = true;
  try {
    // Grows by 64 KB until the file ends, refusing a stream beyond the limit.
    for (;;) {
      const size_t at = data.size();
      if (at > kLegacyStreamMax) {
        ok = false;
        break;
      }
      data.resize(at + 65536);
      const int64_t got = readFully(fd, data.data() + at, 65536);
      if (got < 0) {
        ok = false;
        break;
      }
      data.resize(at + size_t(got));
      if (got < 65536) break;
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  ::close(fd);
  return ok && adopt(data.data(), data.size(), info);
}

bool TEventPacket::saveToFile(const std::string& path) const {
  // The records up to and including the end code.
  size_t end = 0;
  for (;;) {
    const size_t length = legacyRecordLength(bytes_.data() + end, bytes_.size() - end);
    if (length == 0) return false;
    const uint16_t code = u16At(bytes_.data() + end);
    end += length;
    if (code == kLegacyEndCode) break;
  }
  std::string temporary;
  const int fd = openReplacement(path, temporary);
  if (fd < 0) return false;
  const bool written = writeFully(fd, bytes_.data(), int64_t(end)) == int64_t(end);
  return finishReplacement(fd, temporary, path, written);
}

bool TEventPacket::appendRecord(uint16_t code, const uint8_t* payload, size_t size) {
  if (size > 0 && payload == nullptr) return false;
  if (bytes_.size() + size + 2 > kLegacyStreamMax) return false;
  try {
    std::vector<uint8_t> record(2 + size);
    record[0] = uint8_t(code);
    record[1] = uint8_t(code >> 8);
    if (size > 0) std::memcpy(record.data() + 2, payload, size);
    if (legacyRecordLength(record.data(), record.size()) != record.size()) return false;
    bytes_.insert(bytes_.end(), record.begin(), record.end());
  } catch (const std::bad_alloc&) {
    return false;
  }
  ++records_;
  return true;
}

// A stream that cannot take it has no end code, and saving it fails.
void TEventPacket::appendEnd() { (void)appendRecord(kLegacyEndCode, nullptr, 0); }

void TEventPacket::dropLastCode() {
  bytes_.resize(bytes_.size() >= 2 ? bytes_.size() - 2 : 0);
  pos_ = std::min(pos_, bytes_.size());
}

bool TEventPacket::skipBytes(size_t n) {
  if (n > remaining()) return false;
  pos_ += n;
  return true;
}

bool TEventPacket::readBytes(uint8_t* out, size_t n) {
  if (n > remaining()) return false;
  if (n > 0) std::memcpy(out, bytes_.data() + pos_, n);
  pos_ += n;
  return true;
}

bool TEventPacket::readU16(uint16_t& v) {
  uint8_t b[2];
  if (!readBytes(b, 2)) return false;
  v = u16At(b);
  return true;
}

bool TEventPacket::readI16(int16_t& v) {
  uint16_t u = 0;
  if (!readU16(u)) return false;
  v = static_cast<int16_t>(u);
  return true;
}

bool TEventPacket::readCode(uint16_t& code) { return readU16(code); }

bool TEventPacket::readStrokeHeader(TStroke& stroke) {
  uint8_t b[kStrokeHeaderBytes];
  SStrokeHeader h;
  if (!readBytes(b, sizeof b) || !readRecord(b, sizeof b, h, strokeHeaderFields)) return false;
  stroke.setLayerIndex(h.layer);
  stroke.setColor(uint32_t(h.colour[0]) << 16 | uint32_t(h.colour[1]) << 8 | h.colour[2]);
  stroke.setPressureSize((h.switches & 1) != 0);
  stroke.setPressureOpacity((h.switches & 2) != 0);
  stroke.setPressureEdge((h.switches & 4) != 0);
  const auto value = [&](int i) { return float(h.values[size_t(i)]) / 256.0f; };
  stroke.setMinSize(value(0));
  stroke.setWidth(value(1));
  stroke.setGamma(value(2));
  stroke.setEffect(value(3));
  stroke.setEnv(value(4));
  stroke.setSpeed(value(5));
  return true;
}

bool TEventPacket::readStrokeBegin(TStroke& stroke, SLegacyPoint& first) {
  // The whole record must be there before anything is taken from it.
  if (remaining() < kStrokeHeaderBytes + kStrokePointBytes + 2) return false;
  const uint16_t count = u16At(bytes_.data() + pos_ + kStrokeHeaderBytes + kStrokePointBytes);
  if (remaining() < kStrokeHeaderBytes + kStrokePointBytes + 2 + size_t{count} * kStrokePointBytes) return false;
  int16_t x = 0, y = 0, p = 0;
  uint16_t n = 0;
  if (!readStrokeHeader(stroke) || !readI16(x) || !readI16(y) || !readI16(p) || !readU16(n)) return false;
  first = {x, y, float(p) / 1024.0f};
  pointsLeft_ = n;
  insideStroke_ = n > 0;
  return true;
}

bool TEventPacket::readStrokeBeginKind(TStroke& stroke, std::array<int16_t, 4>& values) {
  if (remaining() < kStrokeHeaderBytes + 2 + 8) return false;
  const uint16_t kind = u16At(bytes_.data() + pos_ + kStrokeHeaderBytes);
  if (kind > 4) return false;
  uint16_t k = 0;
  if (!readStrokeHeader(stroke) || !readU16(k)) return false;
  stroke.setKind(uint8_t(kind));
  for (int16_t& v : values)
    if (!readI16(v)) return false;
  return true;
}

bool TEventPacket::readPoint(SLegacyPoint& point, bool& last) {
  last = false;
  if (!insideStroke_ || pointsLeft_ <= 0 || remaining() < kStrokePointBytes) return false;
  int16_t x = 0, y = 0, p = 0;
  if (!readI16(x) || !readI16(y) || !readI16(p)) return false;
  point = {x, y, float(p) / 1024.0f};
  if (--pointsLeft_ == 0) {
    insideStroke_ = false;
    last = true;
  }
  return true;
}

bool TEventPacket::readFourBytesSwapped(std::array<uint8_t, 4>& v) {
  if (!readBytes(v.data(), 4)) return false;
  std::swap(v[2], v[3]);
  return true;
}

bool TEventPacket::readPointList(std::vector<SLegacyPoint>& points) {
  points.clear();
  if (remaining() < 2) return false;
  const uint16_t count = u16At(bytes_.data() + pos_);
  if (remaining() < 2 + size_t{count} * 4) return false;
  pos_ += 2;
  points.resize(count);
  for (SLegacyPoint& p : points) {
    if (!readI16(p.x) || !readI16(p.y)) return false;
    p.pressure = 1.0f;
  }
  return true;
}

}  // namespace pg
