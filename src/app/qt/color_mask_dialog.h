#pragma once
// Select > Colour range ("色域選択"): the dialog that picks colours in a
// preview of the layer or of the composed picture and shows, live, the
// selection they make; and the command that applies the picked colours to
// the document as its selection (recorded and undoable).
#include <QDialog>
#include <QImage>
#include <QTimer>
#include <memory>
#include <vector>

#include "app/color_mask_model.h"
#include "core/block_image.h"
#include "core/planes.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace pg {

class TDrawWindow;
class TPaper;
class TColorPickView;

class TFormColorMask : public QDialog {
  Q_OBJECT
 public:
  // Over a document's layer; the reset colour is the stroke colour
  // (0x00RRGGBB as a pixel value).
  TFormColorMask(TPaper& doc, int32_t layerIndex, uint32_t resetColour, QWidget* parent = nullptr);
  ~TFormColorMask() override;

  const std::vector<SColorRangeEntry>& entries() const { return model_.entries(); }
  SColorRangeSettings settings() const;
  CColorMaskModel& model() { return model_; }

  // A click at a point of either preview (preview pixels) with the keys held.
  void pickAt(QPoint previewPoint, Qt::KeyboardModifiers keys);
  // The size of the previews' pictures.
  QSize previewSize() const { return QSize(work_.Width, work_.Height); }
  const QImage& resultImage() const { return resultImage_; }

  QRadioButton* modeButton(ColorMaskMode m) const { return modes_[static_cast<int>(m)]; }
  QSlider* rangeSlider() const { return rangeSlider_; }
  QSpinBox* rangeField() const { return rangeField_; }
  QLabel* modeLabel() const { return modeLabel_; }
  QTimer& timer() { return timer_; }

  // OK: the range, display mode and source are remembered for next time.
  void accept() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  // The working picture from the layer or the composed document, scaled to
  // the preview keeping its shape, and the current selection at the same
  // scale; everything recomputed.
  void rebuildSource();
  void recompute();
  void showResult();
  void showMode(Qt::KeyboardModifiers keys);
  void resetAll();

  TPaper& doc_;
  int32_t layerIndex_;
  uint32_t resetColour_;
  CColorMaskModel model_;
  TMTC work_;
  TChannel coverage_;
  // The document's selection over the preview: OK works only where it
  // selects, so the preview does too. Null without a selection.
  std::unique_ptr<CBlockVCH> limit_;
  TMTC result_;
  QImage sourceImage_;
  QImage resultImage_;
  QTimer timer_;
  bool syncing_ = false;

  TColorPickView* sourceView_ = nullptr;
  TColorPickView* resultView_ = nullptr;
  QComboBox* source_ = nullptr;
  QComboBox* display_ = nullptr;
  QRadioButton* modes_[4] = {};
  QSlider* rangeSlider_ = nullptr;
  QSpinBox* rangeField_ = nullptr;
  QPushButton* reset_ = nullptr;
  QLabel* modeLabel_ = nullptr;
};

// The command on a window's layer: the edit gate; message 65071 when the
// layer lies outside the selection; the dialog; on OK the colours become
// the current mask (recorded). False when refused, cancelled or failed.
bool colorRangeSelectCmd(TDrawWindow& window, QWidget* parent, int32_t layerIndex);

}  // namespace pg
