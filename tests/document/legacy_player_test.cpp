// Version 1.1 recordings played record by record: strokes, layers, their
// attributes, fills and whole-image transforms give the pixels of the same
// operations performed directly; a cut record or a code the player cannot
// perform stops the replay and changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brush/stroke_settings.h"
#include "doc_ops_fixture.h"
#include "document/flow_image.h"
#include "core/blend_modes.h"
#include "core/block_pool.h"
#include "document/layer_data.h"
#include "record/legacy_event_packet.h"
#include "record/legacy_stream_fixture.h"

namespace pg::test {
namespace {

// Every layer's attributes and pixels over the document, as text.
std::string picture(TPaper& doc) {
  std::string out = std::to_string(doc.width()) + "x" + std::to_string(doc.height()) + " current " +
                    std::to_string(doc.currentLayerIndex()) + "\n";
  for (int32_t i = 0; i < doc.layerCount(); ++i) {
    const CLayerData& l = *doc.getLayer(i);
    out += "layer " + std::to_string(i) + " mode " + std::to_string(l.blendMode) + " opacity " +
           std::to_string(l.opacity) + " visible " + std::to_string(l.visible) + ":";
    for (int32_t y = 0; y < doc.height(); ++y)
      for (int32_t x = 0; x < doc.width(); ++x) out += " " + std::to_string(l.image->getPixel(x + l.offsetX, y + l.offsetY));
    out += "\n";
  }
  return out;
}

// Plays the whole stream; the codes played, the last one the end code.
std::vector<uint16_t> play(OpsFixture& f, TEventPacket& packet, TStroke& stroke) {
  std::vector<uint16_t> codes;
  for (int guard = 0; guard < 1000; ++guard) {
    uint16_t code = 0;
    bool refresh = false;
    const bool on = f.doc->playPenPacket(*f.flow, packet, code, refresh, stroke);
    codes.push_back(code);
    if (!on) break;
  }
  return codes;
}

void directStroke(OpsFixture& f, TStroke& s, uint8_t kind, int32_t layer, uint32_t rgb, float width,
                  std::initializer_list<std::array<int16_t, 3>> points) {
  s.setKind(kind);
  s.setLayerIndex(layer);
  s.setColor(rgb);
  s.setPressureSize(true);
  s.setPressureOpacity(false);
  s.setPressureEdge(false);
  s.setMinSize(0.0f);
  s.setWidth(width);
  s.setGamma(1.0f);
  s.setEffect(0.0f);
  s.setEnv(0.0f);
  s.setSpeed(1.0f);
  const auto* it = points.begin();
  ASSERT_TRUE(f.doc->beginStrokeEx(*f.flow, s, false, (*it)[0], (*it)[1], (*it)[2] / 1024.0f));
  for (++it; it != points.end(); ++it) (void)f.doc->continueStroke(*f.flow, s, false, false, (*it)[0], (*it)[1], (*it)[2] / 1024.0f);
  SRectXYWH rect{};
  (void)f.doc->endStroke(*f.flow, s, false, rect, false);
}

TEST(LegacyPlayer, ARecordingGivesThePixelsOfTheSameWorkDoneDirectly) {
  LegacyStream s(64, 48);
  s.record(513, {250, 240, 200})
      .record(293, {0, 10, 200, 30})
      .stroke(0, 0, 0x203040, 3 * 256, {{5, 5, 1024}, {20, 9, 700}, {40, 30, 300}})
      .record(256, {3})
      .record(273, {1})
      .stroke(0, 1, 0xC04000, 6 * 256, {{50, 4, 512}, {52, 40, 900}})
      .record(275, {1, 128})
      .record(288, {1})
      .record(259, {1})
      .record(274, {2, 0})
      .record(528, {})
      .canvas(514, 70, 50)
      .end();
  ASSERT_TRUE(s.ok());
  TEventPacket packet;
  SLegacyStreamInfo info;
  ASSERT_TRUE(packet.adopt(s.bytes().data(), s.bytes().size(), info));

  OpsFixture played;
  played.doc->enterOlderFormatMode();
  TStroke replayStroke;
  const std::vector<uint16_t> codes = play(played, packet, replayStroke);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.back(), kLegacyEndCode);
  EXPECT_EQ(codes.size(), 17u);  // 12 records, the five later points of the two strokes

