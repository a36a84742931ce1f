// The Edit menu's clipboard commands on a recorded document through the
// in-process clipboard: cut and paste give the piece back where it was with
// its layer's attributes and replay alike, a copied layer pastes as the same
// layer, the picture's copy announces the selection's box, and a paste
// without a picture says so.
#include "app/clipboard_commands.h"

#include <gtest/gtest.h>

#include "app/command_fixture.h"
#include "app/dialog_texts.h"
#include "io/clipboard_image.h"
#include "platform/clipboard.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"
#include "test_support/clipboard_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {
namespace {

class ClipboardCommands : public pg::testing::MemoryClipboardTest {};

TEST_F(ClipboardCommands, CutAndPasteGiveThePieceBackWithItsLayerAndReplayAlike) {
  CommandFixture f;
  ASSERT_TRUE(f.doc().setLayerBlendMode(0, 2, true));
  ASSERT_TRUE(f.doc().setLayerOpacity(0, 140, true));
  const uint32_t inside = f.docPixel(40, 30);
  f.selectFrom(30, 20);
  const SClipOutcome cut = cutToClipboard(f.doc(), f.flow());
  ASSERT_TRUE(cut.done);
  EXPECT_TRUE(cut.warning.empty());
  EXPECT_EQ(f.docPixel(40, 30) >> 24, 0u);  // the selected part left the layer
  const SClipOutcome paste = pasteAsNewLayer(f.doc(), f.flow());
  ASSERT_TRUE(paste.done);
  ASSERT_EQ(f.doc().layerCount(), 2);
  const CLayerData& pasted = *f.doc().getLayer(1);
  EXPECT_EQ(pasted.blendMode, 2);
  EXPECT_EQ(pasted.opacity, 140);
  EXPECT_EQ(pasted.image->getPixel(40 + pasted.offsetX, 30 + pasted.offsetY), inside);
  f.expectReplaySame("cut and paste");
}

TEST_F(ClipboardCommands, ACopiedLayerPastesAsTheSameLayer) {
  CommandFixture f;
  ASSERT_TRUE(f.doc().setLayerName(0, "ink", true));
  ASSERT_TRUE(copyLayerToClipboard(f.doc()).done);
  ASSERT_TRUE(pasteAsNewLayer(f.doc(), f.flow()).done);
  ASSERT_EQ(f.doc().layerCount(), 2);
  const CLayerData& a = *f.doc().getLayer(0);
  const CLayerData& b = *f.doc().getLayer(1);
  EXPECT_EQ(b.name, "ink");
  for (const auto& [x, y] : {std::pair{20, 17}, std::pair{0, 0}, std::pair{63, 47}})
    EXPECT_EQ(b.image->getPixel(x + b.offsetX, y + b.offsetY), a.image->getPixel(x + a.offsetX, y + a.offsetY))
        << x << "," << y;
}

TEST_F(ClipboardCommands, ThePicturesCopyAnnouncesTheSelectionsBox) {
  CommandFixture f;
  SRectXYWH box;
  ASSERT_TRUE(copyImageToClipboard(f.doc()).done);
  EXPECT_FALSE(getClipBox(box));  // the whole picture lands at the top left
  f.selectFrom(30, 20);
  ASSERT_TRUE(copyImageToClipboard(f.doc()).done);
  ASSERT_TRUE(getClipBox(box));
  EXPECT_EQ(box.X, 30);
  EXPECT_EQ(box.Y, 20);
  EXPECT_EQ(box.Width, 64 - 30);
  EXPECT_EQ(box.Height, 48 - 20);
}

TEST_F(ClipboardCommands, NothingToTakeOrGiveLeavesTheDocumentAlone) {
  CommandFixture f;
  const std::string before = picture(f.doc());
  const SClipOutcome cut = cutToClipboard(f.doc(), f.flow());  // no selection
  EXPECT_FALSE(cut.done);
  EXPECT_TRUE(cut.warning.empty());
  ASSERT_TRUE(clipboardEmpty(true));
  const SClipOutcome paste = pasteAsNewLayer(f.doc(), f.flow());
  EXPECT_FALSE(paste.done);
  EXPECT_EQ(paste.warning, resString(kResNoClipboardBitmap));
  EXPECT_EQ(picture(f.doc()), before);
}

}  // namespace
}  // namespace pg::test
