#include "app/scanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cmath>
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
                        const std::function<int(const std::vector<IScanSource::SDevice>&)>& choose,
                        const ScanSettingsFn& settings) {
  SScanResult result;
  if (!source.start(result.message)) return result;
  std::vector<IScanSource::SDevice> list = source.devices();
  if (list.empty()) {
    result.message = resString(kResScanNoScanner);
    return result;
  }
  int index = list.size() == 1 ? 0 : choose(list);
  if (index < 0 || index >= static_cast<int>(list.size())) return result;
  int32_t resolution = 0;
  result.image = source.scanPage(list[static_cast<size_t>(index)].name, settings, resolution, result.message);
  // A resolution a document cannot take is not the scan's.
  result.resolution = resolution >= 1 && resolution <= 65535 ? resolution : 72;
  return result;
}

namespace {

// An option of the open device by its well-known name: its number and
// descriptor, when it is active and can be set.
struct SOption {
  SANE_Int index = -1;
  const SANE_Option_Descriptor* d = nullptr;
  explicit operator bool() const { return d != nullptr; }
};

SOption findOption(SANE_Handle h, const char* name) {
  SANE_Int count = 0;
  if (sane_control_option(h, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) return {};
  for (SANE_Int i = 1; i < count && i < 10000; ++i) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(h, i);
    if (d == nullptr || d->name == nullptr || std::strcmp(d->name, name) != 0) continue;
    if (!SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap)) return {};
    return {i, d};
  }
  return {};
}

// A number option's value and limits as doubles (whole numbers or fixed point).
bool isNumber(const SANE_Option_Descriptor* d) {
  return (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) && d->size == static_cast<SANE_Int>(sizeof(SANE_Word));
}
double toDouble(const SANE_Option_Descriptor* d, SANE_Word w) {
  return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(w) : static_cast<double>(w);
}
SANE_Word toWord(const SANE_Option_Descriptor* d, double v) {
  return d->type == SANE_TYPE_FIXED ? SANE_FIX(v) : static_cast<SANE_Word>(std::lround(v));
}

bool getNumber(SANE_Handle h, const SOption& o, double& v) {
  if (!o || !isNumber(o.d)) return false;
  SANE_Word w = 0;
  if (sane_control_option(h, o.index, SANE_ACTION_GET_VALUE, &w, nullptr) != SANE_STATUS_GOOD) return false;
  v = toDouble(o.d, w);
  return true;
}

void setNumber(SANE_Handle h, const char* name, double v) {
  SOption o = findOption(h, name);
  if (!o || !isNumber(o.d)) return;
  SANE_Word w = toWord(o.d, v);
  // A value the device refuses leaves its own: the scan goes on with it.
  (void)sane_control_option(h, o.index, SANE_ACTION_SET_VALUE, &w, nullptr);
}

SScanOptions readOptions(SANE_Handle h) {
  SScanOptions o;
  if (SOption mode = findOption(h, SANE_NAME_SCAN_MODE);
      mode && mode.d->type == SANE_TYPE_STRING && mode.d->constraint_type == SANE_CONSTRAINT_STRING_LIST &&
      mode.d->size > 0 && mode.d->size <= 4096) {
    for (const SANE_String_Const* m = mode.d->constraint.string_list; *m != nullptr && o.modes.size() < 64; ++m)
      o.modes.emplace_back(*m);
    std::vector<char> value(static_cast<size_t>(mode.d->size) + 1, '\0');
    if (sane_control_option(h, mode.index, SANE_ACTION_GET_VALUE, value.data(), nullptr) == SANE_STATUS_GOOD)
      o.mode = value.data();
  }
  SOption res = findOption(h, SANE_NAME_SCAN_RESOLUTION);
  double dpi = 0;
  if (getNumber(h, res, dpi)) {
    o.resolution = static_cast<int32_t>(std::lround(dpi));
    if (res.d->constraint_type == SANE_CONSTRAINT_RANGE) {
      o.resolutionMin = static_cast<int32_t>(std::ceil(toDouble(res.d, res.d->constraint.range->min)));
      o.resolutionMax = static_cast<int32_t>(std::floor(toDouble(res.d, res.d->constraint.range->max)));
    } else if (res.d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
      const SANE_Word* list = res.d->constraint.word_list;
      for (SANE_Word i = 1; i <= list[0] && i <= 256; ++i)
        o.resolutions.push_back(static_cast<int32_t>(std::lround(toDouble(res.d, list[i]))));
    }
  }
  // The area only when all four corners are millimetres with a range.
  const char* corners[4] = {SANE_NAME_SCAN_TL_X, SANE_NAME_SCAN_TL_Y, SANE_NAME_SCAN_BR_X, SANE_NAME_SCAN_BR_Y};
  double* values[4] = {&o.left, &o.top, &o.right, &o.bottom};
  o.hasArea = true;
  for (int i = 0; i < 4 && o.hasArea; ++i) {
    SOption c = findOption(h, corners[i]);
    o.hasArea = getNumber(h, c, *values[i]) && c.d->unit == SANE_UNIT_MM && c.d->constraint_type == SANE_CONSTRAINT_RANGE;
    if (!o.hasArea) break;
    const double lo = toDouble(c.d, c.d->constraint.range->min), hi = toDouble(c.d, c.d->constraint.range->max);
    if (i == 2) {
      o.areaMinX = std::min(o.areaMinX, lo);
      o.areaMaxX = hi;
    } else if (i == 3) {
      o.areaMinY = std::min(o.areaMinY, lo);
      o.areaMaxY = hi;
    } else if (i == 0) {
      o.areaMinX = lo;
    } else {
      o.areaMinY = lo;
    }
  }
  return o;
}

