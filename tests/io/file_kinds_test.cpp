#include "io/file_kinds.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

TEST(FileKinds, KindFromTheExtension) {
  struct Case {
    const char* path;
    FileKind kind;
  };
  const Case cases[] = {
      {"old.lgb", FileKind::LegacyDocument},
      {"old.lge", FileKind::LegacyRecording},
      {"picture.kci", FileKind::Native},
      {"PICTURE.KCI", FileKind::Native},
      {"Picture.KcI", FileKind::Native},
      {"/home/u/my.pictures/a.kci", FileKind::Native},
      {"picture.kci.bak", FileKind::None},
      {"/home/u/dir.kci/picture", FileKind::None},
      {"picture", FileKind::None},
      {"", FileKind::None},
      {"picture.", FileKind::None},
      {".kci", FileKind::Native},
      {"rec.kes", FileKind::EventsV1},
      {"rec.ke3", FileKind::EventsV3},
      {"rec.kv3", FileKind::EventsV3},
      {"rec.ke4", FileKind::EventsV4},
      {"rec.KV4", FileKind::EventsV4},
      {"rec.ke5", FileKind::None},
      {"a.bmp", FileKind::Bmp},
      {"a.jpg", FileKind::Jpeg},
      {"a.JPEG", FileKind::Jpeg},
      {"a.jpe", FileKind::Jpeg},
      {"a.jif", FileKind::Jpeg},
      {"a.jfif", FileKind::Jpeg},
      {"a.jfi", FileKind::Jpeg},
      {"a.png", FileKind::Png},
      {"a.psd", FileKind::Psd},
      {"a.tif", FileKind::None},
      {"a.kcix", FileKind::None},
      {"\xe7\x94\xbb\xe5\x83\x8f.Png", FileKind::Png},
  };
  for (const Case& c : cases) EXPECT_EQ(fileKindFromExt(c.path), c.kind) << "\"" << c.path << "\"";
}

}  // namespace
}  // namespace pg