  OpsFixture direct;
  direct.doc->enterOlderFormatMode();
  TPaper& d = *direct.doc;
  TFlowImage& flow = *direct.flow;
  TStroke stroke;
  ASSERT_TRUE(d.newDocument(d.name(), &flow, false, false, 72, 48, 64));
  ASSERT_TRUE(d.setPaperColor(PaperColor::fromRgb(250, 240, 200), false));
  ASSERT_TRUE(d.fillLayerOpaque(flow, 0, 0x0AC81E, false));
  directStroke(direct, stroke, 0, 0, 0x203040, 3.0f, {{5, 5, 1024}, {20, 9, 700}, {40, 30, 300}});
  ASSERT_TRUE(d.newLayerEx(&flow, 1, true, 255, 3, 48, 64, false));
  ASSERT_TRUE(d.setCurrentLayer(&flow, 1));
  directStroke(direct, stroke, 0, 1, 0xC04000, 6.0f, {{50, 4, 512}, {52, 40, 900}});
  ASSERT_TRUE(d.setLayerOpacity(1, 128, false));
  ASSERT_TRUE(d.layerCommand(flow, 1, false, 8));
  ASSERT_TRUE(d.duplicateLayer(&flow, 1, false));
  ASSERT_TRUE(d.setLayerVisible(2, false, false));
  ASSERT_TRUE(d.transformVisibleInPlace(flow, 13, false));
  ASSERT_TRUE(d.resizeCanvas(flow, 70, 50, 4, false));

  // The work left marks: the fill and the first stroke over it on the
  // bottom layer, the second stroke on the next.
  ASSERT_EQ(d.layerCount(), 3);
  int filled = 0, stroked = 0, second = 0;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      filled += (d.getLayer(0)->image->getPixel(x, y) & 0xFFFFFFu) == 0x0AC81Eu;
      stroked += (d.getLayer(0)->image->getPixel(x, y) & 0xFFFFFFu) != 0x0AC81Eu;
      second += (d.getLayer(1)->image->getPixel(x, y) >> 24) != 0;
    }
  EXPECT_GT(filled, 1000);
  EXPECT_GT(stroked, 20);
  EXPECT_GT(second, 20);
  EXPECT_EQ(picture(*played.doc), picture(d));
  EXPECT_EQ(played.doc->paperColor(), d.paperColor());
}

TEST(LegacyPlayer, TheEndACutStreamAndRecordsItCannotPerformStopThePlay) {
  struct Case {
    const char* what;
    LegacyStream stream;
    bool dropEnd;
    uint16_t stopCode;
  };
  std::vector<Case> cases;
  cases.push_back({"the end code", LegacyStream(32, 24), false, kLegacyEndCode});
  cases.push_back({"the stream cut after a record", LegacyStream(32, 24), true, 0});
  cases.push_back({"a layer index beyond the layers", LegacyStream(32, 24), false, 288});
  cases.back().stream.record(288, {9});
  for (Case& c : cases) {
    c.stream.end();
    TEventPacket packet;
    SLegacyStreamInfo info;
    ASSERT_TRUE(packet.adopt(c.stream.bytes().data(), c.stream.bytes().size(), info)) << c.what;
    if (c.dropEnd) packet.dropLastCode();
    OpsFixture f;
    TStroke stroke;
    uint16_t code = 0;
    bool refresh = false;
    ASSERT_TRUE(f.doc->playPenPacket(*f.flow, packet, code, refresh, stroke)) << c.what;
    EXPECT_EQ(code, 512) << c.what;
    const std::string before = picture(*f.doc);
    code = 0;
    EXPECT_FALSE(f.doc->playPenPacket(*f.flow, packet, code, refresh, stroke)) << c.what;
    EXPECT_EQ(code, c.stopCode) << c.what;
    EXPECT_EQ(picture(*f.doc), before) << c.what;
  }
}

