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
#include "document/layer_data.h"
#include "record/legacy_event_packet.h"
#include "record/legacy_stream_fixture.h"

namespace pg::test {
namespace {

// Every layer's attributes and pixels over the document, as text.
std::string picture(TPaper& doc) {
  std::string out = std::to_string(doc.width) + "x" + std::to_string(doc.height) + " current " +
                    std::to_string(doc.currentLayerIndex()) + "\n";
  for (int32_t i = 0; i < doc.layerCount(); ++i) {
    const CLayerData& l = *doc.getLayer(i);
    out += "layer " + std::to_string(i) + " mode " + std::to_string(l.blendMode) + " opacity " +
           std::to_string(l.opacity) + " visible " + std::to_string(l.visible) + ":";
    for (int32_t y = 0; y < doc.height; ++y)
      for (int32_t x = 0; x < doc.width; ++x) out += " " + std::to_string(l.image->getPixel(x + l.offsetX, y + l.offsetY));
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
  ASSERT_TRUE(d.newDocument(d.name, &flow, false, false, 72, 48, 64));
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
  EXPECT_EQ(played.doc->paperColor, d.paperColor);
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
  cases.push_back({"a straight line", LegacyStream(32, 24), false, 305});
  cases.back().stream.record(305, std::vector<uint8_t>(27, 0));
  cases.push_back({"the older merge", LegacyStream(32, 24), false, 258});
  cases.back().stream.record(258, {});
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

}  // namespace
}  // namespace pg::test
