#include "ui/preview_faces.h"

#include <gtest/gtest.h>

#include "ui/appearance_manager.h"

namespace pg {
namespace {

uint32_t at(const TMemoryGraphic& g, int32_t x, int32_t y) { return g.scanLine(y)[x]; }

TEST(PreviewFaces, LoupeCrossFadesTowardTheCentre) {
  TMemoryGraphic g(41, 31, 0);
  paintLoupeGround(g);
  paintLoupeFrame(g, false);
  const uint32_t grey = 0xFFCCCCCCu;
  EXPECT_EQ(at(g, 20, 15), grey) << "no cross without the grid";
  EXPECT_EQ(at(g, 0, 0), uiSysColors().btnShadow);
  EXPECT_EQ(at(g, 40, 30), uiSysColors().btnHighlight);
  EXPECT_EQ(at(g, 1, 5), uiSysColors().windowFrame);

  paintLoupeGround(g);
  paintLoupeFrame(g, true);
  // Half-way dark at the centre, untouched where the lines start, and
  // darker the nearer the centre.
  EXPECT_EQ(at(g, 20, 15) & 0xFFu, 0xCCu / 2);
  EXPECT_EQ(at(g, 2, 15), grey);
  EXPECT_EQ(at(g, 20, 2), grey);
  EXPECT_EQ(at(g, 37, 15), grey);
  EXPECT_EQ(at(g, 20, 27), grey);
  EXPECT_LT(at(g, 15, 15) & 0xFFu, at(g, 8, 15) & 0xFFu);
  EXPECT_LT(at(g, 20, 12) & 0xFFu, at(g, 20, 5) & 0xFFu);
  EXPECT_EQ(at(g, 10, 10), grey) << "nothing off the lines";
}

TEST(PreviewFaces, PresetFaceBlendsOverCheckersOrCopies) {
  TMemoryGraphic content(8, 8, 0x00000000u);  // transparent
  content.fillRect({0, 0, 4, 8}, 0xFF0000FFu, copyChannel, copyChannel);
  TMemoryGraphic face(12, 12, uiSysColors().btnFace);
  paintPresetFace(face, content, true);
  EXPECT_EQ(at(face, 0, 0), uiSysColors().btnShadow);
  EXPECT_EQ(at(face, 1, 1), uiSysColors().window);
  EXPECT_EQ(at(face, 2, 2), 0xFF0000FFu);
  // The right half of the content is transparent: the checkers show.
  const uint32_t a = at(face, 6, 2), b = at(face, 6, 6);
  EXPECT_TRUE((a == kCheckerLight && b == kCheckerDark) || (a == kCheckerDark && b == kCheckerLight)) << a << " " << b;
  paintPresetFace(face, content, false);
  EXPECT_EQ(at(face, 6, 2), 0u) << "without checkers the content is copied as it is";
}

}  // namespace
}  // namespace pg
