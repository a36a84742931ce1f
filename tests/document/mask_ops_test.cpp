// The document's selection and mask operations: each recorded with its
// packet, undone to the exact state before and redone.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>

#include "core/plane_ops.h"
#include "doc_ops_fixture.h"

namespace pg::test {
namespace mask_ops_test {

constexpr int kMask = 10 << 8;

// One layer and a selection of the rectangle (10, 8)-(30, 20); a second
// mask holding a smaller block.
struct MaskFixture : OpsFixture {
  MaskFixture() {
    addLayer(0, 1);
    EXPECT_TRUE(doc->maskFigureRect(*flow, 0, {10, 8}, {30, 20}, 0, stroke, false));
    EXPECT_TRUE(doc->newMask(*flow, 0, 0, false));
    EXPECT_TRUE(doc->maskFigureRect(*flow, 0, {40, 30}, {44, 34}, 0, stroke, false));
    EXPECT_TRUE(doc->activateMask(*flow, 0, 0, false));
  }
  int32_t at(int32_t x, int32_t y) const { return doc->masks()->currentMask()->valueAtPaper(x, y); }
};

TEST(MaskOps, EachOperationRecordsUndoesAndRedoes) {
  struct Case {
    const char* what;
    int header;
    std::function<bool(MaskFixture&, bool)> op;
  };
  const Case cases[] = {
      {"rect add", kMask | 16, [](MaskFixture& f, bool r) { return f.doc->maskFigureRect(*f.flow, 0, {0, 0}, {4, 4}, 1, f.stroke, r); }},
      {"ellipse subtract", kMask | 19,
       [](MaskFixture& f, bool r) { return f.doc->maskFigureEllipse(*f.flow, 0, {12, 9}, {20, 15}, 0.3, 2, f.stroke, r); }},
      {"polygon replace", kMask | 18,
       [](MaskFixture& f, bool r) {
         const TPointF pts[4] = {{1, 1}, {30, 2}, {25, 40}, {3, 30}};
         return f.doc->maskFigurePolygon(*f.flow, 0, 4, pts, 0, f.stroke, r);
       }},
      {"all", kMask | 20, [](MaskFixture& f, bool r) { return f.doc->maskFillAll(*f.flow, 0, r); }},
      {"none", kMask | 1, [](MaskFixture& f, bool r) { return f.doc->maskFillNone(*f.flow, 0, r); }},
      {"invert", kMask | 3, [](MaskFixture& f, bool r) { return f.doc->maskInvert(*f.flow, 0, r); }},
      {"offset", kMask | 8, [](MaskFixture& f, bool r) { return f.doc->offsetMask({3, -2}, r); }},
      {"grow in place", kMask | 10, [](MaskFixture& f, bool r) { return f.doc->inflateMaskInPlace(0, true, -1, r); }},
      {"shrink", kMask | 10, [](MaskFixture& f, bool r) { return f.doc->inflateMask(0, false, -1, r); }},
      {"activate", kMask | 5, [](MaskFixture& f, bool r) { return f.doc->activateMask(*f.flow, 0, 1, r); }},
      {"new", kMask | 0, [](MaskFixture& f, bool r) { return f.doc->newMask(*f.flow, 0, 0, r); }},
      {"duplicate", kMask | 4, [](MaskFixture& f, bool r) { return f.doc->duplicateMask(*f.flow, 0, 1, r); }},
      {"delete", kMask | 2, [](MaskFixture& f, bool r) { return f.doc->deleteMask(*f.flow, 0, 0, r); }},
      {"rename", kMask | 12, [](MaskFixture& f, bool r) { return f.doc->setMaskName(0, "sky", 0, r); }},
      {"move", kMask | 7, [](MaskFixture& f, bool r) { return f.doc->moveMask(*f.flow, 0, 0, 1, r); }},
      {"merge add", kMask | 9, [](MaskFixture& f, bool r) { return f.doc->mergeMask(*f.flow, 0, 0, 1, 1, r); }},
      {"from layer alpha", kMask | 22, [](MaskFixture& f, bool r) { return f.doc->newMaskFromLayer(*f.flow, 0, 1, 0, 0, r); }},
      {"hide outline", kMask | 13, [](MaskFixture& f, bool r) { return f.doc->showWalkAnts(false, r) == false; }},
      {"disable", kMask | 14, [](MaskFixture& f, bool r) { return f.doc->enableMask(false, r) == false; }},
  };
  for (const Case& c : cases) {
    MaskFixture f;
    f.roundTrip([&] { return c.op(f, true); }, c.header, c.what);
    // The same without the record flag: the same result, nothing written,
    // no undo kept.
    MaskFixture g;
    const uint32_t from = g.position();
    EXPECT_TRUE(c.op(g, false)) << c.what;
    EXPECT_TRUE(g.packetsSince(from).empty()) << c.what;
    EXPECT_EQ(g.doc->undoMngr()->undoCount(), 0) << c.what;
  }
}

TEST(MaskOps, WithoutTheRecordFlagNothingIsWritten) {
  MaskFixture f;
  const uint32_t from = f.position();
  ASSERT_TRUE(f.doc->maskInvert(*f.flow, 0, false));
  ASSERT_TRUE(f.doc->offsetMask({1, 1}, false));
  ASSERT_TRUE(f.doc->newMask(*f.flow, 0, 0, false));
  ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {0, 0}, {4, 4}, 0, f.stroke, false));
  EXPECT_TRUE(f.packetsSince(from).empty());
  EXPECT_EQ(f.doc->undoMngr()->undoCount(), 0);
}

