#pragma once
// The UI colour table: the platform's system colours as UI colours, plus four
// entries derived from them with a fixed alpha. Every control of the widget
// layer draws with these, so that its face follows the user's colour scheme.
// The Qt side fills the base entries from the application palette
// (ui/qt/qt_appearance.h); tests and tools use the classic scheme below.
#include "ui/ui_colour.h"

namespace pg {

struct TUiSysColors {
  // Base entries, opaque.
  TUiColor dkShadow3D = 0;     // palette 2 of the index masks
  TUiColor btnFace = 0;        // faces, glyph discs, tab bodies, palette 4
  TUiColor btnHighlight = 0;   // active tab top line, mark bevels, palette 6
  TUiColor light3D = 0;        // palette 5
  TUiColor btnShadow = 0;      // glyph rims, check-box frames, palette 3
  TUiColor grayText = 0;       // symbols of disabled glyphs
  TUiColor highlight = 0;      // rims and symbols of active glyphs
  TUiColor highlightText = 0;  // faces of active glyphs
  TUiColor window = 0;         // face of a normal check box
  TUiColor windowFrame = 0;    // tab lines, palette 1
  TUiColor windowText = 0;     // symbols of normal glyphs, tab captions
  // Derived entries: the base colour with another alpha.
  TUiColor clearFace = 0;     // button face, alpha 0
  TUiColor softHighlight = 0;  // highlight, alpha 128
  TUiColor softGrayText = 0;   // grey text, alpha 128
  TUiColor faintFace = 0;      // button face, alpha 170
};

// Makes every base entry opaque and sets the derived entries from them.
void deriveUiSysColors(TUiSysColors& c);

// The classic grey scheme, derived entries included.
TUiSysColors classicUiSysColors();

}  // namespace pg
