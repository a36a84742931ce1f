#pragma once
// Display controls of the tool panels that show what their owner gives them:
// TLoupeControl (the magnified canvas around the pointer, framed, with an
// optional cross-hair) and the preset previews, TPenNibPreview (a nib's dab)
// and TGradientPreview (a gradient preset over a checkerboard).
#include <QWidget>

#include "brush/gradient.h"
#include "brush/shape_values.h"
#include "ui/memory_graphic.h"

namespace pg {

class TLoupeControl : public QWidget {
 public:
  explicit TLoupeControl(QWidget* parent = nullptr);
  float magnification() const { return magnification_; }
  void setMagnification(float m);
  bool grid() const { return grid_; }
  void setGrid(bool on);
  // What lies under the document in the window the loupe looks at, kept
  // for the owner (0 nothing, 1 the canvas colour, 2 the pattern); the
  // control does not read it.
  uint8_t Background = 0;
  // The picture, as large as the control (at least 4 x 4). The owner draws
  // the canvas into it, then calls finishPicture for the frame and the cross.
  TMemoryGraphic& picture() { return picture_; }
  void finishPicture();
  // Back to the empty grey ground.
  void rebuild();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  TMemoryGraphic picture_;
  float magnification_ = 1.0f;
  bool grid_ = true;
};

// A framed, read-only picture of a preset: subclasses draw the content.
class TPresetPreview : public QWidget {
 public:
  explicit TPresetPreview(QWidget* parent = nullptr, bool checker = false);
  const TMemoryGraphic& face() const { return face_; }
  const TMemoryGraphic& content() const { return content_; }
  bool checker() const { return checker_; }

 protected:
  virtual void drawContent() { content_.clear(); }
  void paintFace();
  void redraw();
  TMemoryGraphic& contentImage() { return content_; }
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  TMemoryGraphic face_;
  TMemoryGraphic content_;
  bool checker_ = false;
};

class TPenNibPreview : public TPresetPreview {
 public:
  explicit TPenNibPreview(QWidget* parent = nullptr);
  const SShapeValues& nib() const { return values_; }
  void setNib(const SShapeValues& values);

 protected:
  void drawContent() override;

 private:
  SShapeValues values_;
};

class TGradientPreview : public TPresetPreview {
 public:
  explicit TGradientPreview(QWidget* parent = nullptr);
  // The gradient is the owner's and must outlive its use here (nullptr for
  // none: the content is transparent).
  void setGradient(const CGradObj* gradient, const SGradRepeat& repeat);
  const CGradObj* gradient() const { return gradient_; }

 protected:
  void drawContent() override;

 private:
  const CGradObj* gradient_ = nullptr;
  SGradRepeat repeat_;
  TMTC work_;
};

}  // namespace pg
