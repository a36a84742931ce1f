#pragma once
// The clipboard as the program sees it: formats named by MIME type, data as
// byte blocks. The window system's clipboard (Qt) implements IClipboard; the
// in-process CMemoryClipboard stands in where there is none, and in tests.
//
// The free functions are the ones the program calls; each works on the
// installed clipboard. A format named by an empty string is no format, and an
// empty block no data: the calls then do nothing and answer false.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

// Produces the data of an announced format when someone asks for it; nullopt
// when it cannot.
using ClipboardRenderer = std::function<std::optional<std::vector<uint8_t>>()>;
// Gets the data of a format (pointer and byte count) and answers the read's result.
using ClipboardReader = std::function<bool(const uint8_t* data, size_t size)>;

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  // True when data of the format can be had now (a delayed format is rendered).
  [[nodiscard]] virtual bool hasFormat(std::string_view format) = 0;
  // Empties the clipboard and takes it over. Without force a clipboard that is
  // already ours is left as it is and the answer is false.
  [[nodiscard]] virtual bool empty(bool force) = 0;
  // Offers a format whose data is made only when asked for.
  [[nodiscard]] virtual bool announceFormat(std::string_view format, ClipboardRenderer render) = 0;
  // Puts a block on the clipboard, which owns it from then on.
  [[nodiscard]] virtual bool setData(std::string_view format, std::vector<uint8_t> block) = 0;
  // Hands the data of the format to the reader; false when there is none.
  [[nodiscard]] virtual bool readFormat(std::string_view format, const ClipboardReader& reader) = 0;
};

// An in-process clipboard. "Another program" taking the clipboard over is
// played by releaseOwnership().
class CMemoryClipboard final : public IClipboard {
 public:
  [[nodiscard]] bool hasFormat(std::string_view format) override;
  [[nodiscard]] bool empty(bool force) override;
  [[nodiscard]] bool announceFormat(std::string_view format, ClipboardRenderer render) override;
  [[nodiscard]] bool setData(std::string_view format, std::vector<uint8_t> block) override;
  [[nodiscard]] bool readFormat(std::string_view format, const ClipboardReader& reader) override;

  [[nodiscard]] bool owned() const { return owned_; }
  // Empties the clipboard as another program taking it over would.
  void releaseOwnership();

 private:
  struct Entry {
    std::optional<std::vector<uint8_t>> data;
    ClipboardRenderer render;
  };
  [[nodiscard]] const std::vector<uint8_t>* dataOf(std::string_view format);
  std::map<std::string, Entry, std::less<>> entries_;
  bool owned_ = false;
};

// Installs the clipboard the free functions use (not owned); nullptr puts back
// the process's own CMemoryClipboard. Answers the previous one.
IClipboard* setClipboard(IClipboard* clipboard);
IClipboard& currentClipboard();

// The MIME type of one of the program's private formats ("pgLayerAttr" ->
// "application/x-pigmora-pgLayerAttr").
std::string privateClipboardFormat(std::string_view name);

[[nodiscard]] bool clipboardHasFormat(std::string_view format);
[[nodiscard]] bool clipboardEmpty(bool force);
[[nodiscard]] bool clipboardAnnounceFormat(std::string_view format, ClipboardRenderer render);
[[nodiscard]] bool clipboardSetHandle(std::string_view format, std::vector<uint8_t> block);
[[nodiscard]] bool clipboardReadFormat(std::string_view format, const ClipboardReader& reader);

}  // namespace pg
