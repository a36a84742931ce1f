// The text tool's rendering: 2,000 characters at 48 points laid out into a
// 4000 x 3000 coverage channel (Latin and Japanese text), and single glyphs
// rasterised at small, middle and large sizes.
#include <benchmark/benchmark.h>

#include <string>

#include "brush/text_glyphs.h"
#include "brush/text_raster.h"

namespace pg {
namespace {

SFontSpec benchFont(const char* face, int32_t points) {
  SFontSpec f;
  f.FaceName = face;
  f.Size = points;
  f.CharSet = kShiftJisCharSet;
  return f;
}

// Lines of 60 characters, 2,000 characters in all.
std::string paragraph(const std::string& word, size_t wordChars) {
  std::string text;
  size_t chars = 0, line = 0;
  while (chars < 2000) {
    text += word;
    chars += wordChars;
    line += wordChars;
    if (line >= 60) {
      text += "\r\n";
      line = 0;
    }
  }
  return text;
}

void renderParagraph(benchmark::State& state, const char* face, const std::string& text) {
  TChannel target(4000, 3000);
  STextJob job;
  job.Font = benchFont(face, 48);
  job.Text = text;
  job.Target = &target;
  job.X = 10;
  job.Y = 80;
  for (auto _ : state) benchmark::DoNotOptimize(renderText(job));
}

void BM_RenderLatin(benchmark::State& state) {
  renderParagraph(state, "DejaVu Sans", paragraph("Pigmora text ", 13));
}
BENCHMARK(BM_RenderLatin)->Unit(benchmark::kMillisecond);

void BM_RenderJapanese(benchmark::State& state) {
  renderParagraph(state, "IPAGothic", paragraph("日本語の文字を描く。", 10));
}
BENCHMARK(BM_RenderJapanese)->Unit(benchmark::kMillisecond);

void BM_RasterGlyph(benchmark::State& state) {
  SLogFont lf = logFontOf(benchFont("IPAGothic", 12));
  lf.Height = -int32_t(state.range(0));
  auto face = CFontFace::open(lf);
  SGlyphOutline outline;
  if (!face || !face->glyphOutline(U'描', outline)) {
    state.SkipWithError("the benchmark font has no outline for the glyph");
    return;
  }
  SGlyphBox box;
  std::vector<uint8_t> levels;
  for (auto _ : state) benchmark::DoNotOptimize(rasterGlyph(outline, box, levels));
}
BENCHMARK(BM_RasterGlyph)->Arg(16)->Arg(64)->Arg(256)->Arg(1024)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace pg
