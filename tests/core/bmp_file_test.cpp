#include "core/bmp_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "test_support/plane_pixels.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

namespace fs = std::filesystem;

using testing::fillRandom;
using testing::TempFolder;

std::vector<uint8_t> slurp(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes of a BMP file: headers, optional masks, a gap, then the rows.
struct BmpBuilder {
  SBmpFileHeader fh;
  SBmpInfoHeader ih;
  std::vector<uint8_t> masks;  // written right after the info header
  std::vector<uint8_t> gap;    // written after the masks
  std::vector<uint8_t> rows;

  // A w x h picture of the given depth whose file row i, pixel x holds
  // (i * 16 + x) in blue, x in green, i in red and 0x80 | i in alpha.
  BmpBuilder(int32_t w, int32_t h, int bits, bool topDown = false) {
    ih.biSize = 40;
    ih.biWidth = w;
    ih.biHeight = topDown ? -h : h;
    ih.biPlanes = 1;
    ih.biBitCount = static_cast<uint16_t>(bits);
    const int64_t stride = bits == 24 ? bmpStride24(w) : bmpStride32(w);
    rows.assign(static_cast<size_t>(stride * h), 0);
    for (int32_t i = 0; i < h; ++i)
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* p = rows.data() + i * stride + x * (bits / 8);
        p[0] = static_cast<uint8_t>(i * 16 + x);
        p[1] = static_cast<uint8_t>(x);
        p[2] = static_cast<uint8_t>(i);
        if (bits == 32) p[3] = static_cast<uint8_t>(0x80 | i);
      }
  }
  std::vector<uint8_t> fileBytes() {
    std::vector<uint8_t> out(54);
    fh.bfOffBits = fh.bfOffBits ? fh.bfOffBits : static_cast<uint32_t>(54 + masks.size() + gap.size());
    writeBmpFileHeader(fh, out.data());
    writeBmpInfoHeader(ih, out.data() + 14);
    out.insert(out.end(), masks.begin(), masks.end());
    out.insert(out.end(), gap.begin(), gap.end());
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
  }
  std::vector<uint8_t> dibBytes() {
    std::vector<uint8_t> out(40);
    writeBmpInfoHeader(ih, out.data());
    out.insert(out.end(), masks.begin(), masks.end());
    out.insert(out.end(), gap.begin(), gap.end());
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
  }
};

std::vector<uint8_t> le32s(std::initializer_list<uint32_t> values) {
  std::vector<uint8_t> out;
  for (uint32_t v : values)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return out;
}

// The picture of BmpBuilder as it must arrive: upright, picture row r is file
// row (h - 1 - r) for a bottom-up file.
void expectBuilderPicture(const TMTC& plane, int32_t w, int32_t h, int bits, bool topDown) {
  ASSERT_EQ(plane.Width, w);
  ASSERT_EQ(plane.Height, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t i = static_cast<uint32_t>(topDown ? y : h - 1 - y);
      const uint32_t alpha = bits == 32 ? (0x80 | i) : 0xFF;
      const uint32_t expected = ((i * 16 + x) & 0xFF) | (x & 0xFF) << 8 | (i & 0xFF) << 16 | alpha << 24;
      ASSERT_EQ(plane.getPixel(x, y), expected) << x << "," << y;
    }
}

// ------------------------------------------------------------------- headers