TEST(MaskOps, Refusals) {
  MaskFixture f;
  const std::string before = snapshot(*f.doc);
  const uint32_t from = f.position();
  EXPECT_FALSE(f.doc->offsetMask({0, 0}, true));
  EXPECT_FALSE(f.doc->moveMask(*f.flow, 0, 1, 1, true));
  EXPECT_FALSE(f.doc->moveMask(*f.flow, 0, 0, 5, true));
  EXPECT_FALSE(f.doc->maskFigureRect(*f.flow, 0, {5, 5}, {5, 5}, 0, f.stroke, true));
  EXPECT_FALSE(f.doc->newMaskFromLayer(*f.flow, 0, 2, 0, 0, true));
  EXPECT_FALSE(f.doc->offsetMask({1 << 30, 0}, true));
  EXPECT_TRUE(f.doc->deleteMask(*f.flow, 0, 1, false));
  EXPECT_FALSE(f.doc->deleteMask(*f.flow, 0, 0, true));  // the last mask stays
  EXPECT_TRUE(f.packetsSince(from).empty());
  (void)before;
}

TEST(MaskOps, AMaskFromALayerIsInsertedPlainlyWhateverTheMergeMode) {
  // The event carries no merge mode, so a replay can only insert plainly:
  // every merge mode inserts the new mask after the given one, as mode 0.
  // Documents of their own: everything but the object ids compares.
  const auto state = [](const TPaper& d) {
    // The snapshot without its "id <digits> " fields.
    const std::string s = snapshot(d);
    std::string out;
    for (size_t i = 0; i < s.size();) {
      size_t j = i + 3;
      if (s.compare(i, 3, "id ") == 0 && j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
        if (j < s.size() && s[j] == ' ') {
          i = j + 1;
          continue;
        }
      }
      out += s[i++];
    }
    return out;
  };
  std::string plain;
  for (int32_t mode : {0, 1, 3}) {
    MaskFixture f;
    ASSERT_TRUE(f.doc->newMaskFromLayer(*f.flow, 0, 1, mode, 0, true));
    EXPECT_EQ(f.doc->masks()->count(), 3);
    EXPECT_EQ(f.doc->masks()->current(), 1);
    if (mode == 0) plain = state(*f.doc);
    EXPECT_EQ(state(*f.doc), plain) << mode;
  }
}

