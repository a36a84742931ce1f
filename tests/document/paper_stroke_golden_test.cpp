// Every paint kind's stroke pinned to the pixels it paints: seeded strokes of
// the nine dab-walker kinds and the nine pen-method kinds, plain, through a
// selection with a screen tone, and on a layer that protects its alpha. The
// expected values are digests of the painted layers; a change to the brush
// plumbing that moves a single byte of any of them fails here. A second
// part paints two documents interleaved, point by point, and expects each to
// equal the same stroke painted alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "brush/paint_param_kinds.h"
#include "brush/pen_render.h"
#include "brush/stroke_settings.h"
#include "brush/tone_list.h"
#include "document/paper_stroke_util.h"
#include "doc_fixture.h"

namespace pg::test {
namespace {

enum class TVariant : uint8_t { Plain, SelectionAndTone, ProtectAlpha };

// One small document with a patterned layer, a stroke of a paint kind and,
// for the pen-method kinds, the document's pen engine fed by its own renderer.
struct GoldenDoc {
  GoldenDoc(uint32_t paintKind, TVariant variant) : fixture(8, 56, 40) {
    DocFixture& f = fixture;
    const int32_t at = f.addLayer(0, 7 + paintKind);
    CLayerData* l = f.layer(at);
    // Every pixel set: alpha varies, so the merges that weigh it all show.
    for (int32_t y = 0; y < l->imageHeight(); ++y)
      for (int32_t x = 0; x < l->imageWidth(); ++x)
        EXPECT_TRUE(l->image->setPixel(x, y, (0x30u + static_cast<uint32_t>((x * 7 + y * 3) % 0xC0)) << 24 |
                                                 static_cast<uint32_t>(x * 4) << 16 |
                                                 static_cast<uint32_t>(y * 6) << 8 | static_cast<uint32_t>(x ^ y)));
    f.flow->fitDocument(false);
    stroke.kind = paintKindStrokeKind(paintKind);
    stroke.WIDTH = 6.0f;
    stroke.opacity = 0.8f;
    stroke.color = 0xFF2070C0u;
    stroke.subColor = 0xFFE0A010u;
    stroke.EFFECT = 40.0f;
    stroke.ENV = 30.0f;
    stroke.SPEED = 50.0f;
    stroke.ifSIZE = 1;
    stroke.ifTRANSPARENCY = 1;
    stroke.MIN = 30.0f;
    stroke.exactPoints = 1;
    stroke.layerIndex = at;
    if (variant == TVariant::ProtectAlpha) l->protectAlpha = true;
    if (variant == TVariant::SelectionAndTone) {
      CMaskMngr& masks = *f.doc->masks();
      masks.setCurrent(masks.count());
      CMaskData* mask = masks.currentMask();
      EXPECT_TRUE(mask->createImage(56, 40));
      for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x) EXPECT_TRUE(mask->image->setPixel(x, y, static_cast<uint32_t>(x * 6 + y)));
      f.doc->undoSetSelectionFlags(true, f.doc->antsShown());
      TChannel tile(3, 2);
      for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) *tile.pixelAt(x, y) = static_cast<uint8_t>(x * 120 + y * 10);
      EXPECT_EQ(tones.addTone(tile, 100, false, 0, 0), 0);
      tones.setCurrentIndex(0);
      f.doc->setToolTools(&tones, nullptr);
      stroke.useTone = 1;
    }
    pen = paintKind >= 9;
    if (pen) {
      SPenRenderParam render;
      EXPECT_TRUE(penRenderParamOfKind(render, paintKind));
      render.effect = 40;
      render.env = 30;
      render.speed = 50;
      (void)renderer.setRenderMethod(render);  // false when nothing changes
      EXPECT_EQ(renderer.method(), render.method);
      (void)renderer.setRenderValues(render, 7);
      EXPECT_TRUE(f.doc->createPenEngine(stroke, renderer));
      f.doc->setToolTools(variant == TVariant::SelectionAndTone ? &tones : nullptr, &renderer);
      EXPECT_TRUE(f.doc->selectPenEngine(2));
    }
  }

  bool begin(const SStrokePoint& p) {
    TPaper& d = *fixture.doc;
    return pen ? d.beginEngineStroke(*fixture.flow, stroke, false, p.x, p.y, p.pressure)
               : d.beginStroke(*fixture.flow, stroke, false, p.x, p.y, p.pressure);
  }
  bool point(const SStrokePoint& p) {
    TPaper& d = *fixture.doc;
    return pen ? d.continueEngineStroke(*fixture.flow, stroke, false, true, p.x, p.y, p.pressure)
               : d.continueStroke(*fixture.flow, stroke, false, true, p.x, p.y, p.pressure);
  }
  bool end() {
    TPaper& d = *fixture.doc;
    SRectXYWH r{};
    return pen ? d.endEngineStroke(*fixture.flow, stroke, false, r, true)
               : d.endStroke(*fixture.flow, stroke, false, r, true);
  }
  bool paint(const std::vector<SStrokePoint>& pts) {
    if (!begin(pts[0])) return false;
    for (size_t i = 1; i < pts.size(); ++i)
      if (!point(pts[i])) return false;
    return end();
  }