TEST(BmpHeaders, StridesResolutionsAndHeaderFields) {
  struct Case {
    int32_t width, stride24;
  };
  for (const Case& c : {Case{1, 4}, Case{3, 12}, Case{4, 12}, Case{5, 16}}) {
    TMTC plane(c.width, 2);
    SBmpInfoHeader h;
    EXPECT_EQ(makeBmpInfo24(plane, h, 72), c.stride24) << c.width;
    EXPECT_EQ(h.biSizeImage, static_cast<uint32_t>(2 * c.stride24));
  }
  TMTC plane(3, 5);
  SBmpInfoHeader h;
  EXPECT_EQ(planeBmpInfo32(plane, h, 96), 12);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 3);
  EXPECT_EQ(h.biHeight, 5);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 32);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 60u);
  EXPECT_EQ(h.biXPelsPerMeter, 3779);
  EXPECT_EQ(h.biYPelsPerMeter, 3779);
  EXPECT_EQ(h.biClrUsed, 0u);

  EXPECT_EQ(dpiToPixelsPerMeter(72), 2834);
  EXPECT_EQ(dpiToPixelsPerMeter(96), 3779);
  EXPECT_EQ(dpiToPixelsPerMeter(2147483647), 2147483647);  // saturates
  for (int32_t dpi : {1, 72, 96, 150, 300, 350, 600, 1200}) {
    h.biXPelsPerMeter = dpiToPixelsPerMeter(dpi);
    EXPECT_EQ(bmpInfoDpi(h), dpi);
  }
  h.biXPelsPerMeter = 2834;
  for (uint32_t size : {40u, 108u, 124u}) {
    h.biSize = size;
    EXPECT_EQ(bmpInfoDpi(h), 72);
  }
  h.biSize = 12;
  EXPECT_EQ(bmpInfoDpi(h), 0);

  uint8_t bytes[40];
  SBmpInfoHeader odd{40, -7, -9, 1, 32, 3, 123, -1, 5, 3, 2};
  writeBmpInfoHeader(odd, bytes);
  SBmpInfoHeader back = readBmpInfoHeader(bytes);
  EXPECT_EQ(std::memcmp(&back.biWidth, &odd.biWidth, 4), 0);
  EXPECT_EQ(back.biHeight, -9);
  EXPECT_EQ(back.biXPelsPerMeter, -1);
  EXPECT_EQ(back.biClrImportant, 2u);
  EXPECT_EQ(bytes[4], 0xF9);  // little-endian
}

// --------------------------------------------------------------- round trips

TEST(BmpFile, Save24ThenReadRoundTripsUpright) {
  TempFolder dir;
  for (int32_t w : {1, 3, 4, 7}) {
    for (int32_t h : {1, 2, 5}) {
      SCOPED_TRACE(::testing::Message() << w << "x" << h);
      TMTC src(w, h);
  fillRandom(src, static_cast<uint32_t>(w * 31 + h));
      const std::string name = dir.file("p.bmp");
      ASSERT_TRUE(saveBmp24(src, name, 96));
      std::vector<uint8_t> bytes = slurp(name);
      const int64_t stride = bmpStride24(w);
      ASSERT_EQ(static_cast<int64_t>(bytes.size()), 54 + stride * h);
      const SBmpFileHeader fh = readBmpFileHeader(bytes.data());
      EXPECT_EQ(fh.bfType, kBmpMagic);
      EXPECT_EQ(fh.bfSize, bytes.size());
      EXPECT_EQ(fh.bfOffBits, 54u);
      for (int32_t row = 0; row < h; ++row)  // padding bytes are zero
        for (int64_t pad = 3 * w; pad < stride; ++pad) EXPECT_EQ(bytes[54 + row * stride + pad], 0);

      TMTC back;
      int32_t dpi = 0;
      auto file = CFileStream::open(name, CFileStream::Mode::Read);
      ASSERT_TRUE(file);
      ASSERT_TRUE(readBmp(back, *file, &dpi));
      EXPECT_EQ(dpi, 96);
      ASSERT_EQ(back.Width, w);
      ASSERT_EQ(back.Height, h);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
          ASSERT_EQ(back.getPixel(x, y), (src.getPixel(x, y) & 0xFFFFFF) | 0xFF000000u) << x << "," << y;
    }
  }
}

TEST(BmpFile, OnePixelFileIs58Bytes) {
  TempFolder dir;
  TMTC plane(1, 1);
  *plane.pixelAt(0, 0) = 0x11223344;
  ASSERT_TRUE(saveBmp24(plane, dir.file("one.bmp"), 72));
  std::vector<uint8_t> bytes = slurp(dir.file("one.bmp"));
  const std::vector<uint8_t> want = {
      'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
      40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,  // info header: size, width, height, planes, bits
      0, 0, 0, 0, 4, 0, 0, 0,                            // compression, image bytes
      0x12, 0x0B, 0, 0, 0x12, 0x0B, 0, 0,                // 72 dpi as pixels a metre
      0, 0, 0, 0, 0, 0, 0, 0,                            //
      0x44, 0x33, 0x22, 0,                               // the pixel, padded to 4
  };
  EXPECT_EQ(bytes, want);
}

