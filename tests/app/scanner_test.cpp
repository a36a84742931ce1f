// Scanning: frame conversion, the device choice and its messages, and a scan
// through SANE's test backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/dialog_texts.h"
#include "app/scanner.h"
#include "core/planes.h"
#include "platform/string_table.h"

namespace pg {
namespace scanner_test {

TEST(ScanFrames, LineSizesAreChecked) {
  struct Case {
    SScanFrame f;
    int64_t bytes;
  };
  const Case cases[] = {
      {{EScanFormat::Gray, true, 2, 9, 4, 1}, 2},        // 9 bits round up to 2 bytes
      {{EScanFormat::Gray, true, 1, 9, 4, 1}, 0},        // line too short
      {{EScanFormat::Rgb, true, 12, 2, 4, 16}, 12},
      {{EScanFormat::Rgb, true, 12, 2, 4, 1}, 0},        // no 1-bit colour
      {{EScanFormat::Gray, true, 8, 8, 4, 4}, 0},        // unknown depth
      {{EScanFormat::Gray, true, 10001, 10001, 4, 8}, 0},
      {{EScanFormat::Gray, true, 8, 8, 10001, 8}, 0},
      {{EScanFormat::Gray, true, 8, 8, -1, 8}, 8},       // unknown length: read to the end
      {{EScanFormat::Gray, true, 8, 8, 0, 8}, 0},
      {{EScanFormat::Gray, true, 8, 0, 4, 8}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(scanLineBytes(c.f), c.bytes) << c.f.pixelsPerLine << "/" << c.f.depth;
}

TEST(ScanFrames, ConvertsEveryFormat) {
  TMTC image(3, 2);
  // 1-bit grey with a padded line: a set bit is black.
  const uint8_t bits[] = {0xA0, 0xFF, 0x40, 0xFF};
  convertScanLines({EScanFormat::Gray, true, 2, 3, 2, 1}, bits, 0, 2, image);
  EXPECT_EQ(image.getPixel(0, 0), 0xFF000000u);
  EXPECT_EQ(image.getPixel(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image.getPixel(2, 0), 0xFF000000u);
  EXPECT_EQ(image.getPixel(1, 1), 0xFF000000u);
  // 16-bit colour takes the high byte of each sample.
  uint16_t rgb16[9] = {0x1234, 0x5678, 0x9ABC, 0, 0, 0, 0xFFFF, 0x0100, 0x00FF};
  uint8_t raw[18];
  std::memcpy(raw, rgb16, sizeof raw);
  convertScanLines({EScanFormat::Rgb, true, 18, 3, 1, 16}, raw, 1, 1, image);
  EXPECT_EQ(image.getPixel(0, 1), 0xFF12569Au);
  EXPECT_EQ(image.getPixel(2, 1), 0xFFFF0100u);
  // Three passes, one channel each.
  const uint8_t red[] = {10, 20, 30}, green[] = {40, 50, 60}, blue[] = {70, 80, 90};
  convertScanLines({EScanFormat::Red, false, 3, 3, 1, 8}, red, 0, 1, image);
  convertScanLines({EScanFormat::Green, false, 3, 3, 1, 8}, green, 0, 1, image);
  convertScanLines({EScanFormat::Blue, true, 3, 3, 1, 8}, blue, 0, 1, image);
  EXPECT_EQ(image.getPixel(0, 0), 0xFF0A2846u);
  EXPECT_EQ(image.getPixel(2, 0), 0xFF1E3C5Au);
  // Rows past the image are not written.
  convertScanLines({EScanFormat::Gray, true, 3, 3, 1, 8}, red, 2, 1, image);
}

class FakeSource : public IScanSource {
 public:
  bool startOk = true;
  std::vector<SDevice> list;
  int scans = 0;
  std::string scanned;
  bool start(std::string& message) override {
    if (!startOk) message = "no layer";
    return startOk;
  }
  std::vector<SDevice> devices() override { return list; }
  int32_t dpi = 0;
  std::unique_ptr<TMTC> scanPage(const std::string& device, const ScanSettingsFn&, int32_t& resolution,
                                 std::string&) override {
    ++scans;
    scanned = device;
    resolution = dpi;
    return std::make_unique<TMTC>(4, 5);
  }
};

TEST(ScanToImage, ChoiceCancelAndMessages) {
  int asked = 0;
  auto chooseSecond = [&](const std::vector<IScanSource::SDevice>&) { return ++asked, 1; };
  auto cancel = [&](const std::vector<IScanSource::SDevice>&) { return ++asked, -1; };

  FakeSource none;
  SScanResult r = scanToImage(none, chooseSecond);
  EXPECT_EQ(r.image, nullptr);
  EXPECT_EQ(r.message, resString(kResScanNoScanner));
  EXPECT_EQ(asked, 0);

  FakeSource broken;
  broken.startOk = false;
  EXPECT_EQ(scanToImage(broken, chooseSecond).message, "no layer");

  FakeSource one;
  one.list = {{"a", "A"}};
  r = scanToImage(one, chooseSecond);
  ASSERT_NE(r.image, nullptr);
  EXPECT_EQ(asked, 0);  // one device: nobody is asked
  EXPECT_TRUE(r.message.empty());

  FakeSource two;
  two.list = {{"a", "A"}, {"b", "B"}};
  r = scanToImage(two, cancel);
  EXPECT_EQ(r.image, nullptr);
  EXPECT_TRUE(r.message.empty());  // a cancel says nothing
  EXPECT_EQ(two.scans, 0);
  r = scanToImage(two, chooseSecond);
  EXPECT_EQ(two.scanned, "b");
  // The scan's resolution goes with the image; one the device does not
  // give, or a document cannot hold, is 72.
  for (auto [given, taken] : {std::pair{300, 300}, std::pair{0, 72}, std::pair{-5, 72}, std::pair{70000, 72}}) {
    one.dpi = given;
    EXPECT_EQ(scanToImage(one, chooseSecond).resolution, taken) << given;
  }
}

// SANE reads its configuration where SANE_CONFIG_DIR points.
class SaneFolder {
 public:
  explicit SaneFolder(const char* which) {
    const char* old = std::getenv("SANE_CONFIG_DIR");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("SANE_CONFIG_DIR", (std::string(PIGMORA_TEST_DATA) + "/sane/" + which).c_str(), 1);
  }
  ~SaneFolder() {
    if (had_)
      setenv("SANE_CONFIG_DIR", old_.c_str(), 1);
    else
      unsetenv("SANE_CONFIG_DIR");
  }

 private:
  bool had_ = false;
  std::string old_;
};

// SANE reads its configuration once a process: the case without a scanner
// runs in a child process of its own.
TEST(SaneScan, NoScannerIsSaid) {
  auto scanWithoutScanner = [] {
    SaneFolder folder("none");
    std::unique_ptr<IScanSource> source = makeSaneScanSource();
    SScanResult r = scanToImage(*source, [](const std::vector<IScanSource::SDevice>&) { return 0; });
    std::exit(r.image == nullptr && r.message == resString(kResScanNoScanner) ? 0 : 1);
  };
  // A fresh process that runs only this test: no SANE state of earlier tests.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(scanWithoutScanner(), ::testing::ExitedWithCode(0), "");
}

// In a child: SANE started over the test backend, which lists one device
// (the child ends with 2 or 3 when not).
std::unique_ptr<IScanSource> startTestBackend(std::string& message) {
  std::unique_ptr<IScanSource> source = makeSaneScanSource();
  if (!source->start(message)) std::_Exit(2);
  if (source->devices().empty()) std::_Exit(3);
  return source;
}

// The scan runs in a child process that ends with _Exit: SANE's test backend
// can leave its reader thread's buffer behind when a scan ends under load,
// which the leak checker would blame on this program. The child answers 0
// when every check holds, else the number of the failed check.
TEST(SaneScan, TestBackendGivesAnImageOfTheScannedSize) {
  auto scanTestPage = [] {
    SaneFolder folder("test");
    std::string message;
    std::unique_ptr<IScanSource> source = startTestBackend(message);
    const std::vector<IScanSource::SDevice> devices = source->devices();
    int32_t dpi = 0;
    std::unique_ptr<TMTC> image = source->scanPage(devices[0].name, {}, dpi, message);
    if (image == nullptr) std::_Exit(4);
    if (dpi != 100) std::_Exit(8);
    // The folder's test.conf: 50.8 x 25.4 mm at 100 dpi in colour, which the
    // backend scans as 199 x 99 pixels of its colour pattern.
    if (image->Width != 199 || image->Height != 99) std::_Exit(5);
    const uint32_t first = image->getPixel(0, 0);
    bool varied = false;
    for (int32_t y = 0; y < image->Height; y += 7)
      for (int32_t x = 0; x < image->Width; x += 7) {
        if (image->getPixel(x, y) >> 24 != 255u) std::_Exit(6);
        varied = varied || image->getPixel(x, y) != first;
      }
    std::_Exit(varied ? 0 : 7);
  };
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(scanTestPage(), ::testing::ExitedWithCode(0), "");
}

// The device's options reach the user, and the chosen mode, resolution and
// area reach the frames: grey at 50 dpi over the right half of the area.
TEST(SaneScan, TheChosenModeResolutionAndAreaReachTheFrames) {
  auto scanWithOptions = [] {
    SaneFolder folder("test");
    std::string message;
    std::unique_ptr<IScanSource> source = startTestBackend(message);
    const std::vector<IScanSource::SDevice> devices = source->devices();
    SScanOptions shown;
    int32_t dpi = 0;
    std::unique_ptr<TMTC> image = source->scanPage(
        devices[0].name,
        [&shown](SScanOptions& o) {
          shown = o;
          o.mode = "Gray";
          o.resolution = 50;
          o.left = 25.4;
          return true;
        },
        dpi, message);
    // What the folder's test.conf sets, and what the backend offers.
    if (shown.mode != "Color" || shown.resolution != 100) std::_Exit(4);
    if (std::find(shown.modes.begin(), shown.modes.end(), "Gray") == shown.modes.end()) std::_Exit(5);
    if (shown.resolutionMax < 600 || !shown.hasArea || shown.right < 50.7 || shown.bottom < 25.3) std::_Exit(6);
    if (image == nullptr || dpi != 50) std::_Exit(7);
    // The right half of 2 x 1 inches, 1 x 1 inch, at 50 dpi, in grey.
    if (std::abs(image->Width - 50) > 1 || std::abs(image->Height - 50) > 1) std::_Exit(8);
    for (int32_t y = 0; y < image->Height; y += 3)
      for (int32_t x = 0; x < image->Width; x += 3) {
        const uint32_t p = image->getPixel(x, y);
        if (((p >> 16) & 0xFF) != (p & 0xFF) || ((p >> 8) & 0xFF) != (p & 0xFF)) std::_Exit(9);
      }
    // A cancel in the options scans nothing and says nothing.
    message.clear();
    image = source->scanPage(devices[0].name, [](SScanOptions&) { return false; }, dpi, message);
    std::_Exit(image == nullptr && message.empty() ? 0 : 10);
  };
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(scanWithOptions(), ::testing::ExitedWithCode(0), "");
}

}  // namespace scanner_test
}  // namespace pg
