#pragma once
// The levels dialog: the channel list, the region's histogram, the input
// bar with three handles and the output bar with two, their fields, the
// linear check box and the defaults and automatic buttons.
#include <QWidget>

#include <functional>
#include <memory>

#include "filters/histogram.h"
#include "filters/levels_dialog_model.h"
#include "filters/qt/filter_form.h"
#include "ui/memory_graphic.h"

class QComboBox;

namespace pg {

class TLevelsTrackbar : public QWidget {
 public:
  TLevelsTrackbar(QWidget* parent, CLevelsTrack& track);
  // The output bar's ramp: 0 black to white, 1 red, 2 green, 3 blue.
  void setChannel(int32_t c);
  void redraw();
  std::function<void()> OnChange;
  const TMemoryGraphic& face() const { return image_; }
  static constexpr int32_t kGlyph = 9;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  CLevelsTrack& track_;
  int32_t channel_ = 0;
  TMemoryGraphic image_;
};

class TFormLevels4 : public TFormFilter {
  Q_OBJECT
 public:
  TFormLevels4(QWidget* parent, CFlt4Core& core, SFilterPreviewTarget target);

  CLevelsDialogModel& model() { return *model_; }
  QComboBox* CmbC = nullptr;
  TLevelsTrackbar* inputBar = nullptr;
  TLevelsTrackbar* outputBar = nullptr;
  QCheckBox* ChkL = nullptr;
  QPushButton* ButtonD = nullptr;
  QPushButton* ButtonA = nullptr;
  void ButtonOKClick() override;

 private:
  void sync();
  SHistogram histogram_;
  std::unique_ptr<CLevelsDialogModel> model_;
  QWidget* histogramView_ = nullptr;
  TMemoryGraphic histogramImage_{258, 102};
};

}  // namespace pg