  // After a stroke the working plane holds the layer's pixels again and the
  // working channel is clear: nothing a dab left beyond the merged rectangle
  // may surface in the next stroke. Answers the first stray pixel.
  ::testing::AssertionResult flowIsClean() const {
    const CLayerData* l = fixture.layer(stroke.layerIndex);
    const TFlowImage& flow = *fixture.flow;
    for (int32_t y = 0; y < l->imageHeight(); ++y)
      for (int32_t x = 0; x < l->imageWidth(); ++x) {
        if (flow.pixels.getPixel(x, y) != l->image->getPixel(x, y))
          return ::testing::AssertionFailure() << "plane differs at " << x << "," << y;
        if (flow.coverage.IsAllocated() && x < flow.coverage.Width && y < flow.coverage.Height &&
            flow.coverage.getPixel(x, y) != 0)
          return ::testing::AssertionFailure() << "coverage left at " << x << "," << y;
      }
    return ::testing::AssertionSuccess();
  }

  // FNV-1a over the layer's pixels.
  uint64_t digest() const {
    const CLayerData* l = fixture.layer(stroke.layerIndex);
    uint64_t h = 1469598103934665603ull;
    for (int32_t y = 0; y < l->imageHeight(); ++y)
      for (int32_t x = 0; x < l->imageWidth(); ++x) {
        const uint32_t p = l->image->getPixel(x, y);
        for (int b = 0; b < 4; ++b) h = (h ^ ((p >> (8 * b)) & 0xFFu)) * 1099511628211ull;
      }
    return h;
  }

  DocFixture fixture;
  CToneMngr tones;
  CPenRender renderer;
  TStroke stroke;
  bool pen = false;
};

// Two seeded strokes a kind: a zig-zag with rising and falling pressure that
// crosses itself, and a short second stroke over the first.
std::vector<std::vector<SStrokePoint>> seededStrokes(uint32_t seed) {
  uint32_t s = seed * 2654435761u + 12345u;
  const auto next = [&s] {
    s = s * 1664525u + 1013904223u;
    return static_cast<float>(s >> 8) / 16777216.0f;
  };
  std::vector<SStrokePoint> first;
  for (int i = 0; i < 14; ++i)
    first.push_back({4.0f + 3.5f * static_cast<float>(i) + next(), 8.0f + 22.0f * next(), 0.2f + 0.8f * next()});
  std::vector<SStrokePoint> second;
  for (int i = 0; i < 5; ++i)
    second.push_back({50.0f - 9.0f * static_cast<float>(i) + next(), 30.0f - 4.0f * static_cast<float>(i), next()});
  return {first, second};
}

uint64_t paintedDigest(uint32_t kind, TVariant variant) {
  GoldenDoc g(kind, variant);
  for (const auto& pts : seededStrokes(kind)) {
    EXPECT_TRUE(g.paint(pts)) << kind;
    EXPECT_TRUE(g.flowIsClean()) << "kind " << kind << " variant " << static_cast<int>(variant);
  }
  return g.digest();
}

// The digests, by kind, for the three variants.
constexpr std::array<std::array<uint64_t, 3>, kPaintKindCount> kGolden = {{
    {0xe3da585d017d1755ull, 0xcad2430043d22d89ull, 0x2aee81a78a87ea73ull},
    {0xf8740ca0b503a611ull, 0x0a71be53499157b0ull, 0xdcb0a83f764c83eaull},
    {0xfc066d0f57baaefcull, 0x9b76feeb23761d61ull, 0x7399f758fd137fc6ull},
    {0x8e79b0b115d8403eull, 0x9a725d4653c06c32ull, 0x2371ea72a45957f4ull},
    {0xdf827602049755b6ull, 0xdf827602049755b6ull, 0xdf827602049755b6ull},
    {0xafa4fe7beae397a3ull, 0xafa4fe7beae397a3ull, 0xafa4fe7beae397a3ull},
    {0xbca32505871e1b38ull, 0x166128bda45cb460ull, 0xecc9e22d452939e3ull},
    {0xe657b311f090f6f5ull, 0xc03bf427bfe48032ull, 0xe657b311f090f6f5ull},
    {0xe084b7c21e96fe0full, 0xde9446e6b0de47f2ull, 0xe084b7c21e96fe0full},
    {0xcf19dd868fe74a1eull, 0x9f60c373486d4288ull, 0x45da630166eaec2bull},
    {0x44515f61f00737dfull, 0xb646bf73f15f5751ull, 0x011e6655809509bfull},
    {0x324ea0a0a53fb4a4ull, 0x32d583d877efef45ull, 0xd4258c52d02bb9c9ull},
    {0x29f1420525f84abfull, 0xd3eea1016c41b54aull, 0x58e62d05a41cbc25ull},
    {0x0554d42d710e3c83ull, 0x563d6837f91d3790ull, 0x87e497970a4af998ull},
    {0xd8600a3ce7431ca5ull, 0x66fc92314c0fe13cull, 0x22f03eccc54ab7faull},
    {0x7be5acfeff192872ull, 0xb9f634ec6b8762c0ull, 0xea1b13f7c8b1baf7ull},
    {0xb041e57b1451fe73ull, 0x92709e1b407516cdull, 0xb041e57b1451fe73ull},
    {0x708f284158c834deull, 0xf5c5c4bed1eb468full, 0x708f284158c834deull},
}};

