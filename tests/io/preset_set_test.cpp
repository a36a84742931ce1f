// The frame the three chunked preset files share: their 32-byte header and
// the codes of a header or count they cannot take, one table for all three.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "brush/gradient_mngr.h"
#include "io/gradient_file.h"
#include "io/pen_method_file.h"
#include "io/pen_shape_file.h"
#include "io/preset_fixture.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "io/swatch_list.h"
#include "platform/res_ids.h"
#include "platform/string_table.h"
#include "brush/paint_param.h"

namespace pg {
namespace {

using testing::Bytes;
using testing::ByteWriter;
using testing::cat;

struct Format {
  const char* tag;
  uint8_t version;
  size_t countOffset;
  std::function<FileResult(const std::string& path)> load;
};

const Format kFormats[] = {
    {"GRST", 2, 10,
     [](const std::string& path) {
       CGradMngr list(false);
       return loadGradientFile(path, list, false);
     }},
    {"PSST", 1, 12,
     [](const std::string& path) {
       CPenShapeMngr list;
       return loadPenShapeFile(path, list, false);
     }},
    {"PMST", 1, 12,
     [](const std::string& path) {
       CPenMethodMngr list;
       return loadPenMethodFile(path, list, false);
     }},
};

Bytes header(const Format& f, uint32_t size, uint8_t version, uint16_t count) {
  Bytes b = ByteWriter().tag(f.tag).u32(size).u8(version).zeros(23).bytes;
  b[f.countOffset] = uint8_t(count);
  b[f.countOffset + 1] = uint8_t(count >> 8);
  return b;
}

using PresetSetTest = testing::PresetFileTest;

TEST_F(PresetSetTest, HeaderCodesOfEveryChunkedFormat) {
  const Bytes someChunk = ByteWriter().tag("XXXX").u32(4).u32(0).bytes;
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.tag);
    const Bytes whole = header(f, 24, f.version, 1);
    Bytes wrongTag = whole;
    wrongTag[3] = 'X';
    const struct {
      const char* what;
      Bytes bytes;
      FileResult code;
    } cases[] = {
        {"short header", Bytes(whole.begin(), whole.begin() + 31), kRcShortRead},
        {"wrong tag", cat({wrongTag, someChunk}), kRcWrongTag},
        {"wrong header size", cat({header(f, 20, f.version, 1), someChunk}), kRcHeaderSize},
        {"later version", cat({header(f, 24, uint8_t(f.version + 1), 1), someChunk}), kRcVersion},
        {"count 0", cat({header(f, 24, f.version, 0), someChunk}), kRcNothing},
        {"no item of the kind", cat({header(f, 24, f.version, 3), someChunk}), kRcNothing},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.what);
      EXPECT_EQ(f.load(put("f", c.bytes)), c.code);
    }
    EXPECT_EQ(f.load(dir.file("missing")), kRcFileMissing);
  }
  EXPECT_TRUE(messages.shown().empty());
}