TEST(MaskOps, ShapesCombineByMode) {
  MaskFixture f;
  EXPECT_EQ(f.at(10, 8), 255);
  EXPECT_EQ(f.at(9, 8), 0);
  EXPECT_EQ(f.at(29, 19), 255);
  EXPECT_EQ(f.at(30, 19), 0);
  ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {20, 8}, {40, 20}, 2, f.stroke, true));  // subtract
  EXPECT_EQ(f.at(15, 10), 255);
  EXPECT_EQ(f.at(25, 10), 0);
  ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {12, 0}, {16, 48}, 3, f.stroke, true));  // intersect
  EXPECT_EQ(f.at(11, 10), 0);
  EXPECT_EQ(f.at(13, 10), 255);
  EXPECT_TRUE(f.doc->selectionEnabled() && f.doc->antsShown());
}

TEST(MaskOps, InvertTwiceRestoresAndAnInPlaceInvertUndoesWithoutCopies) {
  MaskFixture f;
  ASSERT_TRUE(f.doc->maskFillAll(*f.flow, 0, false));  // covers the canvas: inverts in place
  ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {1, 1}, {5, 5}, 2, f.stroke, false));
  const std::string before = snapshot(*f.doc);
  ASSERT_TRUE(f.doc->maskInvert(*f.flow, 0, true));
  EXPECT_EQ(f.doc->undoMngr()->peekUndo()->kind, kUndoInvertMaskInPlace);
  EXPECT_FALSE(f.doc->undoMngr()->peekUndo()->kept.mask);
  EXPECT_EQ(f.at(2, 2), 255);
  ASSERT_TRUE(f.doc->maskInvert(*f.flow, 0, true));
  EXPECT_EQ(snapshot(*f.doc), before);
}

// A selection moved off part of the canvas is inverted into a new, larger
// mask; its undo gives back the mask it replaced.
TEST(MaskOps, AnInvertThatReplacesTheMaskUndoesToIt) {
  MaskFixture f;
  ASSERT_TRUE(f.doc->offsetMask(TPoint{6, 5}, true));
  const std::string before = snapshot(*f.doc);
  ASSERT_TRUE(f.doc->maskInvert(*f.flow, 0, true));
  ASSERT_EQ(f.doc->undoMngr()->peekUndo()->kind, kUndoMaskReplaced);
  EXPECT_EQ(f.at(20, 15), 0);
  EXPECT_EQ(f.at(2, 2), 255);
  int32_t layer = 0;
  TRect rect;
  ASSERT_TRUE(f.doc->undo(*f.flow, layer, rect));
  EXPECT_EQ(snapshot(*f.doc), before);
}

TEST(MaskOps, GrowingPastTheImageEdgeOnlyInTheGrownForm) {
  MaskFixture f;
  ASSERT_TRUE(f.doc->maskFigureRect(*f.flow, 0, {0, 0}, {5, 5}, 0, f.stroke, false));
  const CMaskData* m = f.doc->masks()->currentMask();
  ASSERT_EQ(m->offsetX, 0);
  ASSERT_TRUE(f.doc->inflateMaskInPlace(0, true, -1, false));
  EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(-1, 0), -1);  // outside the image
  EXPECT_EQ(f.at(5, 5), 255);
  ASSERT_TRUE(f.doc->inflateMask(0, true, -1, false));
  EXPECT_EQ(f.doc->masks()->currentMask()->valueAtPaper(-1, 0), 255);
  EXPECT_EQ(f.at(6, 6), 255);
  EXPECT_EQ(f.at(7, 7), 0);
}

TEST(MaskOps, ActivatingTheIndexAfterTheLastAddsAMask) {
  MaskFixture f;
  ASSERT_EQ(f.doc->masks()->count(), 2);
  ASSERT_TRUE(f.doc->activateMask(*f.flow, 0, 2, true));
  EXPECT_EQ(f.doc->masks()->count(), 3);
  EXPECT_EQ(f.doc->masks()->current(), 2);
}

}  // namespace mask_ops_test
}  // namespace pg::test
