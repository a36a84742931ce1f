// The merged picture of a PSD file: 8-bit greyscale or RGB, raw or
// PackBits-compressed, with an extra channel taken as alpha. Layers are not
// read. The resolution comes from the ResolutionInfo resource (0x03ED).
#include <cstring>

#include "core/chunk_head.h"
#include "core/limits.h"
#include "io/image_codecs.h"

namespace pg {
namespace {

class CReader {
 public:
  CReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  [[nodiscard]] bool has(size_t n) const { return n <= size_ - pos_; }
  size_t pos() const { return pos_; }
  size_t remaining() const { return size_ - pos_; }
  [[nodiscard]] const uint8_t* here() const { return data_ + pos_; }
  [[nodiscard]] bool skip(size_t n) {
    if (!has(n)) return false;
    pos_ += n;
    return true;
  }
  [[nodiscard]] bool u16(uint32_t& v) {
    if (!has(2)) return false;
    v = (uint32_t{data_[pos_]} << 8) | data_[pos_ + 1];
    pos_ += 2;
    return true;
  }
  [[nodiscard]] bool u32(uint32_t& v) {
    if (!has(4)) return false;
    v = (uint32_t{data_[pos_]} << 24) | (uint32_t{data_[pos_ + 1]} << 16) | (uint32_t{data_[pos_ + 2]} << 8) |
        data_[pos_ + 3];
    pos_ += 4;
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

constexpr uint32_t kModeGrey = 1;
constexpr uint32_t kModeRgb = 3;

// The horizontal resolution of the ResolutionInfo resource, in dots per inch.
int32_t resolutionFrom(const uint8_t* p, size_t n) {
  CReader r(p, n);
  while (r.has(12)) {
    if (std::memcmp(r.here(), "8BIM", 4) != 0) return 0;
    uint32_t id = 0, nameLen = 0, size = 0;
    (void)r.skip(4);  // has(12) checked above
    (void)r.u16(id);  // as above
    if (!r.has(1)) return 0;
    nameLen = *r.here();
    const size_t namePadded = (nameLen + 2) & ~size_t{1};  // length byte + name, even
    if (!r.skip(namePadded) || !r.u32(size) || !r.has(size)) return 0;
    if (id == 0x03ED && size >= 4) {
      const uint32_t fixed = (uint32_t{r.here()[0]} << 24) | (uint32_t{r.here()[1]} << 16) |
                             (uint32_t{r.here()[2]} << 8) | r.here()[3];
      return static_cast<int32_t>((fixed + 0x8000u) >> 16);
    }
    if (!r.skip((size + 1) & ~size_t{1})) return 0;
  }
  return 0;
}

// Unpacks one PackBits row of exactly `width` bytes from `in` (n bytes).
[[nodiscard]] bool unpackRow(const uint8_t* in, size_t n, uint8_t* out, size_t width) {
  size_t i = 0, o = 0;
  while (o < width) {
    if (i >= n) return false;
    const auto c = static_cast<int8_t>(in[i++]);
    if (c >= 0) {
      const size_t count = static_cast<size_t>(c) + 1;
      if (count > n - i || count > width - o) return false;
      std::memcpy(out + o, in + i, count);
      i += count;
      o += count;
    } else if (c != -128) {
      const size_t count = static_cast<size_t>(1 - c);
      if (i >= n || count > width - o) return false;
      std::memset(out + o, in[i++], count);
      o += count;
    }
  }
  return true;
}

// Channel index of the plane's bytes (B, G, R, A) for a PSD channel; -1 for none.
int byteOfChannel(uint32_t mode, uint32_t channel) {
  if (mode == kModeGrey) return channel == 0 ? 0 : (channel == 1 ? 3 : -1);
  static constexpr int kRgb[] = {2, 1, 0, 3};
  return channel < 4 ? kRgb[channel] : -1;
}

}  // namespace

FileResult decodePsd(const uint8_t* data, size_t size, TMTC& out, int32_t& dpi) {
  dpi = 0;
  CReader r(data, size);
  if (!r.has(4) || std::memcmp(data, "8BPS", 4) != 0) return kRcWrongTag;
  (void)r.skip(4);  // has(4) checked above
  uint32_t version = 0, channels = 0, height = 0, width = 0, depth = 0, mode = 0;
  if (!r.u16(version) || !r.skip(6) || !r.u16(channels) || !r.u32(height) || !r.u32(width) || !r.u16(depth) ||
      !r.u16(mode))
    return kRcShortRead;
  if (version != 1) return kRcVersion;
  if (channels < 1 || channels > 56) return kRcWrongTag;
  if (width < 1 || height < 1 || width > kMaxImageWidth || height > kMaxImageHeight) return kRcTooLarge;
  if (depth != 8 || (mode != kModeGrey && mode != kModeRgb)) return kRcVersion;
  if (mode == kModeRgb && channels < 3) return kRcWrongTag;
  uint32_t len = 0;
  if (!r.u32(len) || !r.skip(len)) return kRcShortRead;  // colour mode data
  if (!r.u32(len) || !r.has(len)) return kRcShortRead;   // image resources
  dpi = resolutionFrom(r.here(), len);
  (void)r.skip(len);  // has(len) checked above
  if (!r.u32(len) || !r.skip(len)) return kRcShortRead;  // layer and mask information
  uint32_t compression = 0;
  if (!r.u16(compression)) return kRcShortRead;
  if (compression > 1) return kRcVersion;

  const size_t w = width, h = height, rows = size_t{channels} * h;
  const uint8_t* counts = nullptr;
  if (compression == 0) {
    if (rows * w > r.remaining()) return kRcShortRead;
  } else {
    if (!r.has(rows * 2)) return kRcShortRead;
    counts = r.here();
    // A PackBits packet of two bytes gives at most 128: a row shorter than
    // that allows cannot fill the width, and is refused before the plane is
    // made (a few bytes of counts would otherwise claim the largest plane).
    const size_t leastRow = 2 * ((w + 127) / 128);
    size_t total = 0;
    for (size_t i = 0; i < rows; ++i) {
      const size_t n = (size_t{counts[2 * i]} << 8) | counts[2 * i + 1];
      if (n < leastRow) return kRcShortRead;
      total += n;
    }
    (void)r.skip(rows * 2);  // has(rows * 2) checked above
    if (total > r.remaining()) return kRcShortRead;
  }
  if (!out.Resize(static_cast<int32_t>(width), static_cast<int32_t>(height)) || !isPlaneReady(&out))
    return kRcOutOfMemory;
  for (int32_t y = 0; y < out.Height; ++y) {
    uint32_t* p = out.pixelAt(0, y);
    for (size_t x = 0; x < w; ++x) p[x] = 0xFF000000u;
  }
  std::vector<uint8_t> row(w);
  for (uint32_t ch = 0; ch < channels; ++ch) {
    const int target = byteOfChannel(mode, ch);
    for (size_t y = 0; y < h; ++y) {
      const uint8_t* src = r.here();
      if (compression == 0) {
        (void)r.skip(w);  // every row's bytes were checked to be there above
      } else {
        const size_t i = ch * h + y;
        const size_t n = (size_t{counts[2 * i]} << 8) | counts[2 * i + 1];
        if (!unpackRow(src, n, row.data(), w)) return kRcShortRead;
        (void)r.skip(n);  // as above
        src = row.data();
      }
      if (target < 0) continue;
      uint8_t* dst = out.PixelAddress(0, static_cast<int32_t>(y));
      for (size_t x = 0; x < w; ++x) dst[4 * x + static_cast<size_t>(target)] = src[x];
    }
  }
  if (mode == kModeGrey) {
    for (int32_t y = 0; y < out.Height; ++y) {
      uint8_t* p = out.PixelAddress(0, y);
      for (size_t x = 0; x < w; ++x) p[4 * x + 1] = p[4 * x + 2] = p[4 * x];
    }
  }
  return kRcOk;
}

}  // namespace pg
