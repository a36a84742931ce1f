// Picture files: lossless round trips of BMP and PNG, JPEG within its
// quality with the resolution kept, PSD merged pictures in every supported
// form, and hostile files refused with their codes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>

#include "core/chunk_head.h"
#include "io/image_codecs.h"
#include "../test_support/plane_pixels.h"
#include "../test_support/temp_folder.h"

namespace pg {
namespace image_codecs_test {

using testing::TempFolder;

void fillRandomPixels(TMTC& p, uint32_t seed, bool opaque) {
  testing::fillRandom(p, seed);
  if (opaque) testing::fillWith(p, [&p](int32_t x, int32_t y) { return *p.pixelAt(x, y) | 0xFF000000u; });
}

// Opaque pixels of a smooth picture, so that JPEG keeps them near.
void fillSmooth(TMTC& p) {
  testing::fillWith(p, [](int32_t x, int32_t y) {
    return 0xFF000000u | (uint32_t(x * 3 & 255) << 16) | (uint32_t(y * 2 & 255) << 8) | uint32_t((x + y) & 255);
  });
}

bool samePixels(const TMTC& a, const TMTC& b, uint32_t mask = 0xFFFFFFFFu) {
  if (a.Width != b.Width || a.Height != b.Height) return false;
  for (int32_t y = 0; y < a.Height; ++y)
    for (int32_t x = 0; x < a.Width; ++x)
      if ((a.getPixel(x, y) & mask) != (b.getPixel(x, y) & mask)) return false;
  return true;
}

int maxChannelDifference(const TMTC& a, const TMTC& b) {
  int worst = 0;
  for (int32_t y = 0; y < a.Height; ++y)
    for (int32_t x = 0; x < a.Width; ++x)
      for (int s = 0; s < 24; s += 8)
        worst = std::max(worst, std::abs(int((a.getPixel(x, y) >> s) & 255) - int((b.getPixel(x, y) >> s) & 255)));
  return worst;
}

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_EQ(readWholeFile(path, bytes), kRcOk);
  return bytes;
}

TEST(ImageCodecs, LosslessKindsRoundTripPixelsAndResolution) {
  TempFolder dir;
  struct Case {
    const char* name;
    bool alpha;
    FileResult (*save)(const std::string&, const TMTC&, int32_t, bool);
  };
  const Case cases[] = {{"a.png", true, pngSaveImage},
                        {"b.png", false, pngSaveImage},
                        {"c.bmp", true, bmpSaveImage},
                        {"d.bmp", false, bmpSaveImage}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMTC src(37, 23);
    fillRandomPixels(src, 7, !c.alpha);
    ASSERT_EQ(c.save(dir.file(c.name), src, 150, c.alpha), kRcOk);
    int32_t dpi = 0;
    FileResult code = FileResult(99);
    std::unique_ptr<TMTC> back = loadImageFile(dir.file(c.name), dpi, &code);
    ASSERT_TRUE(back) << code;
    EXPECT_EQ(code, kRcOk);
    EXPECT_TRUE(samePixels(src, *back, c.alpha ? 0xFFFFFFFFu : 0x00FFFFFFu));
    if (!c.alpha) {
      EXPECT_EQ(back->getPixel(0, 0) >> 24, 255u);
    }
    EXPECT_EQ(dpi, 150);
  }
}

TEST(ImageCodecs, JpegKeepsQualityResolutionAndOptions) {
  TempFolder dir;
  TMTC src(64, 48);
  fillSmooth(src);
  struct Case {
    SJpegSaveOptions options;
    int tolerance;
  };
  const Case cases[] = {{{100, 0, false, false}, 6}, {{75, 0, true, false}, 24}, {{90, 30, false, false}, 40}};
  size_t previousSize = 0;
  for (const Case& c : cases) {
    const std::string path = dir.file("x.jpg");
    ASSERT_EQ(jpegSaveImage(path, src, 300, c.options), kRcOk);
    const std::vector<uint8_t> bytes = fileBytes(path);
    int32_t dpi = 0;
    TMTC back;
    ASSERT_EQ(decodeJpeg(bytes.data(), bytes.size(), back, dpi), kRcOk);
    EXPECT_EQ(dpi, 300);
    EXPECT_LE(maxChannelDifference(src, back), c.tolerance) << c.options.quality;
    EXPECT_EQ(back.getPixel(5, 5) >> 24, 255u);
    // The progressive flag puts a progressive frame marker (SOF2) in the file.
    bool sof2 = false;
    for (size_t i = 0; i + 1 < bytes.size(); ++i) sof2 = sof2 || (bytes[i] == 0xFF && bytes[i + 1] == 0xC2);
    EXPECT_EQ(sof2, c.options.progressive);
    EXPECT_NE(bytes.size(), previousSize);
    previousSize = bytes.size();
  }
  // Greyscale: every pixel grey.
  SJpegSaveOptions grey;
  grey.greyscale = true;
  const std::vector<uint8_t> bytes = encodeJpeg(src, 72, grey);
  TMTC back;
  int32_t dpi = 0;
  ASSERT_EQ(decodeJpeg(bytes.data(), bytes.size(), back, dpi), kRcOk);
  const uint32_t p = back.getPixel(10, 10);
  EXPECT_EQ(p & 255, (p >> 8) & 255);
  EXPECT_EQ(p & 255, (p >> 16) & 255);
}

// A PSD file: grey or RGB, raw or PackBits, with the given channels of
// 8 bits, and a ResolutionInfo resource.
std::vector<uint8_t> makePsd(uint32_t w, uint32_t h, uint16_t mode, uint16_t channels, bool rle,
                             const std::vector<std::vector<uint8_t>>& planes, uint16_t dpi = 144) {
  std::vector<uint8_t> b;
  auto be16 = [&b](uint32_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
  };
  auto be32 = [&](uint32_t v) {
    be16(v >> 16);
    be16(v & 0xFFFF);
  };
  b.insert(b.end(), {'8', 'B', 'P', 'S'});
  be16(1);
  b.insert(b.end(), 6, 0);
  be16(channels);
  be32(h);
  be32(w);
  be16(8);
  be16(mode);
  be32(0);  // colour mode data
  be32(28);  // resources: one ResolutionInfo of 16 bytes
  b.insert(b.end(), {'8', 'B', 'I', 'M'});
  be16(0x03ED);
  be16(0);  // empty name, padded
  be32(16);
  be32(uint32_t{dpi} << 16);
  be16(1);
  be16(1);
  be32(uint32_t{dpi} << 16);
  be16(1);
  be16(1);
  be32(0);  // layers
  be16(rle ? 1 : 0);
  if (!rle) {
    for (const auto& p : planes) b.insert(b.end(), p.begin(), p.end());
    return b;
  }
  // Each row as literal runs of up to 128 bytes.
  std::vector<std::vector<uint8_t>> packed;
  for (const auto& p : planes)
    for (uint32_t y = 0; y < h; ++y) {
      std::vector<uint8_t> row;
      for (uint32_t x = 0; x < w; x += 128) {
        const uint32_t n = std::min(128u, w - x);
        row.push_back(uint8_t(n - 1));
        row.insert(row.end(), p.begin() + y * w + x, p.begin() + y * w + x + n);
      }
      packed.push_back(row);
    }
  for (const auto& row : packed) be16(uint32_t(row.size()));
  for (const auto& row : packed) b.insert(b.end(), row.begin(), row.end());
  return b;
}

TEST(ImageCodecs, PsdMergedPictureInEveryForm) {
  const uint32_t w = 150, h = 3;
  std::vector<std::vector<uint8_t>> planes(4, std::vector<uint8_t>(w * h));
  for (size_t c = 0; c < 4; ++c)
    for (size_t i = 0; i < w * h; ++i) planes[c][i] = uint8_t(i * (c + 1) + c);
  struct Case {
    uint16_t mode, channels;
    bool rle;
  };
  for (const Case c : {Case{3, 3, false}, Case{3, 4, true}, Case{3, 4, false}, Case{1, 1, true}, Case{1, 2, false}}) {
    SCOPED_TRACE(::testing::Message() << c.mode << "/" << c.channels << "/" << c.rle);
    const std::vector<uint8_t> file =
        makePsd(w, h, c.mode, c.channels, c.rle, {planes.begin(), planes.begin() + c.channels});
    TMTC out;
    int32_t dpi = 0;
    ASSERT_EQ(decodePsd(file.data(), file.size(), out, dpi), kRcOk);
    EXPECT_EQ(dpi, 144);
    ASSERT_EQ(out.Width, int32_t(w));
    ASSERT_EQ(out.Height, int32_t(h));
    for (uint32_t i : {0u, 131u, w * h - 1}) {
      const uint32_t p = out.getPixel(int32_t(i % w), int32_t(i / w));
      const bool grey = c.mode == 1;
      EXPECT_EQ((p >> 16) & 255, planes[0][i]);
      EXPECT_EQ((p >> 8) & 255, grey ? planes[0][i] : planes[1][i]);
      EXPECT_EQ(p & 255, grey ? planes[0][i] : planes[2][i]);
      const bool alpha = c.channels == (grey ? 2 : 4);
      EXPECT_EQ(p >> 24, alpha ? planes[grey ? 1 : 3][i] : 255u);
    }
  }
}

TEST(ImageCodecs, HostileFilesAreRefusedWithTheirCodes) {
  TMTC src(20, 10);
  fillSmooth(src);
  const std::vector<uint8_t> png = encodePng(src, 0, true);
  const std::vector<uint8_t> jpg = encodeJpeg(src, 0, {});
  std::vector<uint8_t> bigPng = png;
  bigPng[16] = 0x00, bigPng[17] = 0x01, bigPng[18] = 0x86, bigPng[19] = 0xA0;  // width 100,000
  std::vector<uint8_t> bigJpg = jpg;
  for (size_t i = 0; i + 8 < bigJpg.size(); ++i)
    if (bigJpg[i] == 0xFF && bigJpg[i + 1] == 0xC0) {  // SOF0: height at +5, width at +7
      bigJpg[i + 5] = 0x75, bigJpg[i + 6] = 0x30;  // 30,000
      break;
    }
  std::vector<uint8_t> bmp;
  {
    TempFolder dir;
    ASSERT_EQ(bmpSaveImage(dir.file("a.bmp"), src, 0, false), kRcOk);
    bmp = fileBytes(dir.file("a.bmp"));
  }
  std::vector<uint8_t> bigBmp = bmp;
  bigBmp[18 + 2] = 0x10;  // width 20 + 0x100000
  const std::vector<uint8_t> psd = makePsd(4, 4, 3, 3, true, std::vector<std::vector<uint8_t>>(3, std::vector<uint8_t>(16)));
  std::vector<uint8_t> bigPsd = makePsd(1, 1, 3, 3, false, std::vector<std::vector<uint8_t>>(3, std::vector<uint8_t>(1)));
  const uint8_t hw[8] = {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0};  // 100,000 x 100,000
  std::memcpy(bigPsd.data() + 14, hw, 8);
  std::vector<uint8_t> psd16 = psd;
  psd16[23] = 16;
  std::vector<uint8_t> psdBadRle = psd;
  psdBadRle.back() = 0x7F;  // a literal run past the row
  psdBadRle[psdBadRle.size() - 5] = 0x7F;

  using Decode = FileResult (*)(const uint8_t*, size_t, TMTC&, int32_t&);
  struct Case {
    const char* what;
    Decode decode;
    std::vector<uint8_t> bytes;
    FileResult code;
  };
  const auto cut = [](const std::vector<uint8_t>& v, size_t n) { return std::vector<uint8_t>(v.begin(), v.begin() + n); };
  const Case cases[] = {
      {"png truncated", decodePng, cut(png, png.size() / 2), kRcShortRead},
      {"png header only", decodePng, cut(png, 20), kRcShortRead},
      {"png 100,000 wide", decodePng, bigPng, kRcTooLarge},
      {"png bad signature", decodePng, jpg, kRcWrongTag},
      {"jpeg truncated", decodeJpeg, cut(jpg, jpg.size() / 2), kRcShortRead},
      {"jpeg 30,000 high", decodeJpeg, bigJpg, kRcTooLarge},
      {"jpeg bad signature", decodeJpeg, png, kRcWrongTag},
      {"bmp truncated", decodeBmp, cut(bmp, bmp.size() - 7), kRcShortRead},
      {"bmp huge", decodeBmp, bigBmp, kRcTooLarge},
      {"bmp bad signature", decodeBmp, png, kRcWrongTag},
      {"psd 100,000 square", decodePsd, bigPsd, kRcTooLarge},
      {"psd truncated", decodePsd, cut(psd, psd.size() - 3), kRcShortRead},
      {"psd 16 bits", decodePsd, psd16, kRcVersion},
      {"psd bad run", decodePsd, psdBadRle, kRcShortRead},
      {"psd bad signature", decodePsd, png, kRcWrongTag},
      {"empty", decodePsd, {}, kRcWrongTag},
  };
  for (const Case& c : cases) {
    TMTC out;
    int32_t dpi = 0;
    EXPECT_EQ(c.decode(c.bytes.data(), c.bytes.size(), out, dpi), c.code) << c.what;
    EXPECT_LE(int64_t{out.Width} * out.Height, 10000 * 10000) << c.what;
  }
}

// A PNG of w x h RGBA pixels (R = 8x, G = 8y, B = x + y) whose compressed
// data runs on past the last row: the rows in stored deflate blocks that
// never end, then a second IDAT that claims 100,000 bytes and is cut short.
std::vector<uint8_t> pngRunningOn(uint32_t w, uint32_t h, bool interlaced) {
  const auto crc = [](const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
      c ^= p[i];
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
  };
  std::vector<uint8_t> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const auto be32 = [&b](uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(uint8_t(v >> s));
  };
  const auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
    be32(uint32_t(data.size()));
    const size_t start = b.size();
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), data.begin(), data.end());
    be32(crc(b.data() + start, b.size() - start));
  };
  std::vector<uint8_t> ihdr;
  for (uint32_t v : {w, h})
    for (int s = 24; s >= 0; s -= 8) ihdr.push_back(uint8_t(v >> s));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, uint8_t(interlaced ? 1 : 0)});
  chunk("IHDR", ihdr);
  // Rows with filter 0, pass by pass for an interlaced image.
  struct Pass { uint32_t x0, y0, dx, dy; };
  const std::vector<Pass> passes = interlaced ? std::vector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                                                  {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
                                              : std::vector<Pass>{{0, 0, 1, 1}};
  std::vector<uint8_t> raw;
  for (const Pass& p : passes) {
    if (p.x0 >= w) continue;
    for (uint32_t y = p.y0; y < h; y += p.dy) {
      raw.push_back(0);
      for (uint32_t x = p.x0; x < w; x += p.dx) raw.insert(raw.end(), {uint8_t(x * 8), uint8_t(y * 8), uint8_t(x + y), 255});
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01, 0x00, uint8_t(raw.size()), uint8_t(raw.size() >> 8),
                            uint8_t(~raw.size()), uint8_t(~raw.size() >> 8)};
  z.insert(z.end(), raw.begin(), raw.end());
  chunk("IDAT", z);
  be32(100000);
  b.insert(b.end(), {'I', 'D', 'A', 'T', 0x00, 0xFF, 0xFF, 0x00, 0x00});
  b.insert(b.end(), 100, 0x5A);
  return b;
}

TEST(ImageCodecs, PngReadingStopsAtTheLastRow) {
  for (bool interlaced : {false, true}) {
    constexpr uint32_t w = 13, h = 11;
    const std::vector<uint8_t> file = pngRunningOn(w, h, interlaced);
    TMTC out;
    int32_t dpi = 0;
    ASSERT_EQ(decodePng(file.data(), file.size(), out, dpi), kRcOk) << interlaced;
    ASSERT_EQ(out.Width, int32_t(w));
    ASSERT_EQ(out.Height, int32_t(h));
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x)
        ASSERT_EQ(out.getPixel(int32_t(x), int32_t(y)), 0xFF000000u | (x * 8) << 16 | (y * 8) << 8 | (x + y))
            << interlaced << " " << x << "," << y;
    // Cut inside the rows, it is still refused.
    const std::vector<uint8_t> cut(file.begin(), file.begin() + 33 + 8 + 60);
    EXPECT_EQ(decodePng(cut.data(), cut.size(), out, dpi), kRcShortRead) << interlaced;
  }
}

