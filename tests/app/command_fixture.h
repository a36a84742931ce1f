#pragma once
// A recorded document for the commands the menus run on a document: a stroke
// on its layer, a selection made the recorded way, and the check that the
// recording replays to the same document.
#include <string>

#include "document/layer_data.h"
#include "document/paper.h"
#include "replay/replay_fixture.h"

namespace pg::test {

// A document of 64 x 48 with a stroke on its layer, recorded.
struct CommandFixture : ReplayFixture {
  CommandFixture() { paint(line(4, 5, 50, 40, 16)); }
  TPaper& doc() { return *x.doc; }
  TFlowImage& flow() { return *x.flow; }
  const CLayerData& layer() { return *doc().getLayer(doc().currentLayerIndex()); }
  // The whole document selected, then the selection moved by (dx, dy): it
  // covers the document from there to past its right and bottom edges.
  void selectFrom(int32_t dx, int32_t dy) {
    ASSERT_TRUE(doc().maskFillAll(flow(), doc().currentLayerIndex(), true));
    if (dx != 0 || dy != 0) {
      ASSERT_TRUE(doc().offsetMask(TPoint{dx, dy}, true));
    }
  }
  // The current layer's pixel over a document point.
  uint32_t docPixel(int32_t x, int32_t y) { return layer().image->getPixel(x + layer().offsetX, y + layer().offsetY); }
  // X's recording replayed into Y gives X's document.
  void expectReplaySame(const std::string& what) {
    ASSERT_EQ(startReplay(), ReplayStart::Started) << what;
    EXPECT_EQ(replayAll(), ReplayStep::End) << what;
    EXPECT_EQ(picture(*y.doc), picture(*x.doc)) << what;
  }
};

}  // namespace pg::test