// The header bytes a save writes, whole: what earlier versions read back.
TEST_F(PresetSetTest, SavedHeadersKeepEveryByte) {
  const std::string path = dir.file("set");
  const struct {
    const char* what;
    std::function<FileResult()> save;
    Bytes header;
  } cases[] = {
      {"gradients with the fixed entry before the current one",
       [&] {
         CGradMngr list(true);
         EXPECT_GE(list.addTwoColor(0xFF0000FFu, 0xFFFF0000u), 0);
         EXPECT_GE(list.addTwoColor(0xFF00FF00u, 0xFF000000u), 0);
         list.select(2);
         return saveGradientFile(path, list);
       },
       ByteWriter().tag("GRST").u32(24).u8(2).u8(0).u16(2).u32(0).u16(1).u16(0).zeros(12).bytes},
      {"gradients whose fixed entry is current",
       [&] {
         CGradMngr list(true);
         EXPECT_GE(list.addTwoColor(0xFF0000FFu, 0xFFFF0000u), 0);
         list.select(0);
         return saveGradientFile(path, list);
       },
       ByteWriter().tag("GRST").u32(24).u8(2).u8(0).u16(1).u32(1).u16(0).u16(0).zeros(12).bytes},
      {"gradients without a fixed entry",
       [&] {
         CGradMngr list(false);
         EXPECT_GE(list.addTwoColor(0xFF0000FFu, 0xFFFF0000u), 0);
         EXPECT_GE(list.addTwoColor(0xFF00FF00u, 0xFF000000u), 0);
         EXPECT_GE(list.addTwoColor(0xFF00FF00u, 0xFF0000FFu), 0);
         list.select(2);
         return saveGradientFile(path, list);
       },
       ByteWriter().tag("GRST").u32(24).u8(2).u8(0).u16(3).u32(0).u16(2).u16(0xFFFF).zeros(12).bytes},
      {"pen methods with a second selection and slots",
       [&] {
         CPenMethodMngr list;
         list.addMissingKinds();
         for (uint8_t kind : {9, 12}) {
           auto m = std::make_unique<CPenMethodObj>();
           EXPECT_TRUE(TPaintParam(kind).storeToPenMethod(m.get()));
           EXPECT_GE(list.add(std::move(m)), 0);
         }
         list.setCurrentIndex(9);
         list.setSecondSelection(4, false);
         list.setSlots({1, 3, 5, 0, 10});
         return savePenMethodFile(path, list);
       },
       ByteWriter().tag("PMST").u32(24).u8(1).zeros(3).u16(11).u16(9).u32(3).u16(4).u8(1).u8(3).u8(5).u8(0).u8(10).zeros(5).bytes},
      {"pen methods with a slot past one byte",
       [&] {
         CPenMethodMngr list;
         list.addMissingKinds();
         for (int i = 0; i < 300; ++i) {
           auto m = std::make_unique<CPenMethodObj>();
           EXPECT_TRUE(TPaintParam(9).storeToPenMethod(m.get()));
           EXPECT_GE(list.add(std::move(m)), 0);
         }
         list.setCurrentIndex(2);
         list.setSlots({1, 300, 5, 0, 10});
         return savePenMethodFile(path, list);
       },
       ByteWriter().tag("PMST").u32(24).u8(1).zeros(3).u16(309).u16(2).u32(0).zeros(12).bytes},
      {"pen shapes",
       [&] {
         CPenShapeMngr list;
         list.addDefaults();
         list.select(3);
         return savePenShapeFile(path, list);
       },
       ByteWriter().tag("PSST").u32(24).u8(1).zeros(3).u16(kBuiltinPenShapeCount).u16(3).zeros(16).bytes},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.save(), kRcOk);
    const Bytes b = testing::readFile(path);
    ASSERT_GE(b.size(), size_t{32});
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 32), c.header);
  }
}

// A set that cannot be written says so, with the path, for every kind the
// user can save from the editors, the panels' menus and the exit query.
TEST_F(PresetSetTest, ASaveThatFailsShowsThePath) {
  const std::string folder = dir.file("no such folder") + "/";
  CGradMngr gradients(false);
  CPenShapeMngr nibs;
  CPenMethodMngr brushes;
  TSwatchMngr swatches;
  const struct {
    std::string path;
    std::function<bool(const std::string&)> save;
  } cases[] = {
      {folder + "set.kgs", [&](const std::string& p) { return gradMngrSaveToFile(gradients, p); }},
      {folder + "set.psh", [&](const std::string& p) { return nibs.saveToFile(p); }},
      {folder + "set.pmt", [&](const std::string& p) { return brushes.saveToFile(p); }},
      {folder + "set.kpl", [&](const std::string& p) { return swatches.saveToFile(p); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    messages.clear();
    EXPECT_FALSE(c.save(c.path));
    EXPECT_EQ(texts(), std::vector<std::string>{formatRes(kResSaveFailed, {c.path})});
  }
}

}  // namespace
}  // namespace pg
