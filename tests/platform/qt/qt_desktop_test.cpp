#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QKeyEvent>
#include <QWidget>

#include "platform/clipboard.h"
#include "platform/desktop.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_window_placement.h"
#include "test_support/qt_app.h"

namespace pg {
namespace {

using testing::ensureQtApp;

// A key event as the window system delivers it: the modifiers are the state
// before the event.
void key(QWidget& target, QEvent::Type type, int qtKey, Qt::KeyboardModifiers before = Qt::NoModifier) {
  QKeyEvent event(type, qtKey, before);
  QCoreApplication::sendEvent(&target, &event);
}

std::vector<uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

std::string readText(std::string_view format) {
  std::string got;
  // A format the clipboard does not hold reads as empty text.
  (void)clipboardReadFormat(format, [&](const uint8_t* p, size_t n) {
    got.assign(reinterpret_cast<const char*>(p), n);
    return true;
  });
  return got;
}

class QtClipboard : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureQtApp();
    previous_ = setClipboard(&clipboard_);
  }
  void TearDown() override { setClipboard(previous_); }
  CQtClipboard clipboard_;
  IClipboard* previous_ = nullptr;
};

TEST_F(QtClipboard, PrivateFormatsTravelThroughQtsClipboard) {
  const std::string layer = privateClipboardFormat("pgLayerAttr");
  EXPECT_EQ(layer, "application/x-pigmora-pgLayerAttr");
  ASSERT_TRUE(clipboardEmpty(true));
  ASSERT_TRUE(clipboardSetHandle(layer, bytes("layer record")));
  EXPECT_TRUE(clipboardHasFormat(layer));
  EXPECT_FALSE(clipboardHasFormat(privateClipboardFormat("pgMaskAttr")));
  EXPECT_EQ(readText(layer), "layer record");
  // What other programs see is the same MIME data.
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(data);
  EXPECT_EQ(data->data(QString::fromStdString(layer)), QByteArray("layer record"));
  // Format "0" and an empty block do nothing.
  EXPECT_FALSE(clipboardSetHandle("", bytes("x")));
  EXPECT_FALSE(clipboardSetHandle(layer, {}));
  EXPECT_FALSE(clipboardReadFormat("", [](const uint8_t*, size_t) { return true; }));
}

TEST_F(QtClipboard, EmptyWithoutForceKeepsAClipboardWeOwn) {
  const std::string box = privateClipboardFormat("pgClipBox");
  ASSERT_TRUE(clipboardEmpty(true));
  ASSERT_TRUE(clipboardSetHandle(box, bytes("box")));
  EXPECT_FALSE(clipboardEmpty(false));
  EXPECT_EQ(readText(box), "box");
  // Another program takes the clipboard over: now it is emptied.
  QGuiApplication::clipboard()->setText("from elsewhere");
  EXPECT_FALSE(clipboard_.owned());
  EXPECT_TRUE(clipboardEmpty(false));
  EXPECT_FALSE(clipboardHasFormat(box));
  EXPECT_FALSE(clipboardHasFormat("text/plain"));
}

TEST_F(QtClipboard, DelayedFormatsRenderOnceOnFirstRequest) {
  const std::string mask = privateClipboardFormat("pgMaskData");
  int renders = 0;
  ASSERT_TRUE(clipboardEmpty(true));
  ASSERT_TRUE(clipboardAnnounceFormat(mask, [&]() -> std::optional<std::vector<uint8_t>> {
    ++renders;
    return bytes("mask bytes");
  }));
  ASSERT_TRUE(clipboardSetHandle(privateClipboardFormat("pgOptAttr"), bytes("opt")));  // added beside it
  EXPECT_EQ(renders, 0);
  EXPECT_TRUE(clipboardHasFormat(mask));
  EXPECT_EQ(readText(mask), "mask bytes");
  EXPECT_EQ(readText(privateClipboardFormat("pgOptAttr")), "opt");
  EXPECT_EQ(renders, 1);

  const std::string failing = privateClipboardFormat("pgMaskAttr");
  ASSERT_TRUE(clipboardAnnounceFormat(failing, [] { return std::optional<std::vector<uint8_t>>(); }));
  EXPECT_FALSE(clipboardHasFormat(failing));
  EXPECT_FALSE(clipboardReadFormat(failing, [](const uint8_t*, size_t) { return true; }));
}

