#pragma once
// TGraphicProgressBar: a bar with a percentage, a count, or the elapsed or
// remaining time as its label.
#include <QWidget>

#include <cstdint>

#include "ui/memory_graphic.h"

namespace pg {

class TGraphicProgressBar : public QWidget {
 public:
  explicit TGraphicProgressBar(QWidget* parent = nullptr);
  // The start time is a millisecond tick (platform/clock.h timeGetTime).
  void setProgress(int32_t position, int32_t maximum, uint32_t startMs);
  void setMode(uint8_t mode);
  QString label() const { return label_; }
  const TMemoryGraphic& face() const { return face_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void render();
  TMemoryGraphic face_;
  QString label_;
  int32_t position_ = 0;
  int32_t maximum_ = 100;
  uint32_t start_ = 0;
  uint8_t mode_ = 0;
};

}  // namespace pg