// Sets what the user changed; a value left alone is not written back (the
// device's own value may not survive a round trip through a field).
void writeOptions(SANE_Handle h, const SScanOptions& o) {
  // The mode first: it may change which resolutions and areas there are.
  const SScanOptions before = readOptions(h);
  if (o.mode != before.mode && std::find(o.modes.begin(), o.modes.end(), o.mode) != o.modes.end()) {
    SOption mode = findOption(h, SANE_NAME_SCAN_MODE);
    if (mode && mode.d->type == SANE_TYPE_STRING && mode.d->size > 0 && mode.d->size <= 4096) {
      std::vector<char> value(static_cast<size_t>(mode.d->size), '\0');
      std::memcpy(value.data(), o.mode.data(), std::min(o.mode.size(), value.size() - 1));
      (void)sane_control_option(h, mode.index, SANE_ACTION_SET_VALUE, value.data(), nullptr);  // refused: its own
    }
  }
  const SScanOptions now = readOptions(h);
  if (o.resolution > 0 && o.resolution != now.resolution) setNumber(h, SANE_NAME_SCAN_RESOLUTION, o.resolution);
  if (!o.hasArea || !now.hasArea || o.right <= o.left || o.bottom <= o.top) return;
  const struct {
    const char* name;
    double want, has;
  } corners[4] = {{SANE_NAME_SCAN_TL_X, o.left, now.left},
                  {SANE_NAME_SCAN_TL_Y, o.top, now.top},
                  {SANE_NAME_SCAN_BR_X, o.right, now.right},
                  {SANE_NAME_SCAN_BR_Y, o.bottom, now.bottom}};
  for (const auto& c : corners)
    if (std::abs(c.want - c.has) >= 0.05) setNumber(h, c.name, c.want);
}

int32_t readResolution(SANE_Handle h) {
  double dpi = 0;
  if (!getNumber(h, findOption(h, SANE_NAME_SCAN_RESOLUTION), dpi) || !(dpi >= 1 && dpi <= 65535)) return 0;
  return static_cast<int32_t>(std::lround(dpi));
}

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
    // Scanners shared on the network are listed with the local ones.
    if (sane_get_devices(&found, SANE_FALSE) != SANE_STATUS_GOOD || found == nullptr) return list;
    for (const SANE_Device** d = found; *d != nullptr; ++d) {
      std::string text = std::string((*d)->vendor ? (*d)->vendor : "") + " " + ((*d)->model ? (*d)->model : "");
      list.push_back({(*d)->name ? (*d)->name : "", text});
    }
    return list;
  }

  std::unique_ptr<TMTC> scanPage(const std::string& device, const ScanSettingsFn& settings, int32_t& resolution,
                                 std::string& message) override {
    SANE_Handle h = nullptr;
    SANE_Status s = sane_open(device.c_str(), &h);
    if (s != SANE_STATUS_GOOD) {
      message = saneFailure(kResScanOpenFailed, s);
      return nullptr;
    }
    if (settings) {
      SScanOptions options = readOptions(h);
      if (!settings(options)) {
        sane_close(h);
        return nullptr;  // cancelled: nothing to say
      }
      writeOptions(h, options);
    }
    resolution = readResolution(h);
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