TEST(ImageCodecs, JpegSizesAndScansTheBytesCannotCarryAreRefused) {
  TMTC src(16, 16);
  fillSmooth(src);
  SJpegSaveOptions progressive;
  progressive.progressive = true;
  const std::vector<uint8_t> jpg = encodeJpeg(src, 0, {});
  const std::vector<uint8_t> prog = encodeJpeg(src, 0, progressive);
  ASSERT_FALSE(jpg.empty());
  ASSERT_FALSE(prog.empty());
  // A baseline picture claiming 4,000 x 4,000 from a few hundred bytes.
  std::vector<uint8_t> claimed = jpg;
  for (size_t i = 0; i + 8 < claimed.size(); ++i)
    if (claimed[i] == 0xFF && claimed[i + 1] == 0xC0) {
      claimed[i + 5] = 0x0F, claimed[i + 6] = 0xA0, claimed[i + 7] = 0x0F, claimed[i + 8] = 0xA0;
      break;
    }
  // The last scan of the progressive picture repeated.
  const auto repeatLastScan = [&prog](int times) {
    size_t last = 0;
    for (size_t i = 0; i + 1 < prog.size(); ++i)
      if (prog[i] == 0xFF && prog[i + 1] == 0xDA) last = i;
    std::vector<uint8_t> b(prog.begin(), prog.end() - 2);  // without the end marker
    for (int k = 0; k < times; ++k) b.insert(b.end(), prog.begin() + long(last), prog.end() - 2);
    b.insert(b.end(), {0xFF, 0xD9});
    return b;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    FileResult code;
  };
  const Case cases[] = {
      {"baseline", jpg, kRcOk},
      {"progressive", prog, kRcOk},
      {"size beyond the bytes", claimed, kRcShortRead},
      {"a few scans more", repeatLastScan(20), kRcOk},
      {"scans past the limit", repeatLastScan(600), kRcShortRead},
      // Arithmetic coding may spend far less than a bit a block, so no size
      // is refused from the header alone; the scans of a progressive one are
      // read before the picture is made, into memory the bytes can describe.
      {"arithmetic progressive, 9,724 x 8,196 from 31 bytes",
       {0xFF, 0xD8, 0xFF, 0xCA, 0x00, 0x11, 0x08, 0x20, 0x04, 0x25, 0xFC, 0x03, 0x01, 0x22, 0x00, 0x02,
        0x11, 0x01, 0x03, 0x11, 0x00, 0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x01, 0x02, 0xE1, 0x03},
       kRcShortRead},
  };
  for (const Case& c : cases) {
    TMTC out;
    int32_t dpi = 0;
    EXPECT_EQ(decodeJpeg(c.bytes.data(), c.bytes.size(), out, dpi), c.code) << c.what;
    EXPECT_LE(int64_t{out.Width} * out.Height, 16 * 16) << c.what;
  }
}