TEST(BmpFile, ThirtyTwoBitDibsRoundTripWithAlpha) {
  TMTC src(6, 4);
  fillRandom(src, 7);
  SBmpInfoHeader h;
  std::vector<uint8_t> bits;
  ASSERT_TRUE(exportDib32Rect(src, 72, SRectXYWH{0, 0, 6, 4}, bits, h));
  ASSERT_EQ(bits.size(), 6u * 4 * 4);
  // The bottom row comes first.
  EXPECT_EQ(std::memcmp(bits.data(), src.pixelAt(0, 3), 24), 0);

  std::vector<uint8_t> dib(40);
  writeBmpInfoHeader(h, dib.data());
  dib.insert(dib.end(), bits.begin(), bits.end());
  TMTC fresh;
  ASSERT_TRUE(readDibBlock(fresh, dib.data(), static_cast<int64_t>(dib.size())));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(fresh.getPixel(x, y), src.getPixel(x, y));

  // The same rows in a BMP file held in memory.
  std::vector<uint8_t> file(14);
  SBmpFileHeader fh;
  fh.bfSize = static_cast<uint32_t>(14 + dib.size());
  fh.bfOffBits = 54;
  writeBmpFileHeader(fh, file.data());
  file.insert(file.end(), dib.begin(), dib.end());
  TMTC fromFile;
  ASSERT_TRUE(readBmpFromMemory(fromFile, file.data(), static_cast<int64_t>(file.size())));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(fromFile.getPixel(x, y), src.getPixel(x, y));
}

TEST(BmpFile, TwentyFourBitDibOfTheWholePlane) {
  TMTC src(5, 3);
  fillRandom(src, 11);
  SBmpInfoHeader h;
  std::vector<uint8_t> bits;
  ASSERT_TRUE(exportDib24(src, 300, h, bits));
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biSizeImage, 16u * 3);
  ASSERT_EQ(bits.size(), 16u * 3);
  EXPECT_EQ(bits[15], 0);  // padding
  std::vector<uint8_t> dib(40);
  writeBmpInfoHeader(h, dib.data());
  dib.insert(dib.end(), bits.begin(), bits.end());
  TMTC back;
  int32_t dpi = 0;
  ASSERT_TRUE(readDibBlock(back, dib.data(), static_cast<int64_t>(dib.size()), &dpi));
  EXPECT_EQ(dpi, 300);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) ASSERT_EQ(back.getPixel(x, y), src.getPixel(x, y) | 0xFF000000u);

  TMTC empty;
  EXPECT_FALSE(exportDib24(empty, 72, h, bits));
  EXPECT_TRUE(bits.empty());
}

TEST(BmpFile, ExportedRectanglesAreClipped) {
  TMTC src(4, 4);
  fillRandom(src, 3);
  SBmpInfoHeader h;
  std::vector<uint8_t> bits;
  ASSERT_TRUE(exportDib32Rect(src, 72, SRectXYWH{2, -1, 5, 2}, bits, h));
  EXPECT_EQ(h.biWidth, 2);
  EXPECT_EQ(h.biHeight, 1);
  ASSERT_EQ(bits.size(), 8u);
  EXPECT_EQ(std::memcmp(bits.data(), src.pixelAt(2, 0), 8), 0);
  EXPECT_FALSE(exportDib32Rect(src, 72, SRectXYWH{4, 0, 3, 3}, bits, h));
  EXPECT_TRUE(bits.empty());
}

TEST(BmpFile, BottomUpAndTopDownPicturesArriveUpright) {
  for (int bits : {24, 32}) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(::testing::Message() << bits << (topDown ? " top-down" : " bottom-up"));
      BmpBuilder b(3, 4, bits, topDown);
      std::vector<uint8_t> file = b.fileBytes();
      TMTC plane;
      ASSERT_TRUE(readBmpFromMemory(plane, file.data(), static_cast<int64_t>(file.size())));
      expectBuilderPicture(plane, 3, 4, bits, topDown);
      std::vector<uint8_t> dib = b.dibBytes();
      TMTC fromDib;
      ASSERT_TRUE(readDibBlock(fromDib, dib.data(), static_cast<int64_t>(dib.size())));
      expectBuilderPicture(fromDib, 3, 4, bits, topDown);
    }
  }
}

