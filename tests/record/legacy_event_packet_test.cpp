// The version 1.1 event stream: which streams pass the check and what it
// hands out, the readers over a stroke and a polygon, the writer's refusals,
// and writing a stream back to a file.
#include "record/legacy_event_packet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "brush/stroke_settings.h"
#include "legacy_stream_fixture.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

using Bytes = std::vector<uint8_t>;
using test::LegacyStream;

Bytes le16(std::initializer_list<uint16_t> values) {
  Bytes b;
  for (uint16_t v : values) LegacyStream::u16(b, v);
  return b;
}

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A stroke record of code 2 with n points after the first (2 + 25 + 6n bytes).
Bytes strokeRecord(uint16_t n) {
  Bytes b = le16({2});
  b.resize(2 + 23, 0);
  LegacyStream::u16(b, n);
  b.resize(b.size() + 6u * n, 0);
  return b;
}

TEST(LegacyEventPacket, TheCheckOfAWholeStream) {
  const Bytes end = le16({0xFFFF});
  const Bytes stroke3 = strokeRecord(3);
  struct Case {
    const char* what;
    Bytes stream;
    bool ok;
    int32_t width, height, events;
  };
  const std::vector<Case> cases = {
      {"canvas and end", cat({le16({512, 640, 480}), end}), true, 640, 480, 2},
      {"two canvas sizes give the larger of each", cat({le16({512, 800, 600, 520, 1024, 300}), end}), true, 1024, 600,
       3},
      {"the first record must be 512 or 520", cat({le16({515, 640, 480}), end}), false, 0, 0, 0},
      {"no end code", le16({512, 640, 480, 258}), false, 0, 0, 0},
      {"an invalid code", cat({le16({512, 640, 480, 262}), end}), false, 0, 0, 0},
      {"a stroke of three points", cat({le16({512, 64, 48}), stroke3, end}), true, 64, 48, 2},
      {"a stroke a byte short", cat({le16({512, 64, 48}), Bytes(stroke3.begin(), stroke3.end() - 1)}), false, 0, 0,
       0},
      {"a stroke whose count runs past the end",
       cat({le16({512, 64, 48}), Bytes(stroke3.begin(), stroke3.end() - 6), end}), false, 0, 0, 0},
      {"a stroke without points", cat({le16({512, 64, 48}), strokeRecord(0), end}), true, 64, 48, 2},
      {"uncounted records continue the event", cat({le16({512, 64, 48, 273}), Bytes{1}, le16({274, 0, 518}), end}),
       true, 64, 48, 2},
      {"a polygon of two points", cat({le16({512, 64, 48, 297}), Bytes{0}, le16({2, 1, 2, 3, 4}), end}), true, 64, 48,
       3},
      {"a polygon whose count is too large", cat({le16({512, 64, 48, 297}), Bytes{0}, le16({3, 1, 2, 3, 4}), end}),
       false, 0, 0, 0},
      {"a canvas size cut short", Bytes{0x00, 0x02, 0x80}, false, 0, 0, 0},
      {"empty", Bytes{}, false, 0, 0, 0},
      {"a lone byte", Bytes{0xFF}, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TEventPacket packet;
    SLegacyStreamInfo info;
    ASSERT_EQ(packet.adopt(c.stream.data(), c.stream.size(), info), c.ok) << c.what;
    if (!c.ok) {
      EXPECT_EQ(packet.size(), 0u) << c.what;
      continue;
    }
    EXPECT_EQ(info.canvasWidth, c.width) << c.what;
    EXPECT_EQ(info.canvasHeight, c.height) << c.what;
    EXPECT_EQ(info.eventCount, c.events) << c.what;
    EXPECT_EQ(packet.bytes(), c.stream) << c.what;
    EXPECT_EQ(packet.readPosition(), 0u) << c.what;
  }
}

TEST(LegacyEventPacket, AFailedCheckKeepsTheStreamItHad) {
  TEventPacket packet;
  SLegacyStreamInfo info;
  const Bytes good = cat({le16({512, 30, 20}), le16({0xFFFF})});
  ASSERT_TRUE(packet.adopt(good.data(), good.size(), info));
  uint16_t code = 0;
  ASSERT_TRUE(packet.readCode(code));
  const Bytes bad = le16({515, 30, 20, 0xFFFF});
  EXPECT_FALSE(packet.adopt(bad.data(), bad.size(), info));
  EXPECT_EQ(packet.bytes(), good);
  EXPECT_EQ(packet.readPosition(), 2u);
}

TEST(LegacyEventPacket, AStrokeIsReadHeaderFirstThenPointByPoint) {
  LegacyStream s(100, 80);
  s.stroke(3, 2, 0x102030, 5 * 256, {{10, 20, 512}, {11, 22, 1024}, {-4, 30, 0}}).end();
  ASSERT_TRUE(s.ok());
  TEventPacket packet;
  SLegacyStreamInfo info;
  ASSERT_TRUE(packet.adopt(s.bytes().data(), s.bytes().size(), info));
  EXPECT_EQ(packet.recordCount(), 3);
  uint16_t code = 0;
  ASSERT_TRUE(packet.readCode(code));
  ASSERT_EQ(code, 512);
  ASSERT_TRUE(packet.skipBytes(4));
  ASSERT_TRUE(packet.readCode(code));
  ASSERT_EQ(code, 3);
  TStroke stroke;
  SLegacyPoint p;
  ASSERT_TRUE(packet.readStrokeBegin(stroke, p));
  EXPECT_EQ(stroke.layerIndex, 2);
  EXPECT_EQ(stroke.color & 0xFFFFFFu, 0x102030u);
  EXPECT_FLOAT_EQ(stroke.WIDTH, 5.0f);
  EXPECT_EQ(stroke.ifSIZE, 1);
  EXPECT_EQ(stroke.ifTRANSPARENCY, 0);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 20);
  EXPECT_FLOAT_EQ(p.pressure, 0.5f);
  EXPECT_TRUE(packet.insideStroke());
  EXPECT_EQ(packet.pointsLeft(), 2);
  bool last = true;
  ASSERT_TRUE(packet.readPoint(p, last));
  EXPECT_FALSE(last);
  EXPECT_FLOAT_EQ(p.pressure, 1.0f);
  ASSERT_TRUE(packet.readPoint(p, last));
  EXPECT_TRUE(last);
  EXPECT_EQ(p.x, -4);
  EXPECT_FALSE(packet.insideStroke());
  // No point outside a stroke.
  EXPECT_FALSE(packet.readPoint(p, last));
  ASSERT_TRUE(packet.readCode(code));
  EXPECT_EQ(code, kLegacyEndCode);
  EXPECT_TRUE(packet.atEnd());
}

