// The document commands behind the image, layer and mask dialogs once the
// dialog said OK: what each changes, what it leaves alone, and that every
// change it records replays to the same document.
#include "app/document_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/command_fixture.h"
#include "document/mask_data.h"
#include "document/mask_mngr.h"

namespace pg::test {
namespace {

TEST(DocumentCommands, EveryDialogCommandReplaysToTheSameDocument) {
  struct Case {
    const char* what;
    std::function<bool(CommandFixture&)> run;
  } cases[] = {
      {"layer options, every item changed",
       [](CommandFixture& f) {
         const TLayerOptionValue before = layerOptionRecord(f.layer());
         TLayerOptionValue r = before;
         r.name = "ink";
         r.opacity = 128;
         r.dither = true;
         r.ditherAmount = 90;
         r.blendMode = 5;
         r.crop = true;
         r.x += 7;
         r.y -= 3;
         return applyLayerOptions(f.doc(), f.flow(), f.doc().currentLayerIndex(), before, r);
       }},
      {"mask options: name and move of a mask with an image",
       [](CommandFixture& f) {
         f.selectFrom(0, 0);
         const TLayerOptionValue before = maskOptionRecord(*f.doc().masks()->currentMask());
         TLayerOptionValue r = before;
         r.name = "edge";
         r.x += 5;
         r.y += 2;
         return applyMaskOptions(f.doc(), f.flow(), before, r);
       }},
      {"canvas size, anchored bottom right",
       [](CommandFixture& f) { return applyCanvasSize(f.doc(), f.flow(), SImageSizeRecord{90, 30, 8}); }},
      {"resolution with a new size",
       [](CommandFixture& f) { return applyResolution(f.doc(), f.flow(), SResolutionRecord{40, 30, 144}); }},
      {"new layer from the dialog",
       [](CommandFixture& f) {
         SNewLayerRecord r;
         r.name = "wash";
         r.blendMode = 0;
         r.opacity = 200;
         r.colour = 0xFF336699u;
         return addNewLayer(f.doc(), f.flow(), r);
       }},
      {"delete the selected area",
       [](CommandFixture& f) {
         f.selectFrom(30, 20);
         return deleteSelectionOrLayer(f.doc(), f.flow(), f.tool) == DeleteResult::SelectionErased;
       }},
      {"delete without a selection clears the layer",
       [](CommandFixture& f) { return deleteSelectionOrLayer(f.doc(), f.flow(), f.tool) == DeleteResult::LayerCleared; }},
      {"crop to a selection that reaches past the image",
       [](CommandFixture& f) {
         f.selectFrom(30, 20);
         return cropToSelection(f.doc(), f.flow());
       }},
  };
  for (const Case& c : cases) {
    CommandFixture f;
    ASSERT_TRUE(c.run(f)) << c.what;
    f.expectReplaySame(c.what);
  }
}

TEST(DocumentCommands, LayerOptionsApplyOnlyWhatChanged) {
  CommandFixture f;
  const TLayerOptionValue before = layerOptionRecord(f.layer());
  EXPECT_EQ(before.x, -f.layer().offsetX);
  EXPECT_FALSE(before.crop);
  const std::string unchanged = picture(f.doc());
  EXPECT_FALSE(applyLayerOptions(f.doc(), f.flow(), 0, before, before));
  EXPECT_EQ(picture(f.doc()), unchanged);

  // A name past the longest a layer holds is cut; nothing else moves.
  TLayerOptionValue r = before;
  r.name = std::string(40000, 'a');
  ASSERT_TRUE(applyLayerOptions(f.doc(), f.flow(), 0, before, r));
  EXPECT_EQ(f.layer().name.size(), 32766u);
  EXPECT_EQ(f.layer().opacity, before.opacity);
  EXPECT_EQ(f.layer().offsetX, -before.x);

  // A move is the difference between the entered and the present position.
  r = layerOptionRecord(f.layer());
  TLayerOptionValue moved = r;
  moved.x += 4;
  moved.y -= 2;
  const uint32_t marked = f.docPixel(20, 17);  // on the stroke
  ASSERT_NE(marked, f.docPixel(63, 0));
  ASSERT_TRUE(applyLayerOptions(f.doc(), f.flow(), 0, r, moved));
  EXPECT_EQ(f.docPixel(24, 15), marked);
}

TEST(DocumentCommands, AMaskWithoutAnImageTakesOnlyItsName) {
  CommandFixture f;
  const CMaskData* m = f.doc().masks()->currentMask();
  ASSERT_NE(m, nullptr);
  ASSERT_FALSE(m->hasImage());
  const TLayerOptionValue before = maskOptionRecord(*m);
  TLayerOptionValue r = before;
  r.crop = true;
  r.x += 9;
  EXPECT_FALSE(applyMaskOptions(f.doc(), f.flow(), before, r));
  r.name = "plain";
  EXPECT_TRUE(applyMaskOptions(f.doc(), f.flow(), before, r));
  EXPECT_EQ(f.doc().masks()->currentMask()->name, "plain");
  EXPECT_EQ(f.doc().masks()->currentMask()->offsetX, m->offsetX);
}

TEST(DocumentCommands, TheDialogsAnchorCellsMapToTheDocumentsColumnOrder) {
  // Row by row in the dialog, column by column in the document.
  const int32_t expected[9] = {0, 3, 6, 1, 4, 7, 2, 5, 8};
  for (int32_t cell = 0; cell < 9; ++cell) EXPECT_EQ(documentAnchor(cell), expected[cell]) << cell;

  // The top right cell keeps the old image against the top and right edges.
  CommandFixture f;
  const uint32_t corner = f.layer().image->getPixel(63 + f.layer().offsetX, 0 + f.layer().offsetY);
  ASSERT_TRUE(applyCanvasSize(f.doc(), f.flow(), SImageSizeRecord{80, 60, 2}));
  EXPECT_EQ(f.doc().width(), 80);
  EXPECT_EQ(f.doc().height(), 60);
  EXPECT_EQ(f.layer().image->getPixel(79 + f.layer().offsetX, 0 + f.layer().offsetY), corner);
}

TEST(DocumentCommands, ResolutionChangesTheSizeOnlyWhenAskedAndKeepsItOnFailure) {
  CommandFixture f;
  const std::string before = picture(f.doc());
  ASSERT_TRUE(applyResolution(f.doc(), f.flow(), SResolutionRecord{64, 48, 300}));
  EXPECT_EQ(f.doc().resolution(), 300);
  EXPECT_EQ(picture(f.doc()), before);
  // A size the document cannot take changes nothing, the resolution either.
  EXPECT_FALSE(applyResolution(f.doc(), f.flow(), SResolutionRecord{0, 48, 96}));
  EXPECT_EQ(f.doc().resolution(), 300);
  EXPECT_EQ(f.doc().width(), 64);
}

TEST(DocumentCommands, DeleteErasesOnlyTheSelectedAreaWhenThereIsOne) {
  CommandFixture f;
  const uint32_t outside = f.docPixel(20, 17);  // on the stroke, left of the selection
  f.selectFrom(30, 20);
  ASSERT_EQ(deleteSelectionOrLayer(f.doc(), f.flow(), f.tool), DeleteResult::SelectionErased);
  EXPECT_EQ(f.docPixel(20, 17), outside);
  EXPECT_EQ(f.docPixel(40, 30) >> 24, 0u);
}

TEST(DocumentCommands, CropNeedsSelectedPixelsOverTheImage) {
  CommandFixture f;
  EXPECT_FALSE(cropToSelection(f.doc(), f.flow()));  // no selection
  // A selection reaching past the image crops to where the two overlap.
  f.selectFrom(12, 10);
  ASSERT_TRUE(cropToSelection(f.doc(), f.flow()));
  EXPECT_EQ(f.doc().width(), 64 - 12);
  EXPECT_EQ(f.doc().height(), 48 - 10);
}

}  // namespace
}  // namespace pg::test