TEST(BmpFile, PixelOffsetAndPlainBitFieldsAreHonoured) {
  {  // a gap before the pixels, which the pixel offset skips
    BmpBuilder b(2, 2, 32);
    b.gap.assign(10, 0xEE);
    std::vector<uint8_t> file = b.fileBytes();
    TMTC plane;
    ASSERT_TRUE(readBmpFromMemory(plane, file.data(), static_cast<int64_t>(file.size())));
    expectBuilderPicture(plane, 2, 2, 32, false);
  }
  {  // an offset inside the headers: the pixels follow the headers
    BmpBuilder b(2, 2, 24);
    b.fh.bfOffBits = 20;
    std::vector<uint8_t> file = b.fileBytes();
    TMTC plane;
    ASSERT_TRUE(readBmpFromMemory(plane, file.data(), static_cast<int64_t>(file.size())));
    expectBuilderPicture(plane, 2, 2, 24, false);
  }
  {  // BI_BITFIELDS with biClrUsed 3 and the plain masks
    BmpBuilder b(2, 3, 32);
    b.ih.biCompression = kBiBitFields;
    b.ih.biClrUsed = 3;
    b.masks = le32s({0x00FF0000, 0x0000FF00, 0x000000FF});
    std::vector<uint8_t> file = b.fileBytes();
    TMTC plane;
    ASSERT_TRUE(readBmpFromMemory(plane, file.data(), static_cast<int64_t>(file.size())));
    expectBuilderPicture(plane, 2, 3, 32, false);
    // In a DIB the masks follow the header whatever biClrUsed says.
    b.ih.biClrUsed = 0;
    std::vector<uint8_t> dib = b.dibBytes();
    TMTC fromDib;
    ASSERT_TRUE(readDibBlock(fromDib, dib.data(), static_cast<int64_t>(dib.size())));
    expectBuilderPicture(fromDib, 2, 3, 32, false);
  }
  {  // a DIB with a colour table before its rows
    BmpBuilder b(2, 2, 24);
    b.ih.biClrUsed = 2;
    b.gap.assign(8, 0x55);
    std::vector<uint8_t> dib = b.dibBytes();
    TMTC plane;
    ASSERT_TRUE(readDibBlock(plane, dib.data(), static_cast<int64_t>(dib.size())));
    expectBuilderPicture(plane, 2, 2, 24, false);
  }
}

// ------------------------------------------------------------------ refusals