TEST(ImageCodecs, PsdRowsTooShortForTheWidthAreRefusedBeforeThePlane) {
  // 2000 x 500 grey whose PackBits rows are two bytes each: one run of 128.
  constexpr uint32_t w = 2000, h = 500;
  std::vector<uint8_t> psd = makePsd(w, h, 1, 1, false, {});
  psd.back() = 1;  // PackBits
  for (uint32_t y = 0; y < h; ++y) psd.insert(psd.end(), {0, 2});
  for (uint32_t y = 0; y < h; ++y) psd.insert(psd.end(), {0x81, 0x40});
  TMTC out;
  int32_t dpi = 0;
  EXPECT_EQ(decodePsd(psd.data(), psd.size(), out, dpi), kRcShortRead);
  EXPECT_EQ(int64_t{out.Width} * out.Height, 0);
}

TEST(ImageCodecs, LoadImageFileChoosesByExtensionAndReportsFiles) {
  TempFolder dir;
  TMTC src(8, 8);
  fillSmooth(src);
  ASSERT_EQ(pngSaveImage(dir.file("p.png"), src, 0, true), kRcOk);
  std::filesystem::copy_file(dir.file("p.png"), dir.file("p.bmp"));
  std::filesystem::copy_file(dir.file("p.png"), dir.file("p.txt"));
  int32_t dpi = 0;
  FileResult code = kRcOk;
  EXPECT_TRUE(loadImageFile(dir.file("p.png"), dpi, &code));
  EXPECT_FALSE(loadImageFile(dir.file("p.bmp"), dpi, &code));  // PNG bytes under a BMP name
  EXPECT_EQ(code, kRcWrongTag);
  EXPECT_FALSE(loadImageFile(dir.file("p.txt"), dpi, &code));
  EXPECT_FALSE(loadImageFile(dir.file("none.png"), dpi, &code));
  EXPECT_EQ(code, kRcFileMissing);
  EXPECT_FALSE(loadPsdImage(dir.file("p.png"), dpi, &code));
}