TEST(QtDesktop, KeysFollowTheApplicationsKeyEvents) {
  ensureQtApp();
  CQtDesktop desktop;
  IDesktop* previous = setDesktop(&desktop);
  QWidget widget;

  EXPECT_FALSE(isKeyDown(kVkSpace));
  key(widget, QEvent::KeyPress, Qt::Key_Space);
  EXPECT_TRUE(isKeyDown(kVkSpace));
  key(widget, QEvent::KeyPress, Qt::Key_Control);
  EXPECT_TRUE(getModifierState() & kModCtrl);
  EXPECT_TRUE(isKeyDown(kVkControl));
  key(widget, QEvent::KeyRelease, Qt::Key_Space);
  EXPECT_FALSE(isKeyDown(kVkSpace));
  // (Releasing a modifier is left out: Qt's modifier state follows only the
  // window system's own events, not events a test sends.)

  key(widget, QEvent::KeyPress, Qt::Key_A);
  EXPECT_TRUE(isKeyDown('A'));
  QEvent deactivate(QEvent::ApplicationDeactivate);
  QCoreApplication::sendEvent(qApp, &deactivate);
  EXPECT_FALSE(isKeyDown('A'));  // a release we will never see
  setDesktop(previous);
}

TEST(QtDesktop, CursorsStackOnceAndComeBack) {
  ensureQtApp();
  CQtDesktop desktop;
  IDesktop* previous = setDesktop(&desktop);
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  int32_t before = setWaitCursor();
  EXPECT_EQ(before, kCursorNone);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_EQ(setSysCursor(kCursorCross), kCursorWait);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
  EXPECT_EQ(setSysCursor(before), kCursorCross);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  setDesktop(previous);
}

TEST(QtDesktop, VirtualScreenIsTheScreensExtent) {
  ensureQtApp();
  CQtDesktop desktop;
  int32_t x = -1, y = -1, w = 0, h = 0;
  ASSERT_TRUE(desktop.virtualScreen(x, y, w, h));
  QRect expected = QGuiApplication::primaryScreen()->virtualGeometry();
  EXPECT_EQ(QRect(x, y, w, h), expected);
  EXPECT_GT(w, 0);
}

// A desktop of one fixed screen, so that placement does not depend on the
// test machine.
class OneScreen final : public IDesktop {
 public:
  uint32_t modifierState() override { return 0; }
  bool isKeyDown(int32_t) override { return false; }
  int32_t setCursor(int32_t id) override { return id; }
  bool virtualScreen(int32_t& x, int32_t& y, int32_t& w, int32_t& h) override {
    x = -100;
    y = 0;
    w = 1000;
    h = 800;
    return true;
  }
};

TEST(QtWindowPlacement, WindowsOffTheScreenComeBackInside) {
  ensureQtApp();
  OneScreen screen;
  IDesktop* previous = setDesktop(&screen);
  QWidget window;
  window.resize(300, 200);
  struct Case {
    int x, y, expectedX, expectedY;
    bool moves;
  };
  const Case cases[] = {
      {10, 10, 10, 10, false},     {-400, 50, -100, 50, true}, {950, 700, 600, 600, true},
      {600, 600, 600, 600, false},  // flush with the right and bottom edges
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
    window.move(c.x, c.y);
    const QRect frame = window.frameGeometry();
    TPoint pos;
    EXPECT_EQ(keepWindowOnScreen(window, pos), c.moves);
    EXPECT_EQ(pos.X - frame.x(), c.expectedX - c.x);
    EXPECT_EQ(pos.Y - frame.y(), c.expectedY - c.y);
    keepControlOnScreen(window);
    EXPECT_EQ(window.frameGeometry().topLeft(), frame.topLeft() + QPoint(c.expectedX - c.x, c.expectedY - c.y));
  }
  window.resize(1200, 100);  // wider than the screen: left where it is
  window.move(-500, 0);
  TPoint pos;
  EXPECT_FALSE(keepWindowOnScreen(window, pos));
  EXPECT_EQ(pos.X, window.frameGeometry().x());
  setDesktop(previous);
}

}  // namespace
}  // namespace pg
