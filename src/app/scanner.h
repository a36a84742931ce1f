#pragma once
// Scanning into a new document. A scanner source lists its devices and scans
// one page of a chosen device; the pages a scanner delivers arrive as frames
// (grey, colour, or one colour channel at a time) that are converted into a
// 32-bit image with alpha 255. Only the first page is taken: the scan is
// cancelled after it, so no further page is held anywhere.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pg {

class TMTC;

// One frame as the scanner describes it.
enum class EScanFormat : uint8_t { Gray, Rgb, Red, Green, Blue };
struct SScanFrame {
  EScanFormat format = EScanFormat::Gray;
  bool lastFrame = true;
  int32_t bytesPerLine = 0;
  int32_t pixelsPerLine = 0;
  int32_t lines = 0;  // -1 while unknown (read until the scanner ends)
  int32_t depth = 8;  // 1, 8 or 16 bits a sample
};

// The bytes one line of the frame needs at least; 0 when the frame cannot be
// converted (unknown depth, a size outside 1..10,000 pixels, or lines too
// short for their pixels).
int64_t scanLineBytes(const SScanFrame& frame);

// Writes `lines` rows of the frame, starting at row `firstRow`, into the image
// (which has the frame's width). Grey and colour frames set every channel;
// a one-channel frame sets its channel only. 16-bit samples (host order) take
// their high byte; a 1-bit sample set is black. Alpha becomes 255.
void convertScanLines(const SScanFrame& frame, const uint8_t* bytes, int32_t firstRow, int32_t lines, TMTC& image);

// What a device offers for a scan and what the user chose: the mode (the
// device's own names), the resolution in dots per inch (a list of values or
// a range), and the area in millimetres from the top-left corner of the bed.
// A part the device does not offer is left out (empty, 0 or false).
struct SScanOptions {
  std::vector<std::string> modes;
  std::string mode;
  std::vector<int32_t> resolutions;  // the values a list allows
  int32_t resolutionMin = 0, resolutionMax = 0;
  int32_t resolution = 0;
  bool hasArea = false;
  double areaMinX = 0, areaMinY = 0, areaMaxX = 0, areaMaxY = 0;
  double left = 0, top = 0, right = 0, bottom = 0;
};
// Shows the options to the user, who changes them; false cancels the scan.
using ScanSettingsFn = std::function<bool(SScanOptions&)>;

class IScanSource {
 public:
  virtual ~IScanSource() = default;
  // False when the scanner layer cannot start (the message says why).
  [[nodiscard]] virtual bool start(std::string& message) = 0;
  // Names and descriptions of the devices, for the user's choice.
  struct SDevice {
    std::string name;
    std::string description;
  };
  virtual std::vector<SDevice> devices() = 0;
  // Scans the first page of the device into a new image: the device's
  // options go through `settings` (when given) and the chosen ones are set;
  // `resolution` answers the resolution scanned at (0 when the device does
  // not say). nullptr with a message on failure, with an empty message when
  // the user cancelled.
  [[nodiscard]] virtual std::unique_ptr<TMTC> scanPage(const std::string& device, const ScanSettingsFn& settings,
                                                       int32_t& resolution, std::string& message) = 0;
};

// The scanner-neutral run: start the source, let the user choose a device
// (the chooser answers an index, or -1 to cancel; it is not asked when there
// is one device), scan the first page. The message is empty after a success
// and after a cancel.
struct SScanResult {
  std::unique_ptr<TMTC> image;
  int32_t resolution = 72;  // of the scan, 72 when the device did not say
  std::string message;
};
[[nodiscard]] SScanResult scanToImage(IScanSource& source,
                                      const std::function<int(const std::vector<IScanSource::SDevice>&)>& choose,
                                      const ScanSettingsFn& settings = {});

// The system's scanners through SANE, the ones on the network included.
[[nodiscard]] std::unique_ptr<IScanSource> makeSaneScanSource();

}  // namespace pg
