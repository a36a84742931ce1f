// Writes the seed corpus of the legacy_stream fuzz target into the folder
// given as the argument: streams written by the stream's own writer, and cut
// and corrupted ones. Build target make_legacy_stream_corpus; run it as
//   build/fuzz/make_legacy_stream_corpus fuzz/corpus/legacy_stream
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "record/legacy_stream_fixture.h"

namespace {

using namespace pg;
using Bytes = std::vector<uint8_t>;

std::string gFolder;

void save(const char* name, const Bytes& bytes) {
  std::ofstream out(gFolder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  TEventPacket packet;
  SLegacyStreamInfo info;
  std::printf("%-24s %s\n", name, packet.adopt(bytes.data(), bytes.size(), info) ? "passes" : "fails");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s folder\n", argv[0]);
    return 2;
  }
  gFolder = argv[1];
  const uint32_t blue = 0x0000FF;
  test::LegacyStream work(120, 90);
  work.stroke(0, 0, 0x203040, 3 * 256, {{5, 5, 1024}, {20, 9, 700}, {40, 30, 300}})
      .record(256, {3})
      .record(273, {1})
      .stroke(2, 1, 0xFF8000, 8 * 256, {{60, 10, 512}, {62, 40, 900}})
      .polygon(1, &blue, {{10, 10}, {50, 12}, {30, 60}})
      .polygon(0, nullptr, {{70, 70}, {100, 75}, {80, 88}})
      .record(275, {1, 128})
      .record(295, {0, 2, 0, 3, 0, 10, 0, 12, 0})
      .record(258, {})
      .canvas(514, 140, 100)
      .record(516, {})
      .record(529, {})
      .end();
  save("ok_work", work.bytes());
  test::LegacyStream small(640, 480);
  small.end();
  save("ok_canvas_only", small.bytes());
  Bytes cut = work.bytes();
  cut.resize(cut.size() / 2);
  save("broken_cut_in_half", cut);
  Bytes noEnd = work.bytes();
  noEnd.resize(noEnd.size() - 2);
  save("broken_no_end", noEnd);
  Bytes badCode = work.bytes();
  badCode[6] = 0x07;  // the first stroke's code becomes 7
  save("broken_unknown_code", badCode);
  Bytes bigCount = work.bytes();
  bigCount[6 + 2 + 23] = 0xFF;  // the first stroke claims 255 + 2 points
  save("broken_point_count", bigCount);
  return 0;
}