// Rectangle and polygon fills on a white layer: inside the shape the colour
// (the layer mode's neutral one for 295 and 297), outside it nothing; a
// layer beyond the 24 of version 1.1 is passed over; a polygon that covers
// no pixel fills the whole layer.
TEST(LegacyPlayer, RectangleAndPolygonFills) {
  const uint32_t red = 0xFF0000;
  struct Case {
    const char* what;
    LegacyStream stream;
    TPoint inside, outside;
    uint32_t colour;  // at inside; outside stays white
  };
  std::vector<Case> cases;
  cases.push_back({"rectangle in a colour", LegacyStream(40, 30), {12, 8}, {30, 8}, 0xFF0000FFu});
  cases.back().stream.record(296, {0, 10, 0, 5, 0, 8, 0, 6, 0, 0, 0, 255});
  cases.push_back({"polygon in a colour", LegacyStream(40, 30), {10, 10}, {35, 25}, 0xFFFF0000u});
  cases.back().stream.polygon(0, &red, {{2, 2}, {25, 4}, {6, 24}});
  cases.push_back({"rectangle of the layer mode's neutral colour", LegacyStream(40, 30), {12, 8}, {12, 8},
                   layerBlendNeutral(1) | 0xFF000000u});
  cases.back().stream.record(276, {0, 1}).record(295, {0, 10, 0, 5, 0, 8, 0, 6, 0});
  cases.push_back({"a layer beyond version 1.1's", LegacyStream(40, 30), {12, 8}, {30, 8}, 0xFFFFFFFFu});
  cases.back().stream.record(296, {30, 10, 0, 5, 0, 8, 0, 6, 0, 0, 0, 255});
  cases.push_back({"a polygon covering nothing", LegacyStream(40, 30), {12, 8}, {12, 8}, 0xFF00FF00u});
  const uint32_t green = 0x00FF00;
  cases.back().stream.polygon(0, &green, {{5, 5}, {5, 5}, {5, 5}});
  for (Case& c : cases) {
    c.stream.end();
    TEventPacket packet;
    SLegacyStreamInfo info;
    ASSERT_TRUE(packet.adopt(c.stream.bytes().data(), c.stream.bytes().size(), info)) << c.what;
    OpsFixture f;
    f.doc->enterOlderFormatMode();
    TStroke stroke;
    const std::vector<uint16_t> codes = play(f, packet, stroke);
    ASSERT_EQ(codes.back(), kLegacyEndCode) << c.what;
    const CLayerData& l = *f.doc->getLayer(0);
    EXPECT_EQ(l.image->getPixel(c.inside.X, c.inside.Y), c.colour) << c.what;
    if (c.outside != c.inside) {
      EXPECT_EQ(l.image->getPixel(c.outside.X, c.outside.Y), 0xFFFFFFFFu) << c.what;
    }
  }
}

struct Rec {
  uint16_t code;
  std::vector<uint8_t> payload;
};

TEventPacket adopted(LegacyStream& s) {
  s.end();
  TEventPacket packet;
  SLegacyStreamInfo info;
  EXPECT_TRUE(s.ok());
  EXPECT_TRUE(packet.adopt(s.bytes().data(), s.bytes().size(), info));
  return packet;
}

