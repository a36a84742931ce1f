#include "app/new_document_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/units.h"

namespace pg {
namespace {

using Presets = std::array<SPaperPreset, kUserPaperPresetCount>;

int positionOf(std::string_view name) {
  int position = findPaperTypeByName(name);
  EXPECT_GE(position, 0) << name;
  return position;
}

CNewDocumentModel freshModel() { return CNewDocumentModel(Presets{}, 0, 0); }

TEST(NewDocumentModel, EveryPresetGivesItsPixelSize) {
  struct Case {
    const char* name;
    int32_t longSide, shortSide;
  };
  const Case cases[] = {
      {"QVGA", 320, 240}, {"VGA", 640, 480}, {"SVGA", 800, 600}, {"XGA", 1024, 768}, {"SXGA", 1280, 1024},
      {"UXGA", 1600, 1200}, {"A6", 874, 620}, {"A5", 1240, 874}, {"A4", 1754, 1240}, {"B6", 1039, 738},
      {"B5", 1476, 1039}, {"B4", 2085, 1476}, {"B6 JIS", 1075, 756}, {"B5 JIS", 1518, 1075},
      {"B4 JIS", 2150, 1518}, {"F0", 1063, 827}, {"F2", 1417, 1122}, {"F4", 1967, 1429}, {"M0", 1063, 709},
      {"M2", 1417, 945}, {"M4", 1967, 1299}, {"P0", 1063, 591}, {"P2", 1417, 827}, {"P4", 1967, 1122},
      {"官製はがき", 874, 591}, {"レターサイズ", 1650, 1275}, {"リーガルサイズ", 2100, 1275}, {"L判", 750, 526},
      {"キャビネ", 974, 709}, {"2L判", 1051, 750}, {"八切り", 1200, 900}, {"六切り", 1500, 1200},
      {"四切り", 1800, 1500}, {"大四切り", 2100, 1650}, {"カスタム", 512, 512},
  };
  CNewDocumentModel m = freshModel();
  for (const Case& c : cases) {
    m.selectType(positionOf(c.name));
    m.setLandscape(true);
    SNewDocumentSettings r = m.result("");
    EXPECT_EQ(r.width, c.longSide) << c.name;
    EXPECT_EQ(r.height, c.shortSide) << c.name;
    EXPECT_EQ(r.resolution, paperType(positionOf(c.name)).resolution) << c.name;
    m.setLandscape(false);
    EXPECT_EQ(m.pixelWidth(), c.shortSide) << c.name;
    EXPECT_EQ(m.pixelHeight(), c.longSide) << c.name;
  }
}

TEST(NewDocumentModel, A4PortraitAt150Dpi) {
  CNewDocumentModel m = freshModel();
  m.setLandscape(false);
  m.selectType(positionOf("A4"));
  EXPECT_EQ(m.unit(), kUnitMm);
  EXPECT_EQ(m.resolution(), 150.0f);
  EXPECT_EQ(m.width(), 210.0f);
  EXPECT_EQ(m.height(), 297.0f);
  SNewDocumentSettings r = m.result("sketch");
  EXPECT_EQ(r.fileName, "sketch");
  EXPECT_EQ(r.width, 1240);
  EXPECT_EQ(r.height, 1754);
  EXPECT_EQ(r.resolution, 150);
  m.setLandscape(true);
  EXPECT_EQ(m.width(), 297.0f);
  EXPECT_EQ(m.height(), 210.0f);
  EXPECT_EQ(m.typePosition(), positionOf("A4"));
}

TEST(NewDocumentModel, SeparatorsArePassedInTheDirectionOfTravel) {
  const int separators[] = {1, 7, 14, 18, 22, 26, 30, 34, 38, 42};
  int count = 0;
  for (int i = 0; i < paperTypeCount(); ++i) count += paperType(i).kind == PaperTypeKind::Separator;
  EXPECT_EQ(paperTypeCount(), 50);
  EXPECT_EQ(count, 10);
  for (int s : separators) {
    EXPECT_EQ(paperType(s).kind, PaperTypeKind::Separator) << s;
    CNewDocumentModel m = freshModel();
    m.selectType(s - 1);
    m.selectType(s);  // moving down
    EXPECT_EQ(m.typePosition(), s + 1);
    m.selectType(s);  // moving up
    EXPECT_EQ(m.typePosition(), s - 1);
  }
}

TEST(NewDocumentModel, AUnitChangeKeepsThePixels) {
  CNewDocumentModel m = freshModel();
  m.selectType(0);  // 512 x 512 pixels at 72
  struct Case {
    int32_t unit;
    float length;
    const char* text;
  };
  const Case cases[] = {
      {kUnitInch, 512.0f / 72, "7.11111"}, {kUnitCm, 512 * 2.54f / 72, "18.0622"},
      {kUnitMm, 512 * 25.4f / 72, "180.622"}, {kUnitPixel, 512, "512"},
  };
  for (const Case& c : cases) {
    m.setUnit(c.unit);
    EXPECT_NEAR(m.width(), c.length, 1e-3) << c.unit;
    EXPECT_EQ(m.lengthText(m.width()), c.text);
    EXPECT_EQ(m.pixelWidth(), 512) << c.unit;
  }
  m.setUnit(7);  // not a length unit
  EXPECT_EQ(m.unit(), kUnitPixel);

  // A resolution change keeps the length in the unit: the pixels follow.
  m.selectType(positionOf("A4"));
  m.setResolution(300);
  EXPECT_EQ(m.width(), 297.0f);
  EXPECT_EQ(m.pixelWidth(), 3508);
  EXPECT_EQ(m.result("").resolution, 300);
}

TEST(NewDocumentModel, SizesAndResolutionStayInsideTheirLimits) {
  CNewDocumentModel m = freshModel();
  m.selectType(0);
  m.setWidth(20000);
  EXPECT_EQ(m.pixelWidth(), kMaxDocumentSide);
  m.setHeight(3);
  EXPECT_EQ(m.pixelHeight(), 8);
  m.setHeight(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(m.pixelHeight(), 8);
  m.setResolution(5000);
  EXPECT_EQ(m.resolution(), 600.0f);
  m.setResolution(1);
  EXPECT_EQ(m.resolution(), 72.0f);

  // In millimetres at 150 pixels per inch the limits are 8 and 10,000 pixels.
  m.selectType(positionOf("A4"));
  float lo, hi;
  m.sizeLimits(lo, hi);
  EXPECT_NEAR(lo, 8 * 25.4 / 150, 1e-4);
  EXPECT_NEAR(hi, 10000 * 25.4 / 150, 1e-2);
  m.setWidth(5000);
  EXPECT_EQ(m.pixelWidth(), kMaxDocumentSide);
  // A metre-long page may not go past 10,000 pixels: 254 pixels per inch at most.
  m.setWidth(1000);
  m.setResolution(600);
  EXPECT_NEAR(m.resolution(), 254.0f, 1e-3);
  EXPECT_LE(m.pixelWidth(), kMaxDocumentSide);
}

TEST(NewDocumentModel, UserPresetsComeFromThePreferencesAndTakeEdits) {
  Presets stored{};
  stored[0] = {kUnitCm, 300, 10.0f, 20.0f, true};
  stored[1] = {9, -5, std::numeric_limits<float>::quiet_NaN(), -1.0f, false};  // damaged
  CNewDocumentModel m(stored, 0, 0);
  // Without a clipboard image the first user preset is chosen, in its own orientation.
  EXPECT_EQ(m.typePosition(), 2);
  EXPECT_EQ(m.unit(), kUnitCm);
  EXPECT_EQ(m.width(), 10.0f);
  EXPECT_EQ(m.height(), 20.0f);
  EXPECT_FALSE(m.landscape());
  EXPECT_TRUE(m.transparent());
  EXPECT_EQ(m.result("").width, 1181);

  EXPECT_EQ(m.userPresets()[1], SPaperPreset{});
  m.selectType(3);  // in the orientation chosen
  EXPECT_EQ(m.pixelWidth(), 480);
  EXPECT_EQ(m.pixelHeight(), 640);

  m.setWidth(700);  // wider than high: the orientation follows
  EXPECT_TRUE(m.landscape());
  m.setTransparent(true);
  EXPECT_EQ(m.typePosition(), 3);
  EXPECT_EQ(m.userPresets()[1], (SPaperPreset{kUnitPixel, 72, 700.0f, 640.0f, true}));
  EXPECT_EQ(m.typeSizeText(3), "700 pixel 640 pixel");
  EXPECT_EQ(m.userPresets()[0], stored[0]);
}

TEST(NewDocumentModel, EditedSizesFindTheirPreset) {
  CNewDocumentModel m = freshModel();
  m.selectType(0);
  m.setWidth(640);
  m.setHeight(480);
  EXPECT_EQ(m.typePosition(), positionOf("VGA"));
  m.setHeight(481);
  EXPECT_EQ(m.typePosition(), 0);
  m.setHeight(480);
  m.setHeight(500);
  m.selectType(positionOf("A4"));
  m.selectType(0);  // the custom size keeps the last edit
  EXPECT_EQ(m.pixelWidth(), 640);
  EXPECT_EQ(m.pixelHeight(), 500);

  EXPECT_EQ(findFixedPaperType(1754, 1240), positionOf("A4"));
  EXPECT_EQ(findFixedPaperType(1240, 1754), positionOf("A4"));
  EXPECT_EQ(findFixedPaperType(512, 512), -1);  // the custom size is not looked up
  EXPECT_EQ(m.typeSizeText(positionOf("A4")), "297 mm 210 mm");
  EXPECT_EQ(m.typeSizeText(positionOf("レターサイズ")), "11 inch 8.5 inch");
  EXPECT_EQ(m.typeSizeText(1), "");
}

TEST(NewDocumentModel, AClipboardImageBecomesTheCustomSize) {
  CNewDocumentModel m(Presets{}, 300, 800);
  EXPECT_EQ(m.typePosition(), 0);
  EXPECT_FALSE(m.landscape());
  EXPECT_EQ(m.pixelWidth(), 300);
  EXPECT_EQ(m.pixelHeight(), 800);
  CNewDocumentModel huge(Presets{}, 30000, 2);
  EXPECT_EQ(huge.pixelWidth(), kMaxDocumentSide);
  EXPECT_EQ(huge.pixelHeight(), 8);
}

}  // namespace
}  // namespace pg
