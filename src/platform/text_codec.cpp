#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>

namespace pg {

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// One conversion descriptor for one call; closed on every path.
class CIconv {
 public:
  CIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~CIconv() {
    if (ok()) iconv_close(cd_);
  }
  CIconv(const CIconv&) = delete;
  CIconv& operator=(const CIconv&) = delete;
  [[nodiscard]] bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts the input a character run at a time. skipBad(pos) answers how many
// input bytes an unconvertible sequence at pos takes; `bad` is appended in its
// place. Output grows in blocks, so no size is guessed from the input.
template <class SkipBad>
std::string convert(std::string_view in, const char* to, const char* from, std::string_view bad, SkipBad skipBad,
                    bool* lossless) {
  std::string out;
  bool clean = true;
  CIconv cv(to, from);
  if (!cv.ok()) {
    // The C library lacks the table: nothing can be converted faithfully.
    if (lossless != nullptr) *lossless = in.empty();
    for (size_t i = 0; i < in.size(); i += skipBad(i)) out += bad;
    return out;
  }
  char block[1024];
  size_t pos = 0;
  while (pos < in.size()) {
    char* src = const_cast<char*>(in.data() + pos);
    size_t srcLeft = in.size() - pos;
    char* dst = block;
    size_t dstLeft = sizeof block;
    const size_t r = iconv(cv.get(), &src, &srcLeft, &dst, &dstLeft);
    const int err = errno;
    out.append(block, size_t(dst - block));
    pos = in.size() - srcLeft;
    if (r != size_t(-1)) {
      // A count of characters converted to something else (U+00A5 to the
      // backslash byte and the like).
      if (r > 0) clean = false;
      break;
    }
    if (err == E2BIG) continue;  // the block is full; the next call goes on
    // EILSEQ (a bad or unmappable sequence) or EINVAL (cut short at the end).
    iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
    out += bad;
    clean = false;
    pos += skipBad(pos);
  }
  if (lossless != nullptr) *lossless = clean;
  return out;
}

}  // namespace

std::string cp932ToUtf8(std::string_view bytes, bool* lossless) {
  return convert(bytes, "UTF-8", "CP932", kReplacementUtf8, [](size_t) { return size_t{1}; }, lossless);
}

std::string utf8ToCp932(std::string_view text, bool* lossless) {
  return convert(
      text, "CP932", "UTF-8", "?",
      [text](size_t pos) {
        size_t p = pos;
        nextUtf8(text, p);
        return p - pos;
      },
      lossless);
}

std::string_view cp932Prefix(std::string_view bytes, size_t maxBytes) {
  size_t end = 0;
  while (end < bytes.size()) {
    const size_t step = isCp932LeadByte(uint8_t(bytes[end])) && end + 1 < bytes.size() ? 2 : 1;
    if (end + step > maxBytes) break;
    end += step;
  }
  return bytes.substr(0, end);
}

char32_t nextUtf8(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return uint8_t(text[i]); };
  const uint8_t b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  size_t need;
  char32_t code;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1, code = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2, code = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3, code = b0 & 0x07, min = 0x10000;
  } else {
    ++pos;  // a continuation byte or a byte no sequence starts with
    return kReplacementChar;
  }
  size_t i = pos + 1;
  for (size_t k = 0; k < need; ++k, ++i) {
    if (i >= text.size() || (byte(i) & 0xC0) != 0x80) {
      pos = i;  // the valid-looking start is dropped as one unit
      return kReplacementChar;
    }
    code = (code << 6) | (byte(i) & 0x3F);
    // Overlong forms, surrogates and values past U+10FFFF show at the
    // second byte already; stop there so the rest is read afresh.
    if (k == 0) {
      const char32_t top = code << (6 * (need - 1));
      if (top + ((char32_t(1) << (6 * (need - 1))) - 1) < min || (top >= 0xD800 && top <= 0xDFFF) ||
          top > 0x10FFFF) {
        pos = pos + 1;
        return kReplacementChar;
      }
    }
  }
  pos = i;
  return code;
}

void appendUtf8(std::string& out, char32_t code) {
  if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacementChar;
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xF0 | (code >> 18));
    out += char(0x80 | ((code >> 12) & 0x3F));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

}  // namespace pg
