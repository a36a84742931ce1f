#include "app/qt/shell_open.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace pg {

namespace {

// "C:" or "/home": not an address. Schemes have two letters or more.
bool looksLikeAddress(const QString& text) {
  const QUrl url(text, QUrl::StrictMode);
  return url.isValid() && url.scheme().size() > 1;
}

}  // namespace

bool shellOpen(const QString& pathOrAddress) {
  if (pathOrAddress.isEmpty()) return false;
  const QUrl url = looksLikeAddress(pathOrAddress)
                       ? QUrl(pathOrAddress, QUrl::StrictMode)
                       : QUrl::fromLocalFile(QFileInfo(pathOrAddress).absoluteFilePath());
  return QDesktopServices::openUrl(url);
}

bool navigateUrl(const QString& address) {
  if (!looksLikeAddress(address)) return false;
  const QUrl url(address, QUrl::StrictMode);
  static const QStringList kSchemes = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"),
                                       QStringLiteral("mailto")};
  if (!kSchemes.contains(url.scheme().toLower())) return false;
  return QDesktopServices::openUrl(url);
}

}  // namespace pg
