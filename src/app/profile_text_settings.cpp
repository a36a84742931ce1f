#include "app/profile_text_settings.h"

#include <algorithm>

#include "app/app_profile.h"

namespace pg {

STextToolSettings CProfileTextSettings::load() const {
  STextToolSettings s = session_;
  s.faceName = profile_.face;
  s.size = std::max(0, profile_.point);
  s.charSet = uint8_t(std::clamp(profile_.charset, 0, 255));
  if (profile_.charset < 0) s.charSet = STextToolSettings{}.charSet;
  s.charSpacing = profile_.spacing;
  s.lineSpacing = profile_.leading;
  s.italic = profile_.italic;
  s.bold = profile_.bold;
  s.vertical = profile_.vertical;
  s.useFont = profile_.useFont;
  s.preview = profile_.usePreview;
  s.left = profile_.fontDlgX;
  s.top = profile_.fontDlgY;
  s.width = profile_.fontDlgW;
  s.height = profile_.fontDlgH;
  return s;
}

void CProfileTextSettings::save(const STextToolSettings& s) {
  session_ = s;
  profile_.face = s.faceName;
  profile_.point = s.size;
  profile_.charset = s.charSet;
  profile_.spacing = s.charSpacing;
  profile_.leading = s.lineSpacing;
  profile_.italic = s.italic;
  profile_.bold = s.bold;
  profile_.vertical = s.vertical;
  profile_.useFont = s.useFont;
  profile_.usePreview = s.preview;
  profile_.fontDlgX = s.left;
  profile_.fontDlgY = s.top;
  profile_.fontDlgW = s.width;
  profile_.fontDlgH = s.height;
}

}  // namespace pg
