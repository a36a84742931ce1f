#pragma once
// A widget that shows a TMemoryGraphic (not owned) at its top-left corner,
// copied as opaque pixels; the rest of the widget is left to the parent's
// background. The simplest host of an owner-drawn face, and the base the
// controls use to show theirs.
#include <QWidget>

#include "ui/memory_graphic.h"

namespace pg {

class TGraphicWidget : public QWidget {
 public:
  explicit TGraphicWidget(QWidget* parent = nullptr) : QWidget(parent) {}
  // The graphic to show (nullptr for none); the caller keeps it alive and
  // calls update() after changing it.
  void setGraphic(const TMemoryGraphic* g);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const TMemoryGraphic* graphic_ = nullptr;
};

}  // namespace pg
