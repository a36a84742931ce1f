#include "ui/appearance_manager.h"

#include "ui/appearance_masks.h"
#include "ui/text_flags.h"

namespace pg {

SGlyphStateColors glyphStateColors(const TUiSysColors& c, uint8_t state) {
  switch (state) {
    case gsActive:
      return {c.highlight, c.highlightText, c.highlight, c.highlightText, c.highlight, c.highlight};
    case gsDisabled:
      return {c.btnShadow, c.btnFace, c.grayText, c.btnFace, c.btnShadow, c.btnHighlight};
    default:
      return {c.btnShadow, c.btnFace, c.windowText, c.window, c.btnShadow, c.btnHighlight};
  }
}

namespace {

std::unique_ptr<TMemoryGraphic> makeGraphic(int32_t w, int32_t h, TUiColor background) {
  return std::make_unique<TMemoryGraphic>(w, h, background);
}

TUiColor paletteColor(const TUiSysColors& c, char index) {
  // The system colours of the indices '1' to '6'.
  static constexpr TUiColor TUiSysColors::*kPalette[] = {&TUiSysColors::windowFrame, &TUiSysColors::dkShadow3D,
                                                         &TUiSysColors::btnShadow,   &TUiSysColors::btnFace,
                                                         &TUiSysColors::light3D,     &TUiSysColors::btnHighlight};
  if (index < '1' || index > '6') return uiClear;
  return c.*kPalette[index - '1'];
}

std::unique_ptr<TMemoryGraphic> fromIndexMask(const SIndexMask& m, const TUiSysColors& c) {
  auto g = makeGraphic(m.width, m.height, uiClear);
  if (!g->isValid()) return g;
  for (int32_t y = 0; y < m.height; ++y)
    for (int32_t x = 0; x < m.width; ++x) {
      const char index = m.rows[y][x];
      if (index >= '1' && index <= '6') g->setPixel(x, y, uiWithAlpha(paletteColor(c, index), 255));
    }
  return g;
}

// The rim disc, the face disc inside it and the symbol: the drop-down and
// disc glyphs. The background is the rim colour without alpha, so that the
// soft edge blends toward the rim.
std::unique_ptr<TMemoryGraphic> discGlyph(int32_t w, int32_t h, TPoint at, int32_t symbol, TPoint symbolAt,
                                          const SGlyphStateColors& s) {
  auto g = makeGraphic(w, h, uiWithAlpha(s.rim, 0));
  g->fillDisc(at, 11, s.rim, copyChannel, lerpChannel);
  g->fillDisc({at.X + 1, at.Y + 1}, 9, s.face, lerpChannel, keepChannel);
  placeSymbol(*g, symbol, symbolAt.X, symbolAt.Y, s.symbol);
  return g;
}

}  // namespace

namespace {

// Red, green and blue of the pixel move toward the colour by m / 255; alpha stays.
void tintPixel(TMemoryGraphic& g, int32_t x, int32_t y, uint8_t m, TUiColor colour) {
  if (m == 0 || !g.contains(x, y)) return;
  uint32_t* p = g.pixelAddr(x, y);
  const float f = static_cast<float>(m) / 255.0f;
  *p = packRgba(lerpChannel(uiBlue(*p), uiBlue(colour), f), lerpChannel(uiGreen(*p), uiGreen(colour), f),
                lerpChannel(uiRed(*p), uiRed(colour), f), uiAlpha(*p));
}

}  // namespace

void placeSymbol(TMemoryGraphic& g, int32_t symbol, int32_t x, int32_t y, TUiColor colour) {
  if (symbol < 0 || symbol > kCheckMarkSymbol) return;
  for (int32_t j = 0; j < kSymbolSize; ++j)
    for (int32_t i = 0; i < kSymbolSize; ++i) tintPixel(g, x + i, y + j, symbolStrength(kSymbolMasks[symbol][j][i]), colour);
}

void placeMark(TMemoryGraphic& g, int32_t mark, int32_t x, int32_t y, TUiColor colour) {
  if (mark < 0 || mark > 1) return;
  for (int32_t j = 0; j < kMarkHeight; ++j)
    for (int32_t i = 0; i < kMarkWidth; ++i) tintPixel(g, x + i, y + j, kMarkMasks[mark][j][i], colour);
}

TAppearanceManager::TAppearanceManager(const TUiSysColors& colors) : colors_(colors) {
  const TUiSysColors& c = colors_;
  // Frame graphic 0: a black ring whose alpha follows its coverage, with a
  // white ring blended inside it.
  frames_[0] = makeGraphic(11, 11, uiClear);
  frames_[0]->drawRing({0, 0}, 11, 4, uiOpaqueBlack, keepChannel, lerpChannel);
  frames_[0]->drawRing({1, 1}, 9, 2, uiOpaqueWhite, lerpChannel, keepChannel);
  for (size_t i = 1; i < frames_.size(); ++i) frames_[i] = fromIndexMask(kFrameMasks[i - 1], c);
  for (size_t i = 0; i < tabs_.size(); ++i) tabs_[i] = fromIndexMask(kTabMasks[i], c);

  for (uint8_t state = 0; state < kGlyphStates; ++state) {
    const SGlyphStateColors s = glyphStateColors(c, state);
    drops_[state] = discGlyph(17, 15, {3, 2}, dgTriangleDown, {5, 4}, s);
    for (int32_t kind = 0; kind < kDiscGlyphKinds; ++kind)
      discs_[static_cast<size_t>(kind * kGlyphStates + state)] = discGlyph(11, 11, {0, 0}, kind, {2, 2}, s);
    for (int32_t kind = 0; kind < 2; ++kind) {
      auto box = makeGraphic(11, 11, uiWithAlpha(s.rim, 255));
      box->frameRect({0, 0, 11, 11}, 1, s.rim, copyChannel, lerpChannel);
      box->fillRect({1, 1, 10, 10}, s.checkFace, lerpChannel, keepChannel);
      if (kind == 1) placeSymbol(*box, kCheckMarkSymbol, 2, 2, s.symbol);
      checks_[static_cast<size_t>(kind * kGlyphStates + state)] = std::move(box);

      auto mark = makeGraphic(13, 13, uiWithAlpha(s.face, 255));
      mark->frameBevel({0, 0, 13, 13}, 1, s.bevelTopLeft, s.bevelBottomRight, copyChannel, lerpChannel);
      mark->fillRect({1, 1, 12, 12}, s.face, lerpChannel, keepChannel);
      placeMark(*mark, kind, 2, 3, s.symbol);
      marks_[static_cast<size_t>(kind * kGlyphStates + state)] = std::move(mark);
    }
  }
}

namespace {

template <size_t N>
const TMemoryGraphic& pick(const std::array<std::unique_ptr<TMemoryGraphic>, N>& list, size_t i,
                           const TMemoryGraphic& empty) {
  return i < N && list[i] ? *list[i] : empty;
}

size_t slot(uint8_t kind, uint8_t state, uint8_t kinds) {
  // An out-of-range state must not land on the next kind's glyphs.
  if (state >= kGlyphStates || kind >= kinds) return SIZE_MAX;
  return static_cast<size_t>(kind) * kGlyphStates + state;
}

}  // namespace

const TMemoryGraphic& TAppearanceManager::frameGraphic(uint8_t index) const { return pick(frames_, index, empty_); }
const TMemoryGraphic& TAppearanceManager::tabGraphic(bool active) const { return pick(tabs_, active ? 1 : 0, empty_); }
const TMemoryGraphic& TAppearanceManager::dropGlyph(uint8_t state) const { return pick(drops_, state, empty_); }
const TMemoryGraphic& TAppearanceManager::glyph(uint8_t kind, uint8_t state) const {
  return pick(discs_, slot(kind, state, kDiscGlyphKinds), empty_);
}
const TMemoryGraphic& TAppearanceManager::checkBoxGlyph(uint8_t kind, uint8_t state) const {
  return pick(checks_, slot(kind, state, 2), empty_);
}
const TMemoryGraphic& TAppearanceManager::markGlyph(uint8_t kind, uint8_t state) const {
  return pick(marks_, slot(kind, state, 2), empty_);
}

namespace {

std::unique_ptr<TAppearanceManager>& processManager() {
  static std::unique_ptr<TAppearanceManager> manager;
  return manager;
}

}  // namespace

TAppearanceManager* appearanceManager() { return processManager().get(); }

TAppearanceManager& createAppearanceManager(const TUiSysColors& colors) {
  processManager() = std::make_unique<TAppearanceManager>(colors);
  return *processManager();
}

void resetAppearanceManager() { processManager().reset(); }

const TUiSysColors& uiSysColors() {
  static const TUiSysColors classic = classicUiSysColors();
  const TAppearanceManager* m = appearanceManager();
  return m != nullptr ? m->colors() : classic;
}

bool paintCaptionTab(TMemoryGraphic& g, std::string_view caption, TRect& rect, uint32_t flags, bool active,
                     const TAppearanceManager& appearance, ITextDrawer& text) {
  const TUiSysColors& c = appearance.colors();
  if (flags & dtCalcRect) {
    rect = {0, 0, 1, 1};
    if (!text.drawText(g, caption, rect, c.windowText, flags)) return false;
    rect.Bottom = kCaptionTabHeight;
    rect.Right += kCaptionTabExtraWidth;
    return true;
  }
  const TRect clipped = g.clipToGraphic(rect);
  const int32_t r = clipped.Right;
  const int32_t b = clipped.Top + kCaptionTabHeight;
  auto fill = [&](TRect box, TUiColor colour) { return g.fillRect(box, colour, copyChannel, copyChannel); };
  if (!fill({9, 0, r - 1, 1}, c.windowFrame)) return false;
  if (!fill({9, 1, r - 1, 2}, active ? c.btnHighlight : c.btnFace)) return false;
  if (!fill({9, 2, r - 1, b}, c.btnFace)) return false;
  TRect textBox{11, 2, r - 1, b};
  if (!text.drawText(g, caption, textBox, c.windowText, flags)) return false;
  const TMemoryGraphic& tab = appearance.tabGraphic(active);
  if (!tab.isValid()) return false;
  if (!g.copyPixels(0, 0, 9, kCaptionTabHeight, tab.pixels(), 0, 0, tab.width(), tab.height())) return false;
  bool ok = g.copyPixels(r - 9, 0, 9, kCaptionTabHeight, tab.pixels(), 9, 0, tab.width(), tab.height());
  if (!ok || active) return ok;
  if (!fill({9, b - 1, r - 1, b}, c.btnHighlight)) return false;
  return fill({9, b - 2, r - 1, b - 1}, c.windowFrame);
}

}  // namespace pg
