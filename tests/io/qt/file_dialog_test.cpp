// The file dialogs and the progress window under the offscreen platform.
#include <gtest/gtest.h>

#include <QTest>

#include "core/chunk_head.h"
#include "io/image_codecs.h"
#include "io/qt/file_dialog.h"
#include "io/qt/progress_dialog.h"
#include "test_support/plane_pixels.h"
#include "test_support/qt_app.h"
#include "test_support/temp_folder.h"

namespace pg {
namespace {

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ensureQtApp(); }
};

TEST_F(FileDialogTest, ASaveDialogFollowsTheChosenFilterWithItsExtension) {
  testing::TempFolder dir;
  SFileDialogRequest request;
  request.kind = 8;
  request.initialName = "picture.kci";
  request.folder = dir.path().string() + "/";
  request.filterIndex = 1;
  TPreviewFileDialog dialog(nullptr, request);
  EXPECT_EQ(dialog.nameFilters().size(), 4);
  EXPECT_EQ(dialog.filterIndex(), 1);
  dialog.selectNameFilter(dialog.nameFilters()[2]);
  emit dialog.filterSelected(dialog.nameFilters()[2]);
  ASSERT_FALSE(dialog.selectedFiles().isEmpty());
  EXPECT_TRUE(dialog.selectedFiles().first().endsWith(QStringLiteral("/picture.jpg")));
  EXPECT_EQ(dialog.filterIndex(), 3);
  EXPECT_NE(dialog.preview(), nullptr);

  request.kind = 3;  // pen methods: no preview
  TPreviewFileDialog plain(nullptr, request);
  EXPECT_EQ(plain.preview(), nullptr);
}

TEST_F(FileDialogTest, ThePreviewShowsPicturesAndStaysInactiveForOtherFiles) {
  testing::TempFolder dir;
  TMTC plane(252, 126);
  testing::fillWith(plane, [](int32_t x, int32_t) { return x < 126 ? 0xFFFF0000u : 0xFF0000FFu; });
  ASSERT_EQ(pngSaveImage(dir.file("wide.png"), plane, 0, false), kRcOk);
  ASSERT_EQ(pngSaveImage(dir.file("fake.psd"), plane, 0, false), kRcOk);
  TFilePreview preview;
  preview.showFile(QString::fromStdString(dir.file("wide.png")));
  EXPECT_TRUE(preview.isActive());
  EXPECT_EQ(preview.sizeText(), QStringLiteral("大きさ: 252 × 126"));
  EXPECT_TRUE(preview.timeText().startsWith(QStringLiteral("更新日: 20")));
  EXPECT_EQ(preview.picture().size(), QSize(126, 63));
  preview.previewBox().setChecked(false);  // reloads without a picture
  EXPECT_TRUE(preview.isActive());
  EXPECT_TRUE(preview.picture().isNull());
  for (const std::string& path : {dir.file("fake.psd"), dir.path().string(), dir.file("missing.png")}) {
    preview.showFile(QString::fromStdString(path));
    EXPECT_FALSE(preview.isActive()) << path;
    EXPECT_EQ(preview.sizeText(), QStringLiteral("大きさ:"));
    EXPECT_EQ(preview.timeText(), QStringLiteral("更新日:"));
    EXPECT_TRUE(preview.picture().isNull());
  }
}

TEST_F(FileDialogTest, TheRecordingDialogsUseTheirKindsAndReturnTheOpenPausedChoice) {
  std::vector<int32_t> kinds;
  (void)setFileDialogRunner([&kinds](SFileDialogRequest& r) {
    kinds.push_back(r.kind);
    r.fileName = "/x/rec.ke4";
    r.openPaused = true;
    return true;
  });
  SFileDialogRequest request;
  bool paused = false;
  EXPECT_TRUE(openDocumentDialog(nullptr, request, paused));
  EXPECT_TRUE(paused);
  EXPECT_TRUE(saveDocumentDialog(nullptr, request));
  EXPECT_EQ(kinds, (std::vector<int32_t>{2, 10}));
  (void)setFileDialogRunner(nullptr);

  request.kind = 2;
  TPreviewFileDialog dialog(nullptr, request);
  QCheckBox* box = dialog.addCheckBox(QStringLiteral("停止状態で開く(&A)"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->parentWidget()->objectName(), QStringLiteral("PreviewPanel"));
}

TEST_F(FileDialogTest, TheProgressWindowShowsWholePercentages) {
  TProgressDlg dlg(nullptr, 3, "title", "message");
  EXPECT_EQ(dlg.titleText(), QStringLiteral("title"));
  EXPECT_EQ(dlg.percentText(), QStringLiteral("0%"));
  const int expected[] = {33, 66, 100, 100};
  for (int e : expected) {
    dlg.step(1);
    EXPECT_EQ(dlg.barValue(), e);
    EXPECT_EQ(dlg.percentText(), QString::number(e) + QLatin1Char('%'));
  }
  dlg.setTotal(0, 1);
  EXPECT_EQ(dlg.percentText(), QStringLiteral("100%"));
  dlg.setText("next");
  EXPECT_EQ(dlg.messageText(), QStringLiteral("next"));
}

}  // namespace
}  // namespace pg