TEST(BmpFile, RefusedAndHostileHeaders) {
  struct Case {
    const char* what;
    void (*edit)(BmpBuilder&);
    int32_t dpi;        // what the reader reports (-1: left as it was)
    bool dibRefusedToo;  // the same header is refused in a DIB block
  };
  const Case cases[] = {
      {"not BM", [](BmpBuilder& b) { b.fh.bfType = 0x4D42 + 1; }, -1, false},
      {"8 bits", [](BmpBuilder& b) { b.ih.biBitCount = 8; }, 72, true},
      {"16 bits", [](BmpBuilder& b) { b.ih.biBitCount = 16; }, 72, true},
      {"RLE", [](BmpBuilder& b) { b.ih.biCompression = 1; }, 72, true},
      {"JPEG inside", [](BmpBuilder& b) { b.ih.biCompression = 4; }, 72, true},
      {"header of 108", [](BmpBuilder& b) { b.ih.biSize = 108; }, 72, true},
      {"header of 12", [](BmpBuilder& b) { b.ih.biSize = 12; }, 0, true},
      {"bit fields, biClrUsed 0",
       [](BmpBuilder& b) {
         b.ih.biCompression = kBiBitFields;
         b.masks = le32s({0xFF0000, 0xFF00, 0xFF});
       },
       72, false},  // in a DIB the masks follow the header whatever biClrUsed says
      {"bit fields, swapped masks",
       [](BmpBuilder& b) {
         b.ih.biCompression = kBiBitFields;
         b.ih.biClrUsed = 3;
         b.masks = le32s({0xFF, 0xFF00, 0xFF0000});
       },
       72, true},
      {"bit fields, masks cut off",
       [](BmpBuilder& b) {
         b.ih.biCompression = kBiBitFields;
         b.ih.biClrUsed = 3;
         b.rows.clear();
         b.masks = le32s({0xFF0000, 0xFF00});
       },
       72, true},
      {"width 0", [](BmpBuilder& b) { b.ih.biWidth = 0; }, 72, true},
      {"negative width", [](BmpBuilder& b) { b.ih.biWidth = -4; }, 72, true},
      {"height 0", [](BmpBuilder& b) { b.ih.biHeight = 0; }, 72, true},
      {"width past the limit", [](BmpBuilder& b) { b.ih.biWidth = 10001; }, 72, true},
      {"height past the limit", [](BmpBuilder& b) { b.ih.biHeight = -10001; }, 72, true},
      {"most negative height", [](BmpBuilder& b) { b.ih.biHeight = INT32_MIN; }, 72, true},
      {"largest width", [](BmpBuilder& b) { b.ih.biWidth = INT32_MAX; }, 72, true},
      {"10000 x 10000 without the pixels",
       [](BmpBuilder& b) {
         b.ih.biWidth = 10000;
         b.ih.biHeight = 10000;
       },
       72, true},
      {"pixel offset past the end", [](BmpBuilder& b) { b.fh.bfOffBits = 0xFFFFFFF0u; }, 72, false},
      {"pixel offset leaving too few rows", [](BmpBuilder& b) { b.fh.bfOffBits = 60; }, 72, false},
      {"last row short", [](BmpBuilder& b) { b.rows.pop_back(); }, 72, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BmpBuilder b(3, 2, 32);
    b.ih.biXPelsPerMeter = 2834;
    c.edit(b);
    std::vector<uint8_t> file = b.fileBytes();
    TMTC plane(2, 2);
    int32_t dpi = -1;
    EXPECT_FALSE(readBmpFromMemory(plane, file.data(), static_cast<int64_t>(file.size()), &dpi));
    EXPECT_EQ(dpi, c.dpi);
    // Refused before the plane was touched.
    EXPECT_EQ(plane.Width, 2);
    EXPECT_EQ(plane.Height, 2);
    if (c.dibRefusedToo) {
      std::vector<uint8_t> dib = b.dibBytes();
      EXPECT_FALSE(readDibBlock(plane, dib.data(), static_cast<int64_t>(dib.size())));
    }
  }
}

TEST(BmpFile, EveryCutOfAValidFileIsRefused) {
  for (int bits : {24, 32}) {
    BmpBuilder b(3, 3, bits);
    std::vector<uint8_t> file = b.fileBytes();
    std::vector<uint8_t> dib = b.dibBytes();
    TMTC plane;
    for (size_t n = 0; n < file.size(); ++n) {
      std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_FALSE(readBmpFromMemory(plane, cut.data(), static_cast<int64_t>(cut.size()))) << bits << " " << n;
    }
    for (size_t n = 0; n < dib.size(); ++n) {
      std::vector<uint8_t> cut(dib.begin(), dib.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_FALSE(readDibBlock(plane, cut.data(), static_cast<int64_t>(cut.size()))) << bits << " " << n;
    }
    EXPECT_TRUE(readBmpFromMemory(plane, file.data(), static_cast<int64_t>(file.size())));
    EXPECT_TRUE(readDibBlock(plane, dib.data(), static_cast<int64_t>(dib.size())));
  }
  TMTC plane;
  EXPECT_FALSE(readBmpFromMemory(plane, nullptr, 100));
  EXPECT_FALSE(readDibBlock(plane, nullptr, 100));
}

TEST(BmpFile, FailedSavesLeaveNoFileBehind) {
  TempFolder dir;
  TMTC plane(2, 2);
  fillRandom(plane, 1);
  EXPECT_FALSE(saveBmp24(plane, dir.file("missing/x.bmp"), 72));
  TMTC empty;
  EXPECT_FALSE(saveBmp24(empty, dir.file("e.bmp"), 72));
  EXPECT_FALSE(fs::exists(dir.file("e.bmp")));
  std::ofstream(dir.file("old.bmp")) << "old";
  ASSERT_TRUE(saveBmp24(plane, dir.file("old.bmp"), 72));
  EXPECT_EQ(slurp(dir.file("old.bmp")).size(), 54u + 8 * 2);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("")), {}), 1);
}

}  // namespace
}  // namespace pg
