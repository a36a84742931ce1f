// The PNG, JPEG, PSD and BMP decoders and the clipboard's layer record over arbitrary bytes: each either refuses
// the data or delivers a plane within the size limit; a delivered PNG or PSD
// picture written again as PNG and read back gives the same pixels.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/chunk_head.h"
#include "io/clipboard_image.h"
#include "io/image_codecs.h"

namespace {

void checkPlane(const pg::TMTC& plane, bool roundTrip) {
  if (plane.Width < 1 || plane.Height < 1 || plane.Width > 10000 || plane.Height > 10000) std::abort();
  if (!roundTrip) return;
  const std::vector<uint8_t> png = pg::encodePng(plane, 0, true);
  pg::TMTC again;
  int32_t dpi = 0;
  if (pg::decodePng(png.data(), png.size(), again, dpi) != pg::kRcOk) std::abort();
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x)
      if (again.getPixel(x, y) != plane.getPixel(x, y)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using Decode = pg::FileResult (*)(const uint8_t*, size_t, pg::TMTC&, int32_t&);
  struct Decoder {
    Decode decode;
    bool roundTrip;
  };
  for (const Decoder d : {Decoder{pg::decodePng, true}, Decoder{pg::decodeJpeg, false}, Decoder{pg::decodePsd, true},
                          Decoder{pg::decodeBmp, true}}) {
    pg::TMTC plane;
    int32_t dpi = 0;
    if (d.decode(data, size, plane, dpi) == pg::kRcOk) checkPlane(plane, d.roundTrip);
  }
  pg::SClipLayerAttr attr;
  std::string name;
  if (pg::parseClipLayerAttr(data, size, attr, name) && name.size() + 80 > size) std::abort();
  return 0;
}
