// Writes this program's glyph sheet as a 24-bit BMP (the sheet format: green
// the shade, red the coverage) and, for looking at the glyphs, a PNG contact
// sheet with every glyph in its three looks, enlarged, in the classic colours.
//   pg_glyph_sheet <sheet.bmp> <contact.png>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

#include "core/bmp_file.h"
#include "ui/glyph_artwork.h"
#include "ui/glyph_manager.h"
#include "ui/qt/graphic_image.h"

int main(int argc, char** argv) {
  using namespace pg;
  if (argc != 3) {
    std::fprintf(stderr, "usage: pg_glyph_sheet <sheet.bmp> <contact.png>\n");
    return 2;
  }
  // The numbers need fonts; no window is ever shown.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  TMTC sheet;
  if (!buildGlyphSheet(sheet) || !saveBmp24(sheet, argv[1], 72)) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  const TUiSysColors colors = classicUiSysColors();
  const TPgGlyphManager glyphs(sheet, colors);
  constexpr int kScale = 3, kColumns = 6, kPad = 6;
  constexpr int kCellW = 3 * (kGlyphSize * kScale + kPad) + 3 * kPad, kCellH = kGlyphSize * kScale + 2 * kPad + 14;
  const int rows = (kGlyphTypeCount + kColumns - 1) / kColumns;
  QImage out(kColumns * kCellW, rows * kCellH, QImage::Format_ARGB32);
  out.fill(QColor(uiRed(colors.btnFace), uiGreen(colors.btnFace), uiBlue(colors.btnFace)));
  QPainter p(&out);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  for (int type = 0; type < kGlyphTypeCount; ++type) {
    const int cx = (type % kColumns) * kCellW, cy = (type / kColumns) * kCellH;
    p.setPen(Qt::black);
    p.drawText(cx + kPad, cy + 12, QString::number(type));
    for (uint32_t state = 0; state < 3; ++state) {
      const QImage img = graphicImageConst(glyphs.glyph(static_cast<uint32_t>(type), state));
      const QRect target(cx + kPad + static_cast<int>(state) * (kGlyphSize * kScale + kPad), cy + 14 + kPad,
                         kGlyphSize * kScale, kGlyphSize * kScale);
      if (state == kGlyphActive) p.fillRect(target, QColor(uiRed(colors.highlightText), uiGreen(colors.highlightText), uiBlue(colors.highlightText)));
      if (state == kGlyphNormal) p.fillRect(target, QColor(uiRed(colors.window), uiGreen(colors.window), uiBlue(colors.window)));
      p.drawImage(target, img);
    }
  }
  p.end();
  if (!out.save(argv[2])) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
