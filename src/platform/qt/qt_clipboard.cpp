#include "platform/qt/qt_clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringList>

#include <new>

namespace pg {

// One format: its data, or the renderer that makes it on the first request.
struct CQtClipboard::Entry {
  QByteArray data;
  ClipboardRenderer render;
  bool rendered = false;

  const QByteArray& get() {
    if (!rendered && render) {
      rendered = true;
      try {
        if (auto bytes = render()) data = QByteArray(reinterpret_cast<const char*>(bytes->data()),
                                                     static_cast<qsizetype>(bytes->size()));
      } catch (...) {
        data.clear();
      }
      render = nullptr;
    }
    return data;
  }
};

namespace {

QString mimeOf(std::string_view format) {
  return QString::fromUtf8(format.data(), static_cast<qsizetype>(format.size()));
}

// The data object on Qt's clipboard; it shares the entries, so a delayed
// format is rendered once whichever object asks.
class PigmoraMimeData final : public QMimeData {
 public:
  explicit PigmoraMimeData(std::map<std::string, std::shared_ptr<CQtClipboard::Entry>, std::less<>> entries)
      : entries_(std::move(entries)) {}

  QStringList formats() const override {
    QStringList list;
    for (const auto& [format, entry] : entries_) list << mimeOf(format);
    return list;
  }
  bool hasFormat(const QString& mime) const override { return entries_.count(mime.toStdString()) != 0; }

 protected:
  QVariant retrieveData(const QString& mime, QMetaType) const override {
    auto it = entries_.find(mime.toStdString());
    if (it == entries_.end()) return {};
    const QByteArray& data = it->second->get();
    return data.isEmpty() ? QVariant() : QVariant(data);
  }

 private:
  std::map<std::string, std::shared_ptr<CQtClipboard::Entry>, std::less<>> entries_;
};

QClipboard* systemClipboard() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr; }

}  // namespace

CQtClipboard::CQtClipboard() = default;
CQtClipboard::~CQtClipboard() = default;

bool CQtClipboard::owned() const {
  QClipboard* cb = systemClipboard();
  return cb && current_ && cb->mimeData() == current_.data();
}

bool CQtClipboard::publish() {
  QClipboard* cb = systemClipboard();
  if (!cb) return false;
  auto* data = new (std::nothrow) PigmoraMimeData(entries_);
  if (!data) return false;
  current_ = data;
  cb->setMimeData(data);  // the clipboard owns it now
  return true;
}

bool CQtClipboard::hasFormat(std::string_view format) {
  QClipboard* cb = systemClipboard();
  const QMimeData* data = cb ? cb->mimeData() : nullptr;
  QString mime = mimeOf(format);
  return !format.empty() && data && data->hasFormat(mime) && !data->data(mime).isEmpty();
}

bool CQtClipboard::empty(bool force) {
  QClipboard* cb = systemClipboard();
  if (!cb || (!force && owned())) return false;
  entries_.clear();
  return publish();
}

bool CQtClipboard::announceFormat(std::string_view format, ClipboardRenderer render) {
  if (format.empty() || !render) return false;
  if (!owned()) entries_.clear();  // someone else's data is not added to
  try {
    auto entry = std::make_shared<Entry>();
    entry->render = std::move(render);
    entries_.insert_or_assign(std::string(format), std::move(entry));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return publish();
}

bool CQtClipboard::setData(std::string_view format, std::vector<uint8_t> block) {
  if (format.empty() || block.empty()) return false;
  if (!owned()) entries_.clear();
  try {
    auto entry = std::make_shared<Entry>();
    entry->data = QByteArray(reinterpret_cast<const char*>(block.data()), static_cast<qsizetype>(block.size()));
    entry->rendered = true;
    entries_.insert_or_assign(std::string(format), std::move(entry));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return publish();
}

bool CQtClipboard::readFormat(std::string_view format, const ClipboardReader& reader) {
  QClipboard* cb = systemClipboard();
  const QMimeData* data = cb ? cb->mimeData() : nullptr;
  if (format.empty() || !reader || !data) return false;
  QString mime = mimeOf(format);
  if (!data->hasFormat(mime)) return false;
  const QByteArray bytes = data->data(mime);
  if (bytes.isEmpty()) return false;
  return reader(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
}

}  // namespace pg
