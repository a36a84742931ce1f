// The new-layer dialog's model: neutral colour marking, the record.
#include <gtest/gtest.h>

#include "app/new_layer_model.h"
#include "brush/paint_param_kinds.h"
#include "core/blend_modes.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"

namespace pg {
namespace {

TEST(NewLayerModel, NeutralColourIsMarkedAndChosenAndTheRecordPacked) {
  SNewLayerRecord in;
  in.name = "レイヤ 2";
  CNewLayerModel m(in);
  EXPECT_EQ(m.modeIndex(), int32_t(bmStandard));
  EXPECT_EQ(m.colourIndex(), 0);
  EXPECT_EQ(m.colourNames()[0], resString(kResColorWhite));  // normal: nothing marked

  m.setModeIndex(bmScreen);  // neutral black
  EXPECT_EQ(m.colourIndex(), 1);
  EXPECT_EQ(m.colourNames()[1], resString(kResColorBlack) + "( " + resString(kResNeutralColor) + " )");
  m.setModeIndex(bmOverlay);  // neutral grey
  EXPECT_EQ(m.colourIndex(), 2);
  EXPECT_EQ(m.colourNames()[1], resString(kResColorBlack));

  m.setModeIndex(bmMultiple);
  m.setColourIndex(0);
  m.setTransparent(true);
  m.setOpacityPercent(40);
  const SNewLayerRecord r = m.result();
  EXPECT_EQ(r.name, "レイヤ 2");
  EXPECT_EQ(r.blendMode, blendModeToLayerMode(bmMultiple));
  EXPECT_EQ(r.opacity, 102);  // trunc(40 x 2.55 + 0.5)
  EXPECT_EQ(r.colour, 0x00FFFFFFu);
  m.setOpacityPercent(100);
  EXPECT_EQ(m.result().opacity, 255);
  m.setTransparent(false);
  m.setColourIndex(2);
  EXPECT_EQ(m.result().colour, 0xFF7F7F7Fu);
  EXPECT_EQ(CNewLayerModel::modeNames()[bmStandard], layerBlendName(blendModeToLayerMode(bmStandard)));
}

}  // namespace
}  // namespace pg