TEST(ImageCodecs, FailedSaveLeavesTheOldFile) {
  TempFolder dir;
  TMTC src(8, 8);
  fillSmooth(src);
  const std::string path = dir.file("keep.png");
  ASSERT_EQ(pngSaveImage(path, src, 0, true), kRcOk);
  const std::vector<uint8_t> before = fileBytes(path);
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  TMTC other(16, 16);
  fillSmooth(other);
  const FileResult rc = pngSaveImage(path, other, 0, true);
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  if (::geteuid() != 0) {
    EXPECT_EQ(rc, kRcCannotCreate);
    EXPECT_EQ(fileBytes(path), before);
  }
  EXPECT_EQ(pngSaveImage(path, TMTC{}, 0, true), kRcNothing);
}

}  // namespace image_codecs_test
}  // namespace pg

namespace pg {
namespace image_codecs_test {

// Small pictures written by another program (ImageMagick): a 6 x 4 gradient
// from red at the top to blue at the bottom as palette PNG, JPEG, 24-bit BMP
// and RGB PSD, and a 5 x 3 half-transparent colour as PNG and PSD.
TEST(ImageCodecs, PicturesOfOtherProgramsOpen) {
  const std::string dir = std::string(PIGMORA_TEST_DATA) + "/pictures/";
  int32_t dpi = 0;
  FileResult code = kRcOk;
  std::unique_ptr<TMTC> reference = loadImageFile(dir + "made.png", dpi, &code);
  ASSERT_TRUE(reference) << code;
  EXPECT_EQ(dpi, 96);
  ASSERT_EQ(reference->Width, 6);
  ASSERT_EQ(reference->Height, 4);
  EXPECT_EQ(reference->getPixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(reference->getPixel(5, 3), 0xFF0000FFu);
  for (const char* name : {"made.jpg", "made.bmp", "made.psd"}) {
    std::unique_ptr<TMTC> other = loadImageFile(dir + name, dpi, &code);
    ASSERT_TRUE(other) << name << " " << code;
    ASSERT_EQ(other->Width, 6) << name;
    ASSERT_EQ(other->Height, 4) << name;
    EXPECT_LE(maxChannelDifference(*reference, *other), std::string(name) == "made.jpg" ? 24 : 0) << name;
    EXPECT_EQ(other->getPixel(2, 1) >> 24, 255u) << name;
  }
  for (const char* name : {"made_alpha.png", "made_alpha.psd"}) {
    std::unique_ptr<TMTC> p = loadImageFile(dir + name, dpi, &code);
    ASSERT_TRUE(p) << name << " " << code;
    EXPECT_EQ(p->getPixel(1, 1) & 0xFFFFFFu, 0x336699u) << name;
    EXPECT_NEAR(double(p->getPixel(1, 1) >> 24), 128.0, 1.0) << name;
  }
}

}  // namespace image_codecs_test
}  // namespace pg
