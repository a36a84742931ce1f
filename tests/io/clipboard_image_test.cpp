// Pictures, layer records and areas through the in-process clipboard: what
// goes on comes back, large pictures go through the clipboard file, and
// foreign data is bounded.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "document/layer_data.h"
#include "io/clipboard_image.h"
#include "io/image_codecs.h"
#include "platform/clipboard.h"
#include "../test_support/plane_pixels.h"
#include "../test_support/clipboard_fixture.h"
#include "../test_support/temp_folder.h"

namespace pg {
namespace {

class ClipboardImage : public testing::MemoryClipboardTest {};

void fillPattern(TMTC& p) {
  testing::fillWith(p, [](int32_t x, int32_t y) { return uint32_t(x * 7 + y * 131) * 2654435761u; });
}

TEST_F(ClipboardImage, PicturesComeBackWithOrWithoutAlpha) {
  TMTC src(40, 30);
  fillPattern(src);
  ASSERT_TRUE(clipboardEmpty(true));
  ASSERT_TRUE(putClipboardImage32(src, SRectXYWH{5, 6, 100, 10}));  // clipped to 35 x 10
  ASSERT_TRUE(canPasteImage());
  std::unique_ptr<TMTC> back = getClipboardImage();
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Width, 35);
  ASSERT_EQ(back->Height, 10);
  EXPECT_EQ(back->getPixel(0, 0), src.getPixel(5, 6));
  EXPECT_EQ(back->getPixel(34, 9), src.getPixel(39, 15));

  ASSERT_TRUE(putClipboardImage24(src, SRectXYWH{0, 0, 40, 30}));
  back = getClipboardImage();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->getPixel(3, 4), src.getPixel(3, 4) | 0xFF000000u);
  EXPECT_FALSE(putClipboardImage32(src, SRectXYWH{50, 50, 10, 10}));
}

TEST_F(ClipboardImage, LargePicturesGoThroughTheClipboardFile) {
  TMTC big(2048, 2048);
  fillPattern(big);
  ASSERT_TRUE(clipboardEmpty(true));
  ASSERT_TRUE(putClipboardImage32(big, SRectXYWH{0, 0, 2048, 2048}));
  EXPECT_TRUE(std::filesystem::exists(clipboardFile()));
  std::unique_ptr<TMTC> back = getClipboardImage();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->getPixel(2047, 0), big.getPixel(2047, 0));
  EXPECT_EQ(back->getPixel(1000, 1500), big.getPixel(1000, 1500));
  // Another program asking for the PNG gets it, made from the file.
  bool rendered = clipboardReadFormat(kClipPng, [&](const uint8_t* data, size_t size) {
    TMTC p;
    int32_t dpi = 0;
    return decodePng(data, size, p, dpi) == kRcOk && p.getPixel(5, 2040) == big.getPixel(5, 2040);
  });
  EXPECT_TRUE(rendered);

  // A smaller copy removes the older file.
  ASSERT_TRUE(putClipboardImage32(big, SRectXYWH{0, 0, 10, 10}));
  EXPECT_FALSE(std::filesystem::exists(clipboardFile()));

  // With the file switched off the large copy goes to the clipboard itself.
  setClipboardFile("");
  ASSERT_TRUE(putClipboardImage32(big, SRectXYWH{0, 0, 2048, 2048}));
  back = getClipboardImage();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->getPixel(77, 1999), big.getPixel(77, 1999));
}

TEST_F(ClipboardImage, LayerRecordsAndAreasRoundTripAndForeignRecordsAreBounded) {
  CLayerData layer;
  ASSERT_TRUE(layer.createImage(64, 48, 3));
  layer.width = 60;
  layer.height = 40;
  layer.name = "ink";
  layer.opacity = 120;
  layer.blendMode = 5;
  layer.visible = true;
  layer.protectAlpha = true;
  layer.offsetX = 3;
  layer.offsetY = 2;
  ASSERT_TRUE(putClipLayerAttr(layer));
  ASSERT_TRUE(putClipBox(SRectXYWH{-4, 7, 20, 30}));
  ASSERT_TRUE(clipHasLayerAttr());
  SClipLayerAttr attr;
  std::string name;
  ASSERT_TRUE(getClipLayerAttr(attr, name));
  EXPECT_EQ(name, "ink");
  EXPECT_EQ(attr.flags() & 0x40, 0x40u);
  CLayerData other;
  ASSERT_TRUE(other.createImage(64, 48, 3));
  other.width = 60;
  other.height = 40;
  applyLayerAttrRecord(other, attr, &name);
  EXPECT_EQ(other.name, "ink");
  EXPECT_EQ(other.opacity, 120);
  EXPECT_EQ(other.blendMode, 5);
  EXPECT_TRUE(other.visible);
  EXPECT_TRUE(other.protectAlpha);
  EXPECT_EQ(other.offsetX, 3);
  EXPECT_EQ(other.offsetY, 2);
  SRectXYWH box;
  ASSERT_TRUE(getClipBox(box));
  EXPECT_EQ(box.X, -4);
  EXPECT_EQ(box.Height, 30);

  std::vector<uint8_t> record(88, 0);
  std::memcpy(record.data(), "KLYR", 4);
  record[4] = 80;
  std::memset(record.data() + 80, 'a', 8);  // a name without its zero
  EXPECT_TRUE(parseClipLayerAttr(record.data(), record.size(), attr, name));
  EXPECT_EQ(name, "aaaaaaaa");
  record[4] = 71;
  EXPECT_FALSE(parseClipLayerAttr(record.data(), record.size(), attr, name));  // below 72
  record[4] = 81;
  EXPECT_FALSE(parseClipLayerAttr(record.data(), record.size(), attr, name));  // past the data
  record[4] = 80;
  record[0] = 'X';
  EXPECT_FALSE(parseClipLayerAttr(record.data(), record.size(), attr, name));  // tag
}

TEST_F(ClipboardImage, ForeignPngPastesAndNothingElseDoes) {
  ASSERT_TRUE(clipboardEmpty(true));
  EXPECT_FALSE(canPasteImage());
  EXPECT_FALSE(getClipboardImage());
  TMTC src(4, 4);
  fillPattern(src);
  clip_.releaseOwnership();
  ASSERT_TRUE(clipboardSetHandle(kClipPng, encodePng(src, 0, false)));
  ASSERT_TRUE(canPasteImage());
  std::unique_ptr<TMTC> back = getClipboardImage();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->getPixel(2, 3), src.getPixel(2, 3) | 0xFF000000u);
  clip_.releaseOwnership();
  ASSERT_TRUE(clipboardSetHandle(kClipPng, std::vector<uint8_t>{0x89, 'P', 'N', 'G'}));
  EXPECT_FALSE(getClipboardImage());
}

}  // namespace
}  // namespace pg
