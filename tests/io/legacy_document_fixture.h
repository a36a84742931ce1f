#pragma once
// Version 1.1 documents for tests, written through the reader's own field
// lists: a header, layers whose pixels are run-length coded (runs of equal
// pixels, literals between them) and an embedded event stream.
#include <cstdint>
#include <vector>

#include "core/byte_cursor.h"
#include "io/legacy_document.h"

namespace pg::test {

struct LegacyDocLayerData {
  SLegacyDocLayer record;
  std::vector<uint32_t> pixels;  // top-down 0x00RRGGBB, width x height
};

inline void putU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// Run-length codes pixels given in file order.
inline std::vector<uint8_t> encodeLegacyPixels(const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> out;
  const auto rgb = [&](uint32_t p) {
    out.push_back(uint8_t(p >> 16));
    out.push_back(uint8_t(p >> 8));
    out.push_back(uint8_t(p));
  };
  size_t i = 0;
  while (i < pixels.size()) {
    size_t run = 1;
    while (i + run < pixels.size() && pixels[i + run] == pixels[i] && run < 124) ++run;
    if (run >= 2) {
      out.push_back(uint8_t(run));
      rgb(pixels[i]);
      i += run;
      continue;
    }
    size_t lit = 1;
    while (i + lit < pixels.size() && lit < 130 &&
           !(i + lit + 1 < pixels.size() && pixels[i + lit] == pixels[i + lit + 1]))
      ++lit;
    out.push_back(uint8_t(255 - lit));
    for (size_t k = 0; k < lit; ++k) rgb(pixels[i + k]);
    i += lit;
  }
  return out;
}

// A whole document; the header's layer count and event size are taken from
// the layers and the stream given.
inline std::vector<uint8_t> writeLegacyDocument(SLegacyDocHeader h, const std::vector<LegacyDocLayerData>& layers,
                                                const std::vector<uint8_t>& events) {
  std::vector<uint8_t> out(kLegacyDocHeaderBytes);
  if (!layers.empty()) h.lastLayer = uint8_t(layers.size() - 1);
  h.eventBytes = uint32_t(events.size());
  if (!writeRecord(out.data(), out.size(), h, legacyDocHeaderFields)) return {};
  if (h.storage == 0) {
    for (const LegacyDocLayerData& l : layers) {
      std::vector<uint8_t> rec(kLegacyDocLayerBytes);
      SLegacyDocLayer r = l.record;
      if (!writeRecord(rec.data(), rec.size(), r, legacyDocLayerFields)) return {};
      out.insert(out.end(), rec.begin(), rec.end());
      // The file holds the rows bottom first.
      std::vector<uint32_t> fileOrder;
      const size_t w = size_t(h.width);
      for (size_t y = size_t(h.height); y-- > 0;)
        fileOrder.insert(fileOrder.end(), l.pixels.begin() + std::ptrdiff_t(y * w),
                         l.pixels.begin() + std::ptrdiff_t((y + 1) * w));
      const std::vector<uint8_t> packed = encodeLegacyPixels(fileOrder);
      putU32(out, uint32_t(packed.size()));
      out.insert(out.end(), packed.begin(), packed.end());
    }
  }
  out.insert(out.end(), events.begin(), events.end());
  return out;
}

inline SLegacyDocHeader legacyHeader(int32_t w, int32_t h) {
  SLegacyDocHeader head;
  std::copy(kLegacyDocumentMagic, kLegacyDocumentMagic + 4, head.magic);
  head.width = w;
  head.height = h;
  head.paperColor = 0xF0E0D0;
  return head;
}

}  // namespace pg::test