TEST(LegacyEventPacket, ReadersStopAtTheEndOfTheStream) {
  LegacyStream s;
  const uint32_t red = 0xFF0000;
  s.polygon(1, &red, {{1, 2}, {30, 4}, {5, 40}}).end();
  TEventPacket packet;
  SLegacyStreamInfo info;
  ASSERT_TRUE(packet.adopt(s.bytes().data(), s.bytes().size(), info));
  ASSERT_TRUE(packet.skipBytes(6 + 2));  // the canvas size, the polygon's code
  std::array<uint8_t, 4> head{};
  ASSERT_TRUE(packet.readFourBytesSwapped(head));
  EXPECT_EQ(head, (std::array<uint8_t, 4>{1, 0xFF, 0, 0}));
  std::vector<SLegacyPoint> points;
  ASSERT_TRUE(packet.readPointList(points));
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[1].x, 30);
  EXPECT_EQ(points[2].y, 40);
  // After the end code was dropped, nothing reads past the stream's end.
  packet.dropLastCode();
  EXPECT_TRUE(packet.atEnd());
  uint16_t code = 0;
  EXPECT_FALSE(packet.readCode(code));
  EXPECT_FALSE(packet.skipBytes(1));
  TStroke stroke;
  SLegacyPoint p;
  EXPECT_FALSE(packet.readStrokeBegin(stroke, p));
  EXPECT_FALSE(packet.readPointList(points));
}

TEST(LegacyEventPacket, TheWriterTakesOnlyWholeRecordsOfKnownCodes) {
  TEventPacket packet;
  const Bytes size = le16({640, 480});
  EXPECT_TRUE(packet.appendRecord(512, size.data(), size.size()));
  const Bytes one{1};
  EXPECT_FALSE(packet.appendRecord(262, one.data(), 1));    // no such code
  EXPECT_FALSE(packet.appendRecord(256, nullptr, 0));       // its byte missing
  EXPECT_FALSE(packet.appendRecord(258, one.data(), 1));    // a byte too many
  const Bytes polygon = cat({Bytes{0}, le16({2, 1, 1, 2, 2})});
  EXPECT_FALSE(packet.appendRecord(297, polygon.data(), polygon.size() - 1));
  EXPECT_TRUE(packet.appendRecord(297, polygon.data(), polygon.size()));
  packet.appendEnd();
  EXPECT_EQ(packet.recordCount(), 3);
  SLegacyStreamInfo info;
  TEventPacket again;
  EXPECT_TRUE(again.adopt(packet.bytes().data(), packet.bytes().size(), info));
  EXPECT_EQ(info.eventCount, 3);
}

Bytes fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(LegacyEventPacket, SavedStreamsLoadAgainAndBrokenOnesKeepTheOldFile) {
  pg::testing::TempFolder dir;
  const std::string path = dir.file("work.lge");
  LegacyStream s(320, 200);
  s.stroke(0, 0, 0x000000, 512, {{1, 1, 1024}, {5, 9, 800}}).record(258, {}).canvas(514, 400, 240).end();
  TEventPacket packet;
  SLegacyStreamInfo info;
  ASSERT_TRUE(packet.adopt(s.bytes().data(), s.bytes().size(), info));
  ASSERT_TRUE(packet.saveToFile(path));
  EXPECT_EQ(fileBytes(path), s.bytes());
  TEventPacket loaded;
  ASSERT_TRUE(loaded.loadFromFile(path, info));
  EXPECT_EQ(loaded.bytes(), s.bytes());
  EXPECT_EQ(info.canvasWidth, 400);
  EXPECT_EQ(info.canvasHeight, 240);
  EXPECT_EQ(info.eventCount, 4);

  // Without its end code the stream is not written, and the file stays.
  loaded.dropLastCode();
  EXPECT_FALSE(loaded.saveToFile(path));
  EXPECT_EQ(fileBytes(path), s.bytes());
  // Bytes after the end code are not written.
  loaded.appendEnd();
  ASSERT_TRUE(loaded.appendRecord(258, nullptr, 0));
  ASSERT_TRUE(loaded.saveToFile(path));
  EXPECT_EQ(fileBytes(path), s.bytes());
  // A file that is missing or broken loads nothing.
  EXPECT_FALSE(loaded.loadFromFile(dir.file("none.lge"), info));
  std::filesystem::resize_file(path, s.bytes().size() - 1);
  EXPECT_FALSE(loaded.loadFromFile(path, info));
  EXPECT_EQ(loaded.size(), s.bytes().size() + 2);
}

}  // namespace
}  // namespace pg
