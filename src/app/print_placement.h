#pragma once
// The print dialog without its widgets: the printer's page geometry, the
// image, and where and how large the image goes on the page (in the
// printer's device pixels), with the fit, centre and repeat switches, the
// preview's geometry and the record handed to the print job.
#include <cstdint>
#include <string>

#include "core/rect.h"

namespace pg {

class TMTC;

struct SPrinterInfo {
  int32_t orientation = 0;  // 0 portrait, 1 landscape
  float paperW = 0, paperH = 0;
  float printableX = 0, printableY = 0, printableW = 0, printableH = 0;
  int32_t dpiX = 0, dpiY = 0;
  std::string deviceName, formName;
  int32_t colourMode = 2;  // 1 monochrome, 2 colour
  int32_t copies = 1;
  // A page without size or resolution cannot be printed on.
  bool usable() const { return paperW > 0 && paperH > 0 && printableW > 0 && printableH > 0 && dpiX > 0 && dpiY > 0; }
};

struct SPrintImage {
  int32_t width = 0, height = 0, resolution = 0;
  bool valid() const { return width > 0 && height > 0 && resolution > 0; }
};

// What the print job takes from the dialog.
struct SPrintRecord {
  int32_t repeatX = 1, repeatY = 1;
  bool fit = false;
  bool fitOrCentre = false;
  float xMm = 0, yMm = 0;
  float scale = 1;
};

class CPrintPlacement {
 public:
  // Opens on the window's print settings: repeat counts, fit, fit-or-centre,
  // the position in millimetres and the scale factor.
  CPrintPlacement(const SPrinterInfo& printer, const SPrintImage& image, const SPrintRecord& settings = {1, 1, false, true, 0, 0, 1});

  const SPrinterInfo& printer() const { return printer_; }
  const SPrintImage& image() const { return image_; }
  // A new page set-up: the placement is worked out again.
  void setPrinter(const SPrinterInfo& printer);

  float x = 0, y = 0, w = 0, h = 0;
  int32_t repeatX() const { return repeatX_; }
  int32_t repeatY() const { return repeatY_; }
  bool fit() const { return fit_; }
  bool centre() const { return centre_; }
  bool repeat() const { return repeat_; }
  bool logicalScale() const { return logical_; }

  void setFit(bool on);
  void setCentre(bool on);
  void setRepeat(bool on);
  // Counts below 1 are taken as 1.
  void setRepeatCounts(int32_t rx, int32_t ry);
  void setPosition(float px, float py);
  // The size keeps the image's aspect: a width sets the height and the other way round.
  void setWidth(float width);
  void setHeight(float height);
  // The scale: per cent of the image printed at its own resolution, or with
  // the logical unit per cent of one device pixel per image pixel.
  void setLogicalScale(bool on) { logical_ = on; }
  float scaleFactor() const;
  void setScaleFactor(float factor);

  // Which edits are open under the switches.
  bool positionEditable() const { return !centre_ && !fit_; }
  bool sizeEditable() const { return !fit_; }
  bool repeatEditable() const { return repeat_; }

  SPrintRecord record() const;
  // Fits and centres again where the switches ask for it.
  void apply();

  // The preview: the paper fitted into the box less 4 pixels a side and
  // centred, and the image rectangle on it.
  struct SPreview {
    TRectF paper;
    TRectF image;
  };
  SPreview preview(int32_t boxW, int32_t boxH) const;
  // A press in the preview starts a drag on a corner handle (11 x 11) or,
  // while centre is off, inside the image.
  bool startsDrag(const SPreview& p, float px, float py) const;
  // A drag step in preview pixels; moves only while fit and centre are off.
  void dragBy(const SPreview& p, float dx, float dy);

 private:
  void fitNow();
  void centreNow();

  SPrinterInfo printer_;
  SPrintImage image_;
  int32_t repeatX_ = 1, repeatY_ = 1;
  bool fit_ = false, centre_ = false, repeat_ = false, logical_ = false;
};

// Draws the composite scaled into `target` (the target rectangle in the
// target's pixels, clipped to the target): every output pixel averages
// n x n samples of the image, alpha 255.
void sampleImageInto(const TMTC& image, TMTC& target, const TRect& targetRect, int32_t n);

}  // namespace pg
