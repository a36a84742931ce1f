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

}  // namespace
}  // namespace pg
