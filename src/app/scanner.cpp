#include "app/scanner.h"

#include <sane/sane.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "app/dialog_texts.h"
#include "core/planes.h"
#include "platform/message_service.h"
#include "platform/string_table.h"

namespace pg {

namespace {

constexpr int32_t kMaxSide = 10000;

int channelOf(EScanFormat f) {
  // Byte offsets in a B, G, R, A pixel.
  switch (f) {
    case EScanFormat::Red: return 2;
    case EScanFormat::Green: return 1;
    case EScanFormat::Blue: return 0;
    default: return -1;
  }
}

uint8_t sampleAt(const uint8_t* line, int32_t index, int32_t depth) {
  if (depth == 8) return line[index];
  if (depth == 16) {
    uint16_t v;
    std::memcpy(&v, line + 2 * index, 2);
    return static_cast<uint8_t>(v >> 8);
  }
  // 1 bit, most significant first; a set bit is black.
  return (line[index >> 3] & (0x80 >> (index & 7))) ? 0 : 255;
}

}  // namespace

int64_t scanLineBytes(const SScanFrame& f) {
  if (f.pixelsPerLine < 1 || f.pixelsPerLine > kMaxSide || f.lines > kMaxSide || f.lines == 0 || f.lines < -1)
    return 0;
  if (f.depth != 1 && f.depth != 8 && f.depth != 16) return 0;
  if (f.depth == 1 && f.format == EScanFormat::Rgb) return 0;
  int64_t samples = static_cast<int64_t>(f.pixelsPerLine) * (f.format == EScanFormat::Rgb ? 3 : 1);
  int64_t need = (samples * f.depth + 7) / 8;
  if (f.bytesPerLine < need) return 0;
  return need;
}

void convertScanLines(const SScanFrame& f, const uint8_t* bytes, int32_t firstRow, int32_t lines, TMTC& image) {
  if (scanLineBytes(f) == 0 || image.Width != f.pixelsPerLine) return;
  const int channel = channelOf(f.format);
  for (int32_t row = 0; row < lines; ++row) {
    int32_t y = firstRow + row;
    if (y < 0 || y >= image.Height) break;
    const uint8_t* line = bytes + static_cast<int64_t>(row) * f.bytesPerLine;
    uint8_t* out = image.PixelAddress(0, y);
    for (int32_t x = 0; x < f.pixelsPerLine; ++x, out += 4) {
      if (f.format == EScanFormat::Rgb) {
        out[2] = sampleAt(line, 3 * x, f.depth);
        out[1] = sampleAt(line, 3 * x + 1, f.depth);
        out[0] = sampleAt(line, 3 * x + 2, f.depth);
      } else if (channel < 0) {
        out[0] = out[1] = out[2] = sampleAt(line, x, f.depth);
      } else {
        out[channel] = sampleAt(line, x, f.depth);
      }
      out[3] = 255;
    }
  }
}

SScanResult scanToImage(IScanSource& source,
                        const std::function<int(const std::vector<IScanSource::SDevice>&)>& choose) {
  SScanResult result;
  if (!source.start(result.message)) return result;
  std::vector<IScanSource::SDevice> list = source.devices();
  if (list.empty()) {
    result.message = resString(kResScanNoScanner);
    return result;
  }
  int index = list.size() == 1 ? 0 : choose(list);
  if (index < 0 || index >= static_cast<int>(list.size())) return result;
  result.image = source.scanPage(list[static_cast<size_t>(index)].name, result.message);
  return result;
}

namespace {

EScanFormat formatOf(SANE_Frame f) {
  switch (f) {
    case SANE_FRAME_RGB: return EScanFormat::Rgb;
    case SANE_FRAME_RED: return EScanFormat::Red;
    case SANE_FRAME_GREEN: return EScanFormat::Green;
    case SANE_FRAME_BLUE: return EScanFormat::Blue;
    default: return EScanFormat::Gray;
  }
}

std::string saneFailure(uint32_t id, SANE_Status status) {
  return formatRes(id, {std::string(sane_strstatus(status))});
}

class CSaneScanSource final : public IScanSource {
 public:
  ~CSaneScanSource() override {
    if (started_) sane_exit();
  }

  bool start(std::string& message) override {
    SANE_Int version = 0;
    SANE_Status s = sane_init(&version, nullptr);
    if (s != SANE_STATUS_GOOD) {
      message = saneFailure(kResScanInitFailed, s);
      return false;
    }
    started_ = true;
    return true;
  }

