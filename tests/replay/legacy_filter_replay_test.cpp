// Recordings that name the older filter set: each older filter, applied
// with its event written by our own recorder over strokes and a selection,
// replays into a fresh document to the pixels of the original after every
// event; parameters the older kernels refuse write nothing.
#include <gtest/gtest.h>

#include <cstring>

#include "core/byte_cursor.h"
#include "filters/filter_params.h"
#include "filters/filter_table.h"
#include "filters/floor_command.h"
#include "filters/legacy_floor_command.h"
#include "filters/legacy_param_words.h"
#include "filters/legacy_lighting.h"
#include "filters/record_bytes.h"
#include "replay_fixture.h"

namespace pg::test {
namespace {

struct OlderFilter {
  uint8_t type, op;
  std::vector<uint8_t> params;
};

const std::vector<OlderFilter>& olderFilters() {
  static const std::vector<OlderFilter> all = {
      {kPktFilter0, 8, {}},
      {kPktFilter0, 9, {}},
      {kPktFilter0, 20, {}},
      {kPktFilter2, 2, words({f32(0.6f), f32(4.0f)})},
      {kPktFilter2, 10, words({0, 2})},
      {kPktFilter2, 18, words({30, 40})},
      {kPktFilter2, 21, words({4, 0})},
      {kPktFilter2, 22, words({4321, 40})},
      {kPktFilter2, 23, words({5, 0})},
      {kPktFilter2, 32, words({2, f32(2.0f)})},
      {kPktFilter2, 34, words({f32(1.0f), f32(2.0f)})},
      {kPktFilter4, 3, words({f32(30.0f), f32(20.0f), f32(5.0f), 0})},
      {kPktFilter4, 19, words({120, 10, 30, 0})},
      {kPktFilter4, 33, words({3, f32(0.4f), f32(0.6f), f32(0.3f)})},
      {kPktFilter6, 16, words({20, 230, 90, 10, 250, 0})},
      {kPktFilter6, 35, words({2, f32(0.5f), f32(2.0f), f32(3.0f), f32(1.0f), f32(2.0f)})},
      // Tiles: the colour count travels in the packet's argument word.
      {kPktFilter4, 36, words({3, 0 | 7 << 8, 0xFFC02020u, 0xFF20C020u, 0x802020C0u})},
      {kPktFilter4, 36, words({2, 1 | 9 << 8, 0xFFE0E020u, 0xFF20E0E0u, 0})},
      // Clouds/rocks: colours, seed, mode word (mode, strength, noise), texture size.
      {kPktFilter6, 37, words({0xFFFFFFu, 0x203040u, 99, 0, 0xFFFFu | 30u << 16 | 1u << 31, 20 | 14 << 16})},
      {kPktFilter6, 38, words({0xE0C080u, 0x102030u, 7, 0, 60u | 80u << 16 | 1u << 31, 32 | 32 << 16})},
  };
  return all;
}

// grownPlane: the original's working plane grew for a larger image first,
// as it does after a larger layer, while the replay's stays the layer's size.
void replayEveryOlderFilter(bool grownPlane) {
  ReplayFixture f;
  if (grownPlane) {
    CBlockVMTC larger(96, 80);
    ASSERT_TRUE(f.x.flow->loadLayer(-1, larger, true));
  }
  std::vector<std::string> expected;
  auto keep = [&] { expected.push_back(picture(*f.x.doc)); };
  keep();  // after the reset point
  f.tool.setWidth(6.0f);
  f.tool.setColor(0x00C04020u);
  f.paint(ReplayFixture::line(4, 6, 58, 40, 30));
  keep();
  f.tool.setColor(0x002060E0u);
  f.paint(ReplayFixture::line(60, 4, 6, 44, 30));
  keep();
  TPaper& d = *f.x.doc;
  bool selected = false;
  for (const OlderFilter& o : olderFilters()) {
    // The second half runs inside a selection.
    if (!selected && &o == &olderFilters()[olderFilters().size() / 2]) {
      ASSERT_TRUE(d.maskFigureRect(*f.x.flow, d.currentLayerIndex(), TPointF{10, 8}, TPointF{50, 36}, 0, f.tool, true));
      keep();
      selected = true;
    }
    const SFilterEntry* e = filterForPacket(o.type, o.op);
    ASSERT_NE(e, nullptr) << int(o.op);
    ASSERT_NE(e->kernel, nullptr) << int(o.op);
    const std::string before = picture(d);
    ASSERT_EQ(runFilter(d, *f.x.flow, d.currentLayerIndex(), *e, o.params.data(), uint32_t(o.params.size()), nullptr, true),
              FilterResult::Done)
        << int(o.op);
    EXPECT_NE(picture(d), before) << int(o.op) << " changed nothing";
    keep();
  }
  {
    // The older lighting: one lamp in a record.
    std::vector<uint8_t> lamps(56, 0);
    SOldLightParams p;
    p.kind = 0;
    p.range = 60;
    p.height = 10;
    p.red = 255;
    ASSERT_TRUE(writeRecord(lamps.data(), SOldLightParams::kSize, p, oldLightFields));
    SFltRecord rec;
    ASSERT_TRUE(initFltRecord(rec, 1, 56));
    writeLE32(rec.Params.data(), 0x404040);
    writeLE32(rec.Params.data() + 4, 80);
    rec.Extra = lamps.data();
    const std::string before = picture(d);
    ASSERT_EQ(runFilter(d, *f.x.flow, d.currentLayerIndex(), *filterForPacket(kPktFilterRecord, 39), nullptr, 0, &rec,
                        true),
              FilterResult::Done);
    EXPECT_NE(picture(d), before);
    keep();
  }
  f.replayEachAgainst(expected);
}

TEST(LegacyFilterReplay, EveryOlderFilterReplaysToThePixelsOfTheOriginal) {
  for (const bool grownPlane : {false, true}) {
    SCOPED_TRACE(grownPlane ? "a larger working plane" : "a working plane of the layer's size");
    replayEveryOlderFilter(grownPlane);
  }
}

// A kernel that refuses its parameters leaves the layer, the recording and
// the undo as they were.
TEST(LegacyFilterReplay, RefusedParametersWriteNothing) {
  ReplayFixture f;
  f.paint(ReplayFixture::line(4, 6, 58, 40, 30));
  TPaper& d = *f.x.doc;
  const std::string before = picture(d);
  const uint32_t eventsBefore = f.x.store().committedEnd();
  struct Case {
    const char* what;
    uint8_t type, op;
    std::vector<uint8_t> params;
  };
  for (const Case& c : std::vector<Case>{{"posterize to 1 level", kPktFilter2, 21, words({1, 0})},
                                         {"mosaic of cell 0", kPktFilter2, 23, words({0, 0})},
                                         {"motion blur over no distance", kPktFilter2, 2, words({0, 0})},
                                         {"levels out of order", kPktFilter6, 16, words({200, 100, 150, 0, 255, 0})}}) {
    const SFilterEntry* e = filterForPacket(c.type, c.op);
    ASSERT_NE(e, nullptr) << c.what;
    EXPECT_NE(runFilter(d, *f.x.flow, d.currentLayerIndex(), *e, c.params.data(), uint32_t(c.params.size()), nullptr,
                        true),
              FilterResult::Done)
        << c.what;
    EXPECT_EQ(picture(d), before) << c.what;
    EXPECT_EQ(f.x.store().committedEnd(), eventsBefore) << c.what;
  }
}

// A floor packet of a stream without a version record comes from the older
// program and is drawn by its floor; with a record, by the current floor.
// Either replays to the pixels of its floor run directly on the same picture.
TEST(LegacyFilterReplay, FloorPacketsOfOlderStreamsTakeTheOlderFloor) {
  SFltFloor floor;
  initFltFloor(floor);
  floor.EyeDistance = 20.0f;
  floor.ProjectionDistance = 100;
  floor.CeilingHeight = 40;
  floor.FogDistance = 60;
  floor.FogColour = 0xFFFFFF;
  floor.PlanesShown = 3;
  std::vector<uint8_t> record(kEventRecordBytes, 0);
  writeLE16(record.data() + 4, uint16_t(SFltFloor::kSize));
  writeLE16(record.data() + 6, 1);
  writeLE16(record.data() + 8, uint16_t(SFltFloor::kSize));
  record.resize(kEventRecordBytes + SFltFloor::kSize);
  floor.write(record.data() + kEventRecordBytes);
  // Clouds give the layer something for the floor to show.
  std::vector<uint8_t> clouds = {0, 0, 0, 0};
  const std::vector<uint8_t> w = words({0xFFFFFFu, 0x203040u, 99, 0, 0xFFFFu | 30u << 16 | 1u << 31, 20 | 14 << 16});
  clouds.insert(clouds.end(), w.begin(), w.end());
  const auto stream = [&](bool versioned, bool withFloor) {
    StreamBuilder s;
    if (versioned) s.version(4, 58);
    s.imageCreate(40, 30).packet(kPktFilter6, 37, clouds);
    if (withFloor) s.packet(kPktFilterRecord, kFltRecFloor, record);
    return s;
  };
  std::string older, current;
  for (const bool versioned : {false, true}) {
    RawReplay replayed(stream(versioned, true));
    ASSERT_EQ(replayed.engine->startLoaded(), ReplayStart::Started);
    ASSERT_EQ(replayed.engine->replayNext(), ReplayStep::EventDone);
    const std::string before = picture(*replayed.y.doc);
    ASSERT_EQ(replayed.engine->replayNext(), ReplayStep::EventDone) << versioned;
    EXPECT_NE(picture(*replayed.y.doc), before) << versioned;

    RawReplay direct(stream(versioned, false));
    ASSERT_EQ(direct.engine->startLoaded(), ReplayStart::Started);
    ASSERT_EQ(direct.engine->replayNext(), ReplayStep::EventDone);
    ASSERT_EQ(picture(*direct.y.doc), before);
    const FilterResult r = versioned
                               ? replayFloor(*direct.y.doc, *direct.y.flow, 0, floor, nullptr, nullptr, false)
                               : replayLegacyFloor(*direct.y.doc, *direct.y.flow, 0, floor, nullptr, nullptr);
    ASSERT_EQ(r, FilterResult::Done);
    EXPECT_EQ(picture(*replayed.y.doc), picture(*direct.y.doc)) << versioned;
    (versioned ? current : older) = picture(*replayed.y.doc);
  }
  EXPECT_NE(older, current);

  // A texture the record uses that did not come with it is reported; the
  // substitute stands in and the floor is drawn.
  floor.TextureFromFile = 2;
  RawReplay direct(stream(false, false));
  ASSERT_EQ(direct.engine->startLoaded(), ReplayStart::Started);
  ASSERT_EQ(direct.engine->replayNext(), ReplayStep::EventDone);
  const std::string before = picture(*direct.y.doc);
  direct.messages.clear();
  ASSERT_EQ(replayLegacyFloor(*direct.y.doc, *direct.y.flow, 0, floor, nullptr, nullptr), FilterResult::Done);
  ASSERT_EQ(direct.messages.warnings().size(), 1u);
  EXPECT_NE(direct.messages.warnings()[0].find("(38, 40)"), std::string::npos) << direct.messages.warnings()[0];
  EXPECT_NE(picture(*direct.y.doc), before);
}

}  // namespace
}  // namespace pg::test
