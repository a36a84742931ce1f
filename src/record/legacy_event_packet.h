#pragma once
// The event stream of version 1.1 recordings (".lge" files, and the stream
// embedded in ".lgb" documents): u16 codes, each followed by a payload whose
// size the code fixes (one table in the .cpp). TEventPacket holds one stream
// in memory: it checks a whole stream before taking it, hands it out record
// by record through typed readers to the legacy packet player, takes new
// records at its end and writes the stream back to a file.
//
// Every size comes from a file: the stream is checked record by record when
// it is adopted, and the readers check again against the stream's end,
// because records may be dropped or appended after the check.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pg {

class TStroke;

inline constexpr uint16_t kLegacyEndCode = 0xFFFF;
// Above this a stream is refused whole (a version 1.1 recording stays far below).
inline constexpr uint64_t kLegacyStreamMax = uint64_t{256} << 20;

// A point of a stroke: x, y and the pressure 0..1 (recorded times 1024).
struct SLegacyPoint {
  int16_t x = 0;
  int16_t y = 0;
  float pressure = 0.0f;
};

// How a code's record is laid out.
struct SLegacyCodeLayout {
  uint16_t fixedBytes = 0;  // the payload before any list
  uint8_t itemBytes = 0;    // > 0: a u16 count follows the fixed part, then count items of this size
  bool counted = false;     // false: the record continues the event before it
};

// The layout of a code; false for a code the stream may not hold.
[[nodiscard]] bool legacyCodeLayout(uint16_t code, SLegacyCodeLayout& layout);

// What adopting a stream found.
struct SLegacyStreamInfo {
  int32_t canvasWidth = 0;   // the largest canvas size of its size records
  int32_t canvasHeight = 0;
  int32_t eventCount = 0;    // counted records, the end code included
};

class TEventPacket {
 public:
  TEventPacket();

  // Empties the stream: no records, not inside a stroke.
  void clear();

  // Reads a whole file and adopts it; false (the stream as it was) when the
  // file cannot be read, is larger than kLegacyStreamMax or does not pass.
  [[nodiscard]] bool loadFromFile(const std::string& path, SLegacyStreamInfo& info);
  // Checks the bytes as a whole stream (every record complete, the first a
  // canvas size 512 or 520, the end code present) and copies them in,
  // rewound; false leaves the stream as it was.
  [[nodiscard]] bool adopt(const uint8_t* data, size_t size, SLegacyStreamInfo& info);
  // Writes the records from the start up to and including the end code (a
  // temporary file renamed over the target); false when the stream has no
  // end code or holds a broken record, and the old file is kept.
  [[nodiscard]] bool saveToFile(const std::string& path) const;

  // ---- writing at the end of the stream ----
  // One record; false (nothing written) for an invalid code or a payload
  // whose length differs from what the code's layout makes of it.
  [[nodiscard]] bool appendRecord(uint16_t code, const uint8_t* payload, size_t size);
  void appendEnd();
  // Removes the last two bytes (the end code, so that records can follow).
  void dropLastCode();
  // Cuts the stream at the read position (a replay stopped by the user).
  void truncateAtReadPosition() { bytes_.resize(pos_); }

  // ---- reading at the read position ----
  // Each reader answers false, moving nothing, when fewer bytes remain
  // than it reads.
  [[nodiscard]] bool skipBytes(size_t n);
  [[nodiscard]] bool readCode(uint16_t& code);
  // The 17-byte stroke header into the stroke, the first point and the count
  // of points that follow; opens the stroke.
  [[nodiscard]] bool readStrokeBegin(TStroke& stroke, SLegacyPoint& first);
  // The stroke header, a u16 stroke kind (0..4) set on the stroke, then four i16.
  [[nodiscard]] bool readStrokeBeginKind(TStroke& stroke, std::array<int16_t, 4>& values);
  // One point of the open stroke; last is set for its final point, which
  // closes the stroke.
  [[nodiscard]] bool readPoint(SLegacyPoint& point, bool& last);
  [[nodiscard]] bool readBytes(uint8_t* out, size_t n);
  [[nodiscard]] bool readByte(uint8_t& v) { return readBytes(&v, 1); }
  [[nodiscard]] bool readI16(int16_t& v);
  [[nodiscard]] bool readU16(uint16_t& v);
  // Four bytes, the third and fourth handed back in swapped order.
  [[nodiscard]] bool readFourBytesSwapped(std::array<uint8_t, 4>& v);
  // A u16 count and that many i16 pairs (a polygon).
  [[nodiscard]] bool readPointList(std::vector<SLegacyPoint>& points);

  // ---- state ----
  size_t size() const { return bytes_.size(); }
  size_t readPosition() const { return pos_; }
  size_t remaining() const { return bytes_.size() - pos_; }
  [[nodiscard]] bool atEnd() const { return pos_ >= bytes_.size(); }
  void rewind() { pos_ = 0; }
  int32_t recordCount() const { return records_; }
  [[nodiscard]] bool insideStroke() const { return insideStroke_; }
  int32_t pointsLeft() const { return pointsLeft_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  [[nodiscard]] bool readStrokeHeader(TStroke& stroke);

  std::vector<uint8_t> bytes_;
  size_t pos_ = 0;
  int32_t records_ = 0;
  int32_t pointsLeft_ = 0;
  bool insideStroke_ = false;
};

// The length of the record at data (its code included) when the size bytes
// hold it whole; 0 for an invalid code or a record cut short.
size_t legacyRecordLength(const uint8_t* data, size_t size);

}  // namespace pg
