#include "app/instance_protocol.h"

#include "app/command_line.h"

namespace pg {

uint32_t instanceQueryReply(uint32_t wParam, bool batchMode, bool viewerMode) {
  if (wParam != 0) return 0;
  if (!batchMode) return kReplyNormal;
  return viewerMode ? kReplyViewer : kReplyRender;
}

void appendU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i) & 0xFF);
}

uint32_t readU32(std::string_view bytes) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4 && i < bytes.size(); ++i) v |= uint32_t(uint8_t(bytes[i])) << (8 * i);
  return v;
}

std::string encodeQuery() { return std::string(1, kRequestQuery); }
std::string encodeRaise() { return std::string(1, kRequestRaise); }

bool encodeFile(std::string_view path, std::string& out) {
  if (path.empty() || path.size() > kMaxPathBytes) return false;
  out.clear();
  out += kRequestFile;
  appendU32(out, static_cast<uint32_t>(path.size()));
  out += path;
  return true;
}

bool isCleanUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<uint8_t>(text[i]);
    if (c == 0) return false;
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t extra;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= text.size()) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const auto cc = static_cast<uint8_t>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = cp << 6 | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point.
    static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

void CInstanceRequestDecoder::feed(std::string_view bytes) {
  if (broken_) return;
  buffer_.append(bytes);
}

CInstanceRequestDecoder::Result CInstanceRequestDecoder::next() {
  if (broken_) return Result::Broken;
  if (buffer_.empty()) return Result::NeedMore;
  switch (buffer_.front()) {
    case kRequestQuery: buffer_.erase(0, 1); return Result::Query;
    case kRequestRaise: buffer_.erase(0, 1); return Result::Raise;
    case kRequestFile: {
      if (buffer_.size() < 5) return Result::NeedMore;
      const uint32_t length = readU32(std::string_view(buffer_).substr(1));
      if (length == 0 || length > kMaxPathBytes) {
        broken_ = true;
        buffer_.clear();
        return Result::Broken;
      }
      if (buffer_.size() - 5 < length) return Result::NeedMore;
      path_.assign(buffer_, 5, length);
      buffer_.erase(0, 5 + size_t{length});
      if (!isCleanUtf8(path_) || path_.front() != '/') {
        path_.clear();
        return Result::BadFile;
      }
      return Result::File;
    }
    default:
      broken_ = true;
      buffer_.clear();
      return Result::Broken;
  }
}

}  // namespace pg
