#pragma once
// One numeric row of the preset editors: a caption, a number edit, a unit
// and a slider over one value model. The slider follows the model by ratio
// and moves it back; OnUserChange fires after every change made through the
// row's own controls or the model, never while the owner loads values
// (setLoading).
#include <QString>
#include <functional>

#include "ui/num_mngr.h"

class QGridLayout;
class QLabel;
class QWidget;

namespace pg {

class TGraphicTrackbar;
class TNumEdit;

class TEditorNumRow final : private INumListener {
 public:
  // Adds the row's controls to the grid at row r (columns 0..3).
  TEditorNumRow(QWidget* parent, QGridLayout* grid, int r, const QString& caption, TNumMngr& model,
                const QString& format, const QString& unit);
  ~TEditorNumRow() override;
  TEditorNumRow(const TEditorNumRow&) = delete;
  TEditorNumRow& operator=(const TEditorNumRow&) = delete;

  TNumMngr& model() { return model_; }
  TNumEdit* edit() const { return edit_; }
  TGraphicTrackbar* slider() const { return slider_; }
  QLabel* label() const { return label_; }
  QLabel* unitLabel() const { return unit_; }
  void setEnabled(bool on);
  void setVisible(bool on);
  void setCaption(const QString& caption);
  // Moves the slider to the model again (after a range change).
  void syncSlider();

  std::function<void()> OnUserChange;
  static void setLoading(bool on);

 private:
  void numRefresh() override;
  TNumMngr& model_;
  QLabel* label_ = nullptr;
  TNumEdit* edit_ = nullptr;
  QLabel* unit_ = nullptr;
  TGraphicTrackbar* slider_ = nullptr;
  bool syncing_ = false;
};

}  // namespace pg
