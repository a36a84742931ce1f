// The conversions of stored byte strings and the stored font description over
// arbitrary bytes: UTF-8 from CP932 is always well formed, CP932 from UTF-8
// always reads back without replacement, and a description settles to one
// stored form after a round trip.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/fonts.h"
#include "platform/text_codec.h"

namespace {

void checkWellFormed(const std::string& utf8) {
  std::string again;
  for (size_t pos = 0; pos < utf8.size();) pg::appendUtf8(again, pg::nextUtf8(utf8, pos));
  if (again != utf8) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkWellFormed(pg::cp932ToUtf8(bytes));

  const std::string cp932 = pg::utf8ToCp932(bytes);
  bool lossless = false;
  checkWellFormed(pg::cp932ToUtf8(cp932, &lossless));
  if (!lossless) std::abort();

  pg::SLogFont font;
  if (pg::unpackLogFont(data, size, font)) {
    uint8_t once[pg::kLogFontBytes], twice[pg::kLogFontBytes], thrice[pg::kLogFontBytes];
    pg::packLogFont(font, once);
    pg::SLogFont back;
    if (!pg::unpackLogFont(once, sizeof once, back) || std::memcmp(once, data, 28) != 0) std::abort();
    pg::packLogFont(back, twice);
    if (!pg::unpackLogFont(twice, sizeof twice, back)) std::abort();
    pg::packLogFont(back, thrice);
    if (std::memcmp(twice, thrice, sizeof twice) != 0) std::abort();
  }
  return 0;
}
