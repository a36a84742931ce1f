#include "app/qt/shell_open.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QUrl>

#include "app/app_profile.h"
#include "app/help_file.h"
#include "app/qt/main_actions.h"
#include "app/qt/main_form.h"
#include "platform/message_service.h"
#include "test_support/qt_app.h"

namespace pg {
namespace shell_open_test {

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

// The help the F1 command opens is built beside the program, and the
// command hands that page to the desktop's browser.
TEST_F(ShellOpenTest, HelpPageIsBuiltBesideTheProgramAndF1OpensIt) {
  const QString programFolder = QFileInfo(QStringLiteral(PIGMORA_PROGRAM)).absolutePath();
  const QString page = QString::fromStdString(helpFilePath(programFolder.toStdString()));
  EXPECT_EQ(page, programFolder + QStringLiteral("/help/index.html"));
  QFile file(page);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("<title>Pigmora Help</title>"));

  resetAppProfile();
  appProfile().programFolder = programFolder.toStdString();
  RecordingMessageService messages;
  ScopedMessageService scoped(messages);
  {
    TMainForm form;
    form.actions().updateAll();
    form.actions().action("actOpenHtmlHelp")->trigger();
  }
  EXPECT_TRUE(messages.shown().empty());
  ASSERT_EQ(catcher.urls.size(), 1);
  EXPECT_EQ(catcher.urls[0].toLocalFile(), page);
  resetAppProfile();
}

}  // namespace shell_open_test
}  // namespace pg

#include "shell_open_test.moc"
