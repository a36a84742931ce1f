#pragma once
// The program's clipboard over Qt's: each format is a MIME type, delayed
// formats are rendered when another program (or this one) first asks.
#include <QPointer>

#include <map>
#include <memory>
#include <string>

#include "platform/clipboard.h"

class QMimeData;

namespace pg {

class CQtClipboard final : public IClipboard {
 public:
  CQtClipboard();
  ~CQtClipboard() override;

  bool hasFormat(std::string_view format) override;
  [[nodiscard]] bool empty(bool force) override;
  [[nodiscard]] bool announceFormat(std::string_view format, ClipboardRenderer render) override;
  [[nodiscard]] bool setData(std::string_view format, std::vector<uint8_t> block) override;
  [[nodiscard]] bool readFormat(std::string_view format, const ClipboardReader& reader) override;

  // True while the clipboard holds what this program put there last.
  bool owned() const;

  struct Entry;

 private:
  // Puts a new data object holding every entry on the clipboard.
  [[nodiscard]] bool publish();
  std::map<std::string, std::shared_ptr<Entry>, std::less<>> entries_;
  QPointer<QMimeData> current_;
};

}  // namespace pg
