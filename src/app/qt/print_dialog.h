#pragma once
// The print dialog ("印刷プレビュー"): the printer's page with a live preview of
// where the image goes, its position, size or scale, centring, fitting and
// repetition, over the placement model of app/print_placement.h. Printing
// itself draws the image on the printer at the chosen placement.
#include <QDialog>
#include <QImage>

#include <functional>

#include "app/print_placement.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPrinter;
class QSpinBox;

namespace pg {

class TMainForm;

// Fills the preview's picture of the image: draws the image scaled into the
// target rectangle of the plane (the band call-back of the document window).
using PrintDrawing = std::function<void(TMTC& target, const TRect& targetRect, int32_t samples)>;

// A copy of a plane's pixels as an image, whichever way its rows run.
QImage planeImage(const TMTC& plane);

// The page of a printer in its device pixels.
SPrinterInfo readPrinterInfo(QPrinter& printer);
// True when the system lists at least one printer.
bool hasPrinter();

class TPrintPreviewBox;

class TFormPrint : public QDialog {
  Q_OBJECT
 public:
  TFormPrint(QPrinter& printer, const SPrintImage& image, const SPrintRecord& settings, PrintDrawing drawing,
             QWidget* parent = nullptr);
  CPrintPlacement& placement() { return placement_; }
  // Shows the placement in the fields and redraws the preview.
  void refresh();

  QCheckBox* centreBox() const { return centre_; }
  QDoubleSpinBox* field(int which) const { return fields_[which]; }  // x, y, w, h, scale
  QComboBox* unitList(int which) const { return units_[which]; }      // x, y, w, h, scale
  QWidget* previewBox() const;

 private:
  void setupPrinter();
  float toDevice(int which, double value) const;
  double fromDevice(int which, float value) const;

  QPrinter& printer_;
  CPrintPlacement placement_;
  PrintDrawing drawing_;
  TPrintPreviewBox* preview_ = nullptr;
  QDoubleSpinBox* fields_[5] = {};
  QComboBox* units_[5] = {};
  QSpinBox* repeats_[2] = {};
  QCheckBox *fit_ = nullptr, *centre_ = nullptr, *repeat_ = nullptr;
  QGroupBox *imageInfo_ = nullptr, *printerInfo_ = nullptr;
  QLabel* printerText_ = nullptr;
  bool guard_ = false;

  friend class TPrintPreviewBox;
};

// 1 when the user chose to print (the record then holds the placement), 2
// when the page cannot be used, the image is empty or the user cancelled.
[[nodiscard]] int printWithDialog(TMainForm& form, QPrinter& printer, SPrintRecord& record, const SPrintImage& image,
                    PrintDrawing drawing);
// Prints the image on the printer at the record's placement; false when the
// printer could not start.
[[nodiscard]] bool printImage(QPrinter& printer, const SPrintRecord& record, const QImage& image, int32_t resolution);

}  // namespace pg
