#include "platform/qt/message_box_qt.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>

#include "platform/string_table.h"
#include "test_support/qt_app.h"

namespace pg {
namespace {

class QtMessageServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ensureQtApp(); }
  QtMessageService service;
};

TEST_F(QtMessageServiceTest, AnswersMapToModalResults) {
  EXPECT_EQ(modalResultOf(QMessageBox::Ok), kMrOk);
  EXPECT_EQ(modalResultOf(QMessageBox::Cancel), kMrCancel);
  EXPECT_EQ(modalResultOf(QMessageBox::Yes), kMrYes);
  EXPECT_EQ(modalResultOf(QMessageBox::No), kMrNo);
  EXPECT_EQ(modalResultOf(QMessageBox::NoButton), kMrCancel);  // closed with Escape
}

TEST_F(QtMessageServiceTest, ButtonSets) {
  EXPECT_EQ(standardButtons(MessageButtons::YesNo), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(standardButtons(MessageButtons::OkCancel), QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(standardButtons(MessageButtons::YesNoCancel), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  for (MessageButtons set : {MessageButtons::YesNo, MessageButtons::OkCancel, MessageButtons::YesNoCancel}) {
    auto box = service.buildBox(MessageKind::Question, "q", set);
    EXPECT_EQ(box->standardButtons(), standardButtons(set));
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    // Each button of the box answers its own modal result.
    for (QAbstractButton* b : box->buttons())
      EXPECT_NE(modalResultOf(box->standardButton(b)), 0);
  }
}

TEST_F(QtMessageServiceTest, WarningBoxHasTheCaptionIconAndOk) {
  auto box = service.buildBox(MessageKind::Warning, "一行目\r二行目");
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
  EXPECT_EQ(box->windowTitle(), QString::fromUtf8("警告 (Pigmora)"));
  EXPECT_EQ(box->text(), QString::fromUtf8("一行目\n二行目"));
  auto info = service.buildBox(MessageKind::Information, "i");
  EXPECT_EQ(info->icon(), QMessageBox::Information);
  EXPECT_EQ(info->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST_F(QtMessageServiceTest, CaptionFollowsTheLanguageModule) {
  overrideResStrings("65314\tWarning\n");
  auto box = service.buildBox(MessageKind::Warning, "x");
  resetResStrings();
  EXPECT_EQ(box->windowTitle(), QStringLiteral("Warning (Pigmora)"));
}

TEST_F(QtMessageServiceTest, OwnerIsTheActiveWindowElseTheMainWindowElseNone) {
  EXPECT_EQ(service.ownerWindow(), nullptr);  // before the main window exists: the desktop
  auto box = service.buildBox(MessageKind::Warning, "x");
  EXPECT_EQ(box->parentWidget(), nullptr);
  {
    QWidget mainWindow;
    service.setMainWindow(&mainWindow);
    if (!QApplication::activeWindow()) {
      EXPECT_EQ(service.ownerWindow(), &mainWindow);
      EXPECT_EQ(service.buildBox(MessageKind::Information, "y")->parentWidget(), &mainWindow);
    }
  }
  EXPECT_EQ(service.ownerWindow(), nullptr);  // the main window is gone
}

}  // namespace
}  // namespace pg