TEST(PaperStrokeGolden, EveryPaintKindPaintsItsPinnedPixels) {
  for (uint32_t kind = 0; kind < kPaintKindCount; ++kind) {
    const uint64_t got[3] = {paintedDigest(kind, TVariant::Plain), paintedDigest(kind, TVariant::SelectionAndTone),
                             paintedDigest(kind, TVariant::ProtectAlpha)};
    for (int v = 0; v < 3; ++v) EXPECT_EQ(got[v], kGolden[kind][v]) << "kind " << kind << " variant " << v;
  }
}

// Two documents whose strokes interleave point by point, each with its own
// selection, tone, protected alpha and kind, paint what each paints alone:
// no plot state passes from one to the other.
TEST(PaperStrokeGolden, TwoDocumentsPaintingInterleavedShareNothing) {
  const struct Pair {
    uint32_t kindA;
    TVariant variantA;
    uint32_t kindB;
    TVariant variantB;
  } pairs[] = {
      {3, TVariant::SelectionAndTone, 0, TVariant::ProtectAlpha},  // airbrush beside pencil
      {12, TVariant::SelectionAndTone, 7, TVariant::Plain},       // pen-method airbrush beside burn
      {16, TVariant::Plain, 10, TVariant::SelectionAndTone},      // pen-method burn beside eraser
  };
  for (const Pair& p : pairs) {
    SCOPED_TRACE(::testing::Message() << "kinds " << p.kindA << " and " << p.kindB);
    const uint64_t aloneA = paintedDigest(p.kindA, p.variantA);
    const uint64_t aloneB = paintedDigest(p.kindB, p.variantB);
    GoldenDoc a(p.kindA, p.variantA), b(p.kindB, p.variantB);
    const auto strokesA = seededStrokes(p.kindA), strokesB = seededStrokes(p.kindB);
    for (size_t s = 0; s < strokesA.size(); ++s) {
      const auto& pa = strokesA[s];
      const auto& pb = strokesB[s];
      ASSERT_TRUE(a.begin(pa[0]));
      ASSERT_TRUE(b.begin(pb[0]));
      for (size_t i = 1; i < std::max(pa.size(), pb.size()); ++i) {
        if (i < pa.size()) {
          ASSERT_TRUE(a.point(pa[i]));
        }
        if (i < pb.size()) {
          ASSERT_TRUE(b.point(pb[i]));
        }
      }
      ASSERT_TRUE(b.end());
      ASSERT_TRUE(a.end());
    }
    EXPECT_EQ(a.digest(), aloneA);
    EXPECT_EQ(b.digest(), aloneB);
  }
}

// At a pen stroke's end the flow image takes the layer's pixels back only
// beyond the merged rectangle, where the merge left it different from the
// layer; inside, it already is the layer and is not copied again.
TEST(PaperStrokeGolden, OnlyWhatLiesBeyondTheMergeIsReloaded) {
  const struct Case {
    const char* what;
    TRect painted, merged;
  } cases[] = {
      {"dabs reached past every side", {4, 5, 30, 25}, {10, 10, 20, 18}},
      {"dabs within the merge", {10, 10, 20, 18}, {8, 8, 24, 20}},
      {"no merge", {4, 5, 30, 25}, {0, 0, 0, 0}},
      {"merge overlapping one corner", {4, 5, 30, 25}, {20, 15, 40, 35}},
  };
  for (const Case& c : cases) {
    DocFixture f(8, 40, 30);
    f.addLayer(0, 3);
    TFlowImage& flow = *f.flow;
    ASSERT_TRUE(f.doc->loadFlowImage(flow, 0, true));
    // Every flow pixel marked as something the layer does not hold.
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) {
        *flow.pixels.pixelAt(x, y) = 0x12345678u;
        *flow.coverage.pixelAt(x, y) = 9;
      }
    stroke_detail::reloadBeyondMerged(flow, *f.layer(0)->image, c.painted, c.merged);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) {
        const bool inPainted = x >= c.painted.Left && x < c.painted.Right && y >= c.painted.Top && y < c.painted.Bottom;
        const bool inMerged = x >= c.merged.Left && x < c.merged.Right && y >= c.merged.Top && y < c.merged.Bottom;
        const bool reloaded = inPainted && !inMerged;
        ASSERT_EQ(flow.pixels.getPixel(x, y), reloaded ? f.layer(0)->image->getPixel(x, y) : 0x12345678u)
            << c.what << " at " << x << "," << y;
        ASSERT_EQ(flow.coverage.getPixel(x, y), reloaded ? 0 : 9) << c.what << " at " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace pg::test
