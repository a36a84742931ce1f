// Dialog kinds: filters, default and per-entry extensions, accepted
// extensions.
#include <gtest/gtest.h>

#include "io/file_dialog_kinds.h"

namespace pg {
namespace {

TEST(FileDialogKinds, FiltersExtensionsAndPreviewsByKind) {
  EXPECT_EQ(buildFileFilter(0),
            "Pigmora (*.kci)|*.kci|Pigmora1.1 (*.lgb)|*.LGB|BMP (*.bmp)|*.BMP|"
            "JPEG (*.jpg;*.jpeg;*.jpe;*.jif;*.jfif;*.jfi)|*.JPG;*.JPEG;*.JPE;*.JIF;*.JFIF;*.JFI|PNG (*.png)|*.PNG|"
            "すべての画像|*.kci;*.lgb;*.bmp;*.jpg;*.jpeg;*.jpe;*.jif;*.jfif;*.jfi;*.png|すべてのファイル|*.*");
  EXPECT_EQ(buildFileFilter(10), "Pigmora4 イベント (*.ke4)|*.ke4");
  EXPECT_EQ(buildFileFilter(17), "BMP (*.bmp)|*.BMP|PNG (*.png)|*.PNG");
  EXPECT_EQ(buildFileFilter(19), "");
  EXPECT_EQ(buildFileFilter(-1), "");
  struct Case {
    int32_t kind;
    const char* ext;
    FileDialogMode mode;
    bool preview;
    size_t entries;
  };
  const Case cases[] = {{0, ".kci", FileDialogMode::Open, true, 7},  {1, ".bmp", FileDialogMode::Open, true, 3},
                        {2, ".ke4", FileDialogMode::Open, true, 6},  {5, ".kpl", FileDialogMode::Open, false, 4},
                        {8, ".kci", FileDialogMode::Save, true, 4},  {13, ".kpl", FileDialogMode::Save, false, 3},
                        {17, ".bmp", FileDialogMode::Save, true, 2}, {18, ".cur", FileDialogMode::Open, false, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(defaultExtForKind(c.kind), c.ext) << c.kind;
    EXPECT_EQ(fileDialogKind(c.kind).mode, c.mode) << c.kind;
    EXPECT_EQ(fileDialogKind(c.kind).preview, c.preview) << c.kind;
    EXPECT_EQ(parseFileFilter(buildFileFilter(c.kind)).size(), c.entries) << c.kind;
  }
  EXPECT_EQ(extForFilterIndex(8, 3), ".jpg");
  EXPECT_EQ(extForFilterIndex(8, 9), ".kci");
  EXPECT_EQ(extForFilterIndex(13, 2), ".aco");
  EXPECT_EQ(extForFilterIndex(17, 2), ".png");
  EXPECT_EQ(extForFilterIndex(10, 1), ".ke4");
  EXPECT_EQ(replaceExtension("/a.b/pic.kci", ".jpg"), "/a.b/pic.jpg");
  EXPECT_EQ(replaceExtension("/a.b/pic", ".png"), "/a.b/pic.png");
  EXPECT_EQ(normaliseInitialDir("/home/x/"), "/home/x");
  EXPECT_EQ(normaliseInitialDir("/"), "/");
}

TEST(FileDialogKinds, AcceptedExtensions) {
  EXPECT_TRUE(extMatchesKind(".JPEG", 1));
  EXPECT_TRUE(extMatchesKind(".kv4", 2));
  EXPECT_FALSE(extMatchesKind(".kv4", 10));
  EXPECT_TRUE(extMatchesKind(".ani", 18));
  EXPECT_FALSE(extMatchesKind(".ani", 3));
  EXPECT_FALSE(extMatchesKind(".psd", 0));
  EXPECT_TRUE(extMatchesKind(".txt", 5));
  EXPECT_FALSE(extMatchesKind("", 0));
}

}  // namespace
}  // namespace pg
