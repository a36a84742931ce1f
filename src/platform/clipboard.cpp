#include "platform/clipboard.h"

#include <new>
#include <utility>

namespace pg {

const std::vector<uint8_t>* CMemoryClipboard::dataOf(std::string_view format) {
  auto it = entries_.find(format);
  if (it == entries_.end()) return nullptr;
  Entry& e = it->second;
  if (!e.data && e.render) {
    // Rendered once, on the first request, as a delayed format is.
    ClipboardRenderer render = std::move(e.render);
    e.render = nullptr;
    try {
      e.data = render();
    } catch (...) {
      e.data.reset();
    }
  }
  return e.data && !e.data->empty() ? &*e.data : nullptr;
}

bool CMemoryClipboard::hasFormat(std::string_view format) { return !format.empty() && dataOf(format) != nullptr; }

bool CMemoryClipboard::empty(bool force) {
  if (!force && owned_) return false;
  entries_.clear();
  owned_ = true;
  return true;
}

bool CMemoryClipboard::announceFormat(std::string_view format, ClipboardRenderer render) {
  if (format.empty() || !render) return false;
  try {
    entries_.insert_or_assign(std::string(format), Entry{std::nullopt, std::move(render)});
  } catch (const std::bad_alloc&) {
    return false;
  }
  owned_ = true;
  return true;
}

bool CMemoryClipboard::setData(std::string_view format, std::vector<uint8_t> block) {
  if (format.empty() || block.empty()) return false;
  try {
    entries_.insert_or_assign(std::string(format), Entry{std::move(block), nullptr});
  } catch (const std::bad_alloc&) {
    return false;
  }
  owned_ = true;
  return true;
}

bool CMemoryClipboard::readFormat(std::string_view format, const ClipboardReader& reader) {
  if (format.empty() || !reader) return false;
  const std::vector<uint8_t>* data = dataOf(format);
  return data && reader(data->data(), data->size());
}

void CMemoryClipboard::releaseOwnership() {
  entries_.clear();
  owned_ = false;
}

namespace {
IClipboard*& installed() {
  static IClipboard* clipboard = nullptr;
  return clipboard;
}
}  // namespace

IClipboard* setClipboard(IClipboard* clipboard) { return std::exchange(installed(), clipboard); }

IClipboard& currentClipboard() {
  static CMemoryClipboard own;
  return installed() ? *installed() : own;
}

std::string privateClipboardFormat(std::string_view name) { return "application/x-pigmora-" + std::string(name); }

bool clipboardHasFormat(std::string_view format) { return !format.empty() && currentClipboard().hasFormat(format); }
bool clipboardEmpty(bool force) { return currentClipboard().empty(force); }
bool clipboardAnnounceFormat(std::string_view format, ClipboardRenderer render) {
  return !format.empty() && currentClipboard().announceFormat(format, std::move(render));
}
bool clipboardSetHandle(std::string_view format, std::vector<uint8_t> block) {
  return !format.empty() && currentClipboard().setData(format, std::move(block));
}
bool clipboardReadFormat(std::string_view format, const ClipboardReader& reader) {
  return !format.empty() && currentClipboard().readFormat(format, reader);
}

}  // namespace pg
