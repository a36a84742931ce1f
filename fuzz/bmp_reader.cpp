// The BMP file reader and the DIB-block reader over arbitrary bytes. A picture
// either is refused or arrives whole: exported again as a DIB block and read
// back, it must give the very same pixels.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/bmp_file.h"

namespace {

void checkRoundTrip(const pg::TMTC& plane) {
  pg::SBmpInfoHeader header;
  std::vector<uint8_t> bits;
  if (!pg::exportDib32Rect(plane, 72, pg::SRectXYWH{0, 0, plane.Width, plane.Height}, bits, header)) std::abort();
  std::vector<uint8_t> dib(pg::kBmpInfoHeaderSize);
  pg::writeBmpInfoHeader(header, dib.data());
  dib.insert(dib.end(), bits.begin(), bits.end());
  pg::TMTC again;
  if (!pg::readDibBlock(again, dib.data(), static_cast<int64_t>(dib.size()))) std::abort();
  if (again.Width != plane.Width || again.Height != plane.Height) std::abort();
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x)
      if (again.getPixel(x, y) != plane.getPixel(x, y)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto n = static_cast<int64_t>(size);
  int32_t dpi = 0;
  pg::TMTC fromFile;
  if (pg::readBmpFromMemory(fromFile, data, n, &dpi)) checkRoundTrip(fromFile);
  pg::TMTC fromDib;
  if (pg::readDibBlock(fromDib, data, n, &dpi)) checkRoundTrip(fromDib);
  return 0;
}
