// The text tool's window (offscreen): OK puts the text's pixels into the
// layer in one recorded step, Escape leaves the layer as it was, and the
// settings come back when the window opens again.
#include "widget_fixture.h"
// (the fixture stays first: it orders the recorder's headers before Qt's)
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "canvas/qt/text_tool_window.h"

namespace pg {
namespace {

// IPA Gothic as the face list names it (its Japanese family name).
int ipaGothic(const QComboBox& faces) {
  const int jp = faces.findText(QString::fromUtf8("IPAゴシック"));
  return jp >= 0 ? jp : faces.findText("IPAGothic");
}

TEST(TextToolWindow, OkPutsTheTextIntoTheLayerAndEscapeLeavesItAlone) {
  WidgetFixture f;
  CMemoryTextSettings store;
  const std::vector<uint32_t> blank = f.layerPixels();
  {
    TTextToolWindow dialog(f.widget->window(), store, {60, 120}, false);
    dialog.show();
    const int ipa = ipaGothic(*dialog.faceBox());
    ASSERT_GE(ipa, 0);
    dialog.faceBox()->setCurrentIndex(ipa);
    dialog.sizeBox()->setValue(40);
    dialog.textEdit()->setPlainText(QString::fromUtf8("文字 Text"));
    // The preview shows over the view, the layer is untouched.
    EXPECT_TRUE(f.widget->window().toolState().textPreview.shown());
    EXPECT_EQ(f.layerPixels(), blank);
    QTest::keyClick(dialog.textEdit(), Qt::Key_Escape);
    EXPECT_FALSE(f.widget->window().toolState().textPreview.shown());
  }
  EXPECT_EQ(f.layerPixels(), blank);
  EXPECT_EQ(store.load().text, "文字 Text");
  EXPECT_EQ(store.load().size, 40);

  const uint32_t before = f.store().committedCount();
  {
    // The window opens with the last settings.
    TTextToolWindow dialog(f.widget->window(), store, {60, 120}, false);
    EXPECT_EQ(dialog.textEdit()->toPlainText(), QString::fromUtf8("文字 Text"));
    EXPECT_EQ(dialog.faceBox()->currentIndex(), ipaGothic(*dialog.faceBox()));
    dialog.accept();
  }
  EXPECT_EQ(f.store().committedCount(), before + 1);
  int dark = 0;
  for (int y = 80; y < 130; ++y)
    for (int x = 60; x < 260; ++x) dark += (f.pixel(x, y) & 0xFF) < 128;
  EXPECT_GT(dark, 100);
  ASSERT_TRUE(f.widget->undo());
  EXPECT_EQ(f.layerPixels(), blank);
}

TEST(TextToolWindow, VerticalWritingFollowsTheFace) {
  WidgetFixture f;
  CMemoryTextSettings store;
  TTextToolWindow dialog(f.widget->window(), store, {60, 120}, false);
  const int ipa = ipaGothic(*dialog.faceBox());
  ASSERT_GE(ipa, 0);
  dialog.faceBox()->setCurrentIndex(ipa);
  // Its Latin set has no vertical forms; its Japanese set has.
  const int ansi = dialog.charSetBox()->findData(static_cast<int>(kAnsiCharSet));
  if (ansi >= 0) {
    dialog.charSetBox()->setCurrentIndex(ansi);
    EXPECT_FALSE(dialog.verticalBox()->isEnabled());
  }
  const int jis = dialog.charSetBox()->findData(static_cast<int>(kShiftJisCharSet));
  ASSERT_GE(jis, 0);
  dialog.charSetBox()->setCurrentIndex(jis);
  EXPECT_TRUE(dialog.verticalBox()->isEnabled());
  dialog.verticalBox()->setChecked(true);
  EXPECT_EQ(dialog.faceBox()->currentIndex(), ipaGothic(*dialog.faceBox()));
  EXPECT_TRUE(dialog.settings().vertical);
  // A face without a vertical form cannot write vertically.
  dialog.verticalBox()->setChecked(false);
  for (int i = 0; i < dialog.faceBox()->count(); ++i) {
    if (dialog.faceBox()->itemText(i).startsWith("DejaVu")) {
      dialog.faceBox()->setCurrentIndex(i);
      EXPECT_FALSE(dialog.verticalBox()->isEnabled());
      EXPECT_FALSE(dialog.verticalBox()->isChecked());
      break;
    }
  }
}

}  // namespace
}  // namespace pg
