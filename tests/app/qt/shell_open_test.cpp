#include "app/qt/shell_open.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QObject>
#include <QUrl>

#include "test_support/qt_app.h"

namespace pg {
namespace {

// Takes the addresses the desktop would have opened.
class Catcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

class ShellOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApp();
    for (const char* scheme : {"file", "https", "http", "javascript"})
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
  }
  void TearDown() override {
    for (const char* scheme : {"file", "https", "http", "javascript"})
      QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  }
  Catcher catcher;
};

TEST_F(ShellOpenTest, PathsAndAddressesGoToTheirHandlers) {
  EXPECT_TRUE(shellOpen(QStringLiteral("/pics/a b.kci")));
  EXPECT_TRUE(shellOpen(QStringLiteral("notes.txt")));
  EXPECT_TRUE(shellOpen(QStringLiteral("https://example.org/help")));
  EXPECT_FALSE(shellOpen(QString()));
  ASSERT_EQ(catcher.urls.size(), 3);
  EXPECT_EQ(catcher.urls[0].toLocalFile(), QStringLiteral("/pics/a b.kci"));
  EXPECT_EQ(catcher.urls[1].toLocalFile(), QDir::current().absoluteFilePath(QStringLiteral("notes.txt")));
  EXPECT_EQ(catcher.urls[2].toString(), QStringLiteral("https://example.org/help"));
}

TEST_F(ShellOpenTest, TheBrowserTakesWebAddressesOnly) {
  EXPECT_TRUE(navigateUrl(QStringLiteral("http://example.org/")));
  EXPECT_FALSE(navigateUrl(QStringLiteral("javascript:alert(1)")));
  EXPECT_FALSE(navigateUrl(QStringLiteral("/no/scheme")));
  EXPECT_FALSE(navigateUrl(QString()));
  ASSERT_EQ(catcher.urls.size(), 1);
  EXPECT_EQ(catcher.urls[0].host(), QStringLiteral("example.org"));
}

}  // namespace
}  // namespace pg

#include "shell_open_test.moc"
