#include "ui/ui_sys_colors.h"

#include <initializer_list>

namespace pg {

void deriveUiSysColors(TUiSysColors& c) {
  for (TUiColor* base : {&c.dkShadow3D, &c.btnFace, &c.btnHighlight, &c.light3D, &c.btnShadow, &c.grayText,
                         &c.highlight, &c.highlightText, &c.window, &c.windowFrame, &c.windowText})
    *base = uiWithAlpha(*base, 255);
  c.clearFace = uiWithAlpha(c.btnFace, 0);
  c.softHighlight = uiWithAlpha(c.highlight, 128);
  c.softGrayText = uiWithAlpha(c.grayText, 128);
  c.faintFace = uiWithAlpha(c.btnFace, 170);
}

TUiSysColors classicUiSysColors() {
  TUiSysColors c;
  c.dkShadow3D = 0x404040;
  c.btnFace = 0xD4D0C8;
  c.btnHighlight = 0xFFFFFF;
  c.light3D = 0xD4D0C8;
  c.btnShadow = 0x808080;
  c.grayText = 0x808080;
  c.highlight = 0x0A246A;
  c.highlightText = 0xFFFFFF;
  c.window = 0xFFFFFF;
  c.windowFrame = 0x000000;
  c.windowText = 0x000000;
  deriveUiSysColors(c);
  return c;
}

}  // namespace pg