// The older merge: visible layers of one blend mode become the lowest
// visible one, composed over white at full opacity; hidden layers stay; a
// mix of modes or a single visible layer changes nothing and the replay goes
// on to the end.
TEST(LegacyPlayer, TheOlderMergeOfTheVisibleLayers) {
  struct Case {
    const char* what;
    std::vector<Rec> setup;
    int32_t layersAfter;
    uint32_t bottomAfter;  // layer 0 at (5, 5)
  };
  const std::vector<Case> cases = {
      {"two layers of one mode at half opacity",
       {{256, {0}}, {293, {1, 0, 0, 255}}, {275, {1, 128}}},
       1,
       0xFF7F7FFFu},
      {"a hidden layer between stays",
       {{256, {0}}, {256, {0}}, {293, {2, 0, 0, 255}}, {274, {1, 0}}},
       2,
       0xFF0000FFu},
      {"two modes do not merge", {{256, {1}}, {293, {1, 0, 0, 255}}}, 2, 0xFFFFFFFFu},
      {"one visible layer does not merge", {{256, {0}}, {274, {1, 0}}}, 2, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    LegacyStream s(16, 12);
    for (const Rec& r : c.setup) s.record(r.code, r.payload);
    s.record(258, {});
    TEventPacket packet = adopted(s);
    OpsFixture f;
    f.doc->enterOlderFormatMode();
    TStroke stroke;
    const std::vector<uint16_t> codes = play(f, packet, stroke);
    EXPECT_EQ(codes.back(), kLegacyEndCode) << c.what;
    ASSERT_EQ(f.doc->layerCount(), c.layersAfter) << c.what;
    const CLayerData& bottom = *f.doc->getLayer(0);
    const uint32_t px = bottom.image->getPixel(5 + bottom.offsetX, 5 + bottom.offsetY);
    for (int shift : {0, 8, 16, 24})
      EXPECT_NEAR(int(px >> shift & 0xFF), int(c.bottomAfter >> shift & 0xFF), 1) << c.what << " byte " << shift;
    EXPECT_EQ(bottom.opacity, 255) << c.what;
    if (bottom.image->getPixel(5 + bottom.offsetX, 5 + bottom.offsetY) != 0xFFFFFFFFu) {
      EXPECT_EQ(f.doc->currentLayerIndex(), 0) << c.what << ": the merged layer is current";
    }
  }
}

// A straight line (305) between its two points at full pressure: the
// pixels along it take the colour, those beside it stay; a line on a layer
// that is not there draws nothing and the replay goes on.
TEST(LegacyPlayer, StraightLines) {
  const auto line = [](uint8_t layer, int16_t x0, int16_t y0, int16_t x1, int16_t y1) {
    std::vector<uint8_t> p = {layer, 0xFF, 0, 0, 1};
    for (uint16_t v : {uint16_t(0), uint16_t(4 * 256), uint16_t(256), uint16_t(0), uint16_t(0), uint16_t(256)})
      LegacyStream::u16(p, v);
    LegacyStream::u16(p, 0);  // the stroke kind
    for (int16_t v : {x0, y0, x1, y1}) LegacyStream::u16(p, uint16_t(v));
    return p;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> payload;
    std::vector<TPoint> red, white;
  };
  const std::vector<Case> cases = {
      {"across", line(0, 4, 10, 36, 10), {{4, 10}, {20, 10}, {36, 10}}, {{20, 20}, {44, 10}}},
      {"down", line(0, 20, 2, 20, 28), {{20, 3}, {20, 15}, {20, 27}}, {{10, 15}, {30, 15}}},
      {"on a missing layer", line(7, 4, 10, 36, 10), {}, {{20, 10}}},
  };
  for (const Case& c : cases) {
    LegacyStream s(48, 32);
    s.record(305, c.payload);
    TEventPacket packet = adopted(s);
    OpsFixture f;
    f.doc->enterOlderFormatMode();
    TStroke stroke;
    EXPECT_EQ(play(f, packet, stroke).back(), kLegacyEndCode) << c.what;
    const CLayerData& l = *f.doc->getLayer(0);
    for (const TPoint& p : c.red) {
      const uint32_t px = l.image->getPixel(p.X + l.offsetX, p.Y + l.offsetY);
      EXPECT_GT(int(px >> 16 & 0xFF), 200) << c.what << " at " << p.X << "," << p.Y;
      EXPECT_LT(int(px & 0xFF), 60) << c.what << " at " << p.X << "," << p.Y;
    }
    for (const TPoint& p : c.white)
      EXPECT_EQ(l.image->getPixel(p.X + l.offsetX, p.Y + l.offsetY), 0xFFFFFFFFu) << c.what;
  }
}

// The polygon fills go through the current selection slot, which is empty
// again afterwards; the slots' own bookkeeping.
TEST(LegacyPlayer, SelectionSlots) {
  LegacyStream s(40, 30);
  const uint32_t blue = 0x0000FF;
  s.polygon(0, &blue, {{2, 2}, {30, 2}, {30, 20}, {2, 20}});
  TEventPacket packet = adopted(s);
  OpsFixture f;
  f.doc->enterOlderFormatMode();
  TStroke stroke;
  EXPECT_EQ(play(f, packet, stroke).back(), kLegacyEndCode);
  ASSERT_NE(f.doc->selectionSlots(), nullptr);
  EXPECT_TRUE(f.doc->selectionSlots()->isEmpty(0));
  EXPECT_EQ(f.doc->getLayer(0)->image->getPixel(15, 10), 0xFF0000FFu);
  EXPECT_EQ(f.doc->getLayer(0)->image->getPixel(35, 25), 0xFFFFFFFFu);
  EXPECT_TRUE(f.doc->leaveOlderFormatMode());
  EXPECT_EQ(f.doc->selectionSlots(), nullptr);

  TSelectMng slots(100, 50);
  const TPoint square[] = {{10, 10}, {40, 10}, {40, 40}, {10, 40}};
  struct SlotCase {
    const char* what;
    int32_t slot;
    size_t points;
    bool stored;
  };
  for (const SlotCase& c : std::vector<SlotCase>{{"slot 0", 0, 4, true},
                                                 {"the last slot", 31, 4, true},
                                                 {"beyond the slots", 32, 4, false},
                                                 {"below the slots", -1, 4, false},
                                                 {"two points", 1, 2, false}}) {
    EXPECT_EQ(slots.setFromPolygon(c.slot, square, c.points), c.stored) << c.what;
    EXPECT_EQ(slots.isEmpty(c.slot), !c.stored) << c.what;
    if (!c.stored) continue;
    const SSelectSlot& slot = *slots.slot(c.slot);
    EXPECT_EQ(slot.channel.pixelAt(25, 25)[0], 255) << c.what;
    EXPECT_EQ(slot.channel.pixelAt(60, 25)[0], 0) << c.what;
    EXPECT_EQ(slot.thumbnail.getPixel(0, 0), 0xFF000000u) << c.what;
    slots.clearSlot(c.slot);
    EXPECT_TRUE(slots.isEmpty(c.slot)) << c.what;
    EXPECT_EQ(slot.channel.pixelAt(25, 25)[0], 0) << c.what;
    EXPECT_EQ(slot.thumbnail.getPixel(0, 0), 0xFFFFFFFFu) << c.what;
  }
  struct ThumbCase {
    int32_t w, h, tw, th;
  };
  for (const ThumbCase& c : std::vector<ThumbCase>{{100, 50, 48, 25}, {50, 100, 25, 48}, {64, 64, 48, 48}, {1000, 1, 48, 1}}) {
    const SSize t = TSelectMng::thumbnailSize(c.w, c.h);
    EXPECT_EQ(t.W, c.tw) << c.w << "x" << c.h;
    EXPECT_EQ(t.H, c.th) << c.w << "x" << c.h;
  }
}

// A record whose layer write cannot get tile memory stops the replay there,
// and every layer is as it was before the record: nothing half written.
TEST(LegacyPlayer, ARecordWithoutTileMemoryStopsTheReplayAndChangesNothing) {
  std::vector<uint8_t> line = {0, 0xFF, 0, 0, 1};
  for (uint16_t v : {uint16_t(0), uint16_t(4 * 256), uint16_t(256), uint16_t(0), uint16_t(0), uint16_t(256),
                     uint16_t(0), uint16_t(4), uint16_t(10), uint16_t(60), uint16_t(30)})
    LegacyStream::u16(line, v);
  struct Case {
    const char* what;
    LegacyStream stream;
    int setupCalls;  // played with memory, the 512 record included
    uint16_t stopCode;
  };
  std::vector<Case> cases;
  // 0..47 x 0..39 covers the first tile whole, then reaches into the next.
  cases.push_back({"a rectangle fill", LegacyStream(80, 48), 1, 296});
  cases.back().stream.record(296, {0, 0, 0, 0, 0, 48, 0, 40, 0, 0, 0, 255});
  cases.push_back({"a stroke's last point", LegacyStream(80, 48), 1, 0});
  cases.back().stream.stroke(0, 0, 0x203040, 3 * 256, {{5, 5, 1024}, {20, 9, 700}, {40, 30, 300}});
  cases.push_back({"a straight line", LegacyStream(80, 48), 1, 305});
  cases.back().stream.record(305, line);
  cases.push_back({"a merge of the visible layers", LegacyStream(80, 48), 6, 258});
  cases.back()
      .stream.record(256, {0})
      .stroke(0, 0, 0x203040, 3 * 256, {{5, 5, 1024}, {40, 30, 300}})
      .stroke(0, 1, 0xC04000, 6 * 256, {{50, 4, 512}, {52, 40, 900}})
      .record(258, {});
  for (Case& c : cases) {
    TEventPacket packet = adopted(c.stream);
    OpsFixture f;
    f.doc->enterOlderFormatMode();
    TStroke stroke;
    uint16_t code = 0;
    bool refresh = false;
    for (int i = 0; i < c.setupCalls; ++i)
      ASSERT_TRUE(f.doc->playPenPacket(*f.flow, packet, code, refresh, stroke)) << c.what;
    const std::string before = picture(*f.doc);
    bool on = true;
    {
      CTilePoolFailScope noTiles(0);
      for (int guard = 0; on && guard < 8 && code != kLegacyEndCode; ++guard)
        on = f.doc->playPenPacket(*f.flow, packet, code, refresh, stroke);
    }
    EXPECT_FALSE(on) << c.what;
    EXPECT_EQ(code, c.stopCode) << c.what;
    EXPECT_EQ(picture(*f.doc), before) << c.what;
  }
}

}  // namespace
}  // namespace pg::test