  std::vector<SDevice> devices() override {
    std::vector<SDevice> list;
    const SANE_Device** found = nullptr;
    if (sane_get_devices(&found, SANE_TRUE) != SANE_STATUS_GOOD || found == nullptr) return list;
    for (const SANE_Device** d = found; *d != nullptr; ++d) {
      std::string text = std::string((*d)->vendor ? (*d)->vendor : "") + " " + ((*d)->model ? (*d)->model : "");
      list.push_back({(*d)->name ? (*d)->name : "", text});
    }
    return list;
  }

  std::unique_ptr<TMTC> scanPage(const std::string& device, std::string& message) override {
    SANE_Handle h = nullptr;
    SANE_Status s = sane_open(device.c_str(), &h);
    if (s != SANE_STATUS_GOOD) {
      message = saneFailure(kResScanOpenFailed, s);
      return nullptr;
    }
    std::unique_ptr<TMTC> image = readPage(h, message);
    // Whatever else the scanner holds (further pages) is dropped here.
    sane_cancel(h);
    sane_close(h);
    return image;
  }

 private:
  std::unique_ptr<TMTC> readPage(SANE_Handle h, std::string& message) {
    std::unique_ptr<TMTC> image;
    for (;;) {
      SANE_Status s = sane_start(h);
      if (s != SANE_STATUS_GOOD) {
        message = saneFailure(kResScanReadFailed, s);
        return nullptr;
      }
      SANE_Parameters p{};
      s = sane_get_parameters(h, &p);
      if (s != SANE_STATUS_GOOD) {
        message = saneFailure(kResScanReadFailed, s);
        return nullptr;
      }
      SScanFrame frame{formatOf(p.format), p.last_frame != 0, p.bytes_per_line, p.pixels_per_line, p.lines, p.depth};
      if (scanLineBytes(frame) == 0 || (image && image->Width != frame.pixelsPerLine)) {
        message = saneFailure(kResScanReadFailed, SANE_STATUS_INVAL);
        return nullptr;
      }
      std::vector<uint8_t> bytes;
      if (!readFrame(h, frame, bytes, message)) return nullptr;
      int32_t rows = static_cast<int32_t>(bytes.size() / static_cast<size_t>(frame.bytesPerLine));
      if (rows < 1) {
        message = saneFailure(kResScanReadFailed, SANE_STATUS_EOF);
        return nullptr;
      }
      if (!image) {
        image = std::make_unique<TMTC>(frame.pixelsPerLine, rows);
        if (!isPlaneReady(image.get())) {
          message = saneFailure(kResScanReadFailed, SANE_STATUS_NO_MEM);
          return nullptr;
        }
      }
      convertScanLines(frame, bytes.data(), 0, std::min(rows, image->Height), *image);
      if (frame.lastFrame) return image;
    }
  }

  // Reads one frame up to its end or to 10,000 lines, whichever comes first.
  static bool readFrame(SANE_Handle h, const SScanFrame& f, std::vector<uint8_t>& bytes, std::string& message) {
    const int32_t maxLines = f.lines > 0 ? f.lines : kMaxSide;
    const size_t limit = static_cast<size_t>(f.bytesPerLine) * static_cast<size_t>(maxLines);
    try {
      bytes.reserve(f.lines > 0 ? limit : static_cast<size_t>(f.bytesPerLine) * 64);
      uint8_t chunk[65536];
      for (;;) {
        SANE_Int got = 0;
        SANE_Status s = sane_read(h, chunk, sizeof chunk, &got);
        if (s == SANE_STATUS_EOF) return true;
        if (s != SANE_STATUS_GOOD) {
          message = saneFailure(kResScanReadFailed, s);
          return false;
        }
        size_t take = std::min(static_cast<size_t>(std::max(got, 0)), limit - bytes.size());
        bytes.insert(bytes.end(), chunk, chunk + take);
        if (bytes.size() >= limit) {
          // The frame is whole: read on to its end, so that the backend
          // finishes its side of the frame before the scan is cancelled (a
          // backend cancelled mid-frame may stop its reader without cleaning
          // up). A backend that sends far more than it declared is cut off.
          for (int extra = 0; extra < 64; ++extra)
            if (sane_read(h, chunk, sizeof chunk, &got) != SANE_STATUS_GOOD) break;
          return true;
        }
      }
    } catch (const std::bad_alloc&) {
      message = saneFailure(kResScanReadFailed, SANE_STATUS_NO_MEM);
      return false;
    }
  }

  bool started_ = false;
};

}  // namespace

std::unique_ptr<IScanSource> makeSaneScanSource() { return std::make_unique<CSaneScanSource>(); }

}  // namespace pg
