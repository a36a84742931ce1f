#include "app/qt/mru_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QSignalSpy>

#include "test_support/qt_app.h"

namespace pg {
namespace {

QStringList texts(const QList<QAction*>& actions) {
  QStringList out;
  for (QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return out;
}

class MRUMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    menu.addAction(QStringLiteral("Open"));
    marker = menu.addSeparator();
    menu.addAction(QStringLiteral("Quit"));
  }
  // The application exists before the menu.
  struct QtApp {
    QtApp() { testing::ensureQtApp(); }
  } app;
  QMenu menu;
  QAction* marker = nullptr;
};

TEST_F(MRUMenuTest, TheRecentFilesSubmenuGoesBeforeTheMarkerNumbered) {
  TMRUFileList list;
  list.setMaximum(9);
  list.RemoveOnClick = false;
  list.UseSubmenu = true;
  list.InsertSeparator = false;
  list.SubmenuName = "Recent";
  TMRUMenu adapter(list);
  adapter.setFileMenu(&menu, marker);
  EXPECT_EQ(texts(menu.actions()), (QStringList{"Open", "-", "Quit"}));  // nothing while empty

  list.addItem(0, "/art/a.kci");
  list.addItem(0, "/art/R&D.png");
  QCoreApplication::processEvents();
  const QList<QAction*> top = menu.actions();
  ASSERT_EQ(texts(top), (QStringList{"Open", "Recent", "-", "Quit"}));
  QMenu* sub = top[1]->menu();
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(texts(sub->actions()), (QStringList{"&1 /art/R&&D.png", "&2 /art/a.kci"}));

  QSignalSpy chosen(&adapter, &TMRUMenu::mruItemClicked);
  sub->actions()[1]->trigger();
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toString(), QStringLiteral("/art/a.kci"));
  EXPECT_EQ(list.count(), 2u);
}

TEST_F(MRUMenuTest, TheWindowListAppendsAfterASeparatorAndAClickMayRemoveItsEntry) {
  TMRUFileList list;
  list.ComparePaths = false;
  list.MaxCaptionWidth = 0;
  TMRUMenu adapter(list);
  adapter.setFileMenu(&menu);
  list.appendItem("Untitled 1");
  list.appendItem("Untitled 2");
  EXPECT_EQ(texts(menu.actions()), (QStringList{"Open", "-", "Quit", "-", "&1 Untitled 1", "&2 Untitled 2"}));
  QSignalSpy chosen(&adapter, &TMRUMenu::mruItemClicked);
  adapter.entryActions()[0]->trigger();  // removes itself from the list
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toString(), QStringLiteral("Untitled 1"));
  EXPECT_EQ(texts(menu.actions()), (QStringList{"Open", "-", "Quit", "-", "&1 Untitled 2"}));
  list.clear();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(texts(menu.actions()), (QStringList{"Open", "-", "Quit"}));
}

TEST_F(MRUMenuTest, LongPathsAreShortenedToTheCaptionWidth) {
  TMRUFileList list;
  list.MaxCaptionWidth = 200;
  list.InsertSeparator = false;
  TMRUMenu adapter(list);
  adapter.setFileMenu(&menu, marker);
  const std::string path = "/" + std::string(60, 'd') + "/" + std::string(60, 'e') + "/picture.kci";
  list.addItem(0, path);
  ASSERT_EQ(adapter.entryActions().size(), 1u);
  const QString caption = adapter.entryActions()[0]->text();
  EXPECT_TRUE(caption.startsWith(QStringLiteral("&1 "))) << caption.toStdString();
  EXPECT_TRUE(caption.endsWith(QStringLiteral("/picture.kci"))) << caption.toStdString();
  EXPECT_TRUE(caption.contains(QStringLiteral("..."))) << caption.toStdString();
  EXPECT_EQ(adapter.entryActions()[0]->toolTip().toStdString(), path);
}

}  // namespace
}  // namespace pg
