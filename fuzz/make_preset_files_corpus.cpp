// Writes the seed corpus of the preset_files fuzz target into the folder
// given as the argument: files written by the preset writers (gradient sets,
// pen shapes, pen methods, the four palette formats), and truncated and
// corrupted copies of them. Build target make_preset_files_corpus; run it as
//   build/fuzz/make_preset_files_corpus fuzz/corpus/preset_files
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "brush/gradient_mngr.h"
#include "core/planes.h"
#include "io/gradient_file.h"
#include "io/pen_method_file.h"
#include "io/pen_shape_file.h"
#include "io/preset_pen_methods.h"
#include "io/preset_pen_shapes.h"
#include "io/swatch_list.h"

namespace {

using namespace pg;
using Bytes = std::vector<uint8_t>;

std::string gFolder;

std::string pathOf(const std::string& name) { return gFolder + "/" + name; }

Bytes load(const std::string& name) {
  std::ifstream in(pathOf(name), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void save(const std::string& name, const Bytes& bytes) {
  std::ofstream out(pathOf(name), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  std::printf("%-32s %6zu bytes\n", name.c_str(), bytes.size());
}

// A copy of a written seed with some bytes changed, or cut short.
void variant(const std::string& from, const std::string& name, std::initializer_list<std::pair<size_t, uint8_t>> edits,
             size_t cut = SIZE_MAX) {
  Bytes b = load(from);
  for (const auto& [at, value] : edits)
    if (at < b.size()) b[at] = value;
  if (cut < b.size()) b.resize(cut);
  save(name, b);
}

void report(const char* name, FileResult code) { std::printf("%-32s written, code %d\n", name, int{fileResultNumber(code)}); }

void gradientSeeds() {
  CGradMngr list(true);
  list.addBuiltins();
  list.getItem(2)->Stops.setName("グラデーション");
  list.select(2);
  report("set.kgs", saveGradientFile(pathOf("set.kgs"), list));
  // The first gradient record begins at 32; its name length is at 32 + 34.
  variant("set.kgs", "broken_count.kgs", {{10, 9}});
  variant("set.kgs", "broken_version.kgs", {{8, 3}});
  variant("set.kgs", "broken_chunk_size.kgs", {{36, 0xFF}, {37, 0xFF}, {38, 0xFF}});
  variant("set.kgs", "broken_name_length.kgs", {{32 + 34, 0xF0}, {32 + 35, 0x7F}});
  variant("set.kgs", "broken_record_version.kgs", {{32 + 10, 2}});
  variant("set.kgs", "broken_cut.kgs", {}, 100);
  variant("set.kgs", "old_version_1.kgs", {{8, 1}, {12, 0}});
}

void penShapeSeeds() {
  CPenShapeMngr list;
  list.addDefaults();
  TChannel nib(24, 10);
  for (int32_t i = 0; i < 240; ++i) nib.Bits[i] = uint8_t(i);
  auto image = std::make_unique<CPenShapeObj>();
  if (!image->setImage(nib, true)) std::abort();
  image->setScale(200);
  if (list.add(std::move(image)) < 0) std::abort();
  list.select(7);
  report("nibs.psh", savePenShapeFile(pathOf("nibs.psh"), list));
  // The first nib record begins at 40 (after its head at 32).
  variant("nibs.psh", "broken_kind.psh", {{40, 2}});
  variant("nibs.psh", "broken_name_length.psh", {{42, 0xFF}});
  variant("nibs.psh", "broken_record_size.psh", {{36, 20}});
  variant("nibs.psh", "broken_cut_picture.psh", {}, load("nibs.psh").size() - 20);
  variant("nibs.psh", "broken_count.psh", {{12, 0}, {13, 1}});
}

void penMethodSeeds() {
  CPenMethodMngr list;
  list.addMissingKinds();
  auto m = std::make_unique<CPenMethodObj>();
  m->setParams(list.getItem(3)->getParams());
  m->setName("ブラシ");
  TMTC icon(40, 40);
  for (int32_t i = 0; i < 1600; ++i) reinterpret_cast<uint32_t*>(icon.Bits)[i] = 0xFF000000u | uint32_t(i * 2654435761u);
  if (!m->setIcon(&icon)) std::abort();
  TChannel nib(12, 12);
  for (int32_t i = 0; i < 144; ++i) nib.Bits[i] = uint8_t(i * 3);
  if (!m->penShape()->setImage(nib, false)) std::abort();
  if (list.add(std::move(m)) < 0) std::abort();
  list.setCurrentIndex(9);
  list.setSecondSelection(2, false);
  list.setSlots({0, 9, 3, 4, 1});
  report("brushes.pmt", savePenMethodFile(pathOf("brushes.pmt"), list));
  // The first method record begins at 40 (after its head at 32).
  variant("brushes.pmt", "broken_flags.pmt", {{48, 0x03}});
  variant("brushes.pmt", "broken_name_length.pmt", {{42, 0xFF}, {43, 0xFF}});
  variant("brushes.pmt", "broken_version.pmt", {{44, 7}});
  variant("brushes.pmt", "broken_slots.pmt", {{22, 200}, {16, 3}});
  variant("brushes.pmt", "broken_cut.pmt", {}, 400);
}

void paletteSeeds() {
  TSwatchMngr list;
  list.addDefaultColors();
  list.setGrid(16, 16);
  for (const char* name : {"palette.kpl", "palette.aco", "palette.pcs", "palette.txt"})
    report(name, saveSwatchFile(pathOf(name), list));
  variant("palette.kpl", "broken_count.kpl", {{12, 0xFF}, {13, 0xFF}, {14, 0xFF}, {15, 0x7F}});
  variant("palette.aco", "broken_version.aco", {{1, 2}});
  variant("palette.aco", "broken_spaces.aco", {{5, 1}, {15, 2}, {25, 8}, {35, 9}});
  save("text_odd.txt", Bytes{'r', ':', '9', '9', '9', '9', '9', '9', '9', '9', '9', '9', '9', ',', ' ', 'g', ':', '\r',
                             'C', 'O', 'L', 'S', ' ', ' ', '7', '7', '7', '\n', 'B', ':', '4'});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  gFolder = argv[1];
  std::filesystem::create_directories(gFolder);
  gradientSeeds();
  penShapeSeeds();
  penMethodSeeds();
  paletteSeeds();
  return 0;
}
