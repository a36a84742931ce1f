// The levels dialog and its track bars.
#include "filters/qt/levels_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "core/assign_changed.h"
#include "filters/filter_run.h"
#include "ui/appearance_manager.h"
#include "ui/channel_ops.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

enum : uint32_t {
  kTxLevels = 66800,
  kTxChannel,
  kTxInput,
  kTxOutput,
  kTxLinear = 66749,
  kTxDefaults = 66701,
  kTxAuto = 66798,
};

// A handle: a small triangle pointing up, filled with its colour.
void drawHandle(TMemoryGraphic& g, int32_t x, int32_t top, uint32_t fill, uint32_t rim) {
  const int32_t w = TLevelsTrackbar::kGlyph;
  for (int32_t row = 0; row < 6; ++row) {
    const int32_t half = row * (w / 2) / 5;
    for (int32_t dx = -half; dx <= half; ++dx) {
      const bool edge = dx == -half || dx == half || row == 5;
      g.setPixel(x + w / 2 + dx, top + row, edge ? rim : fill);
    }
  }
}

class THistogramPicture : public QWidget {
 public:
  THistogramPicture(QWidget* parent, TMemoryGraphic& image) : QWidget(parent), image_(image) { setFixedSize(258, 102); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    blitToPainter(p, 0, 0, image_.width(), image_.height(), image_, 0, 0);
  }

 private:
  TMemoryGraphic& image_;
};

}  // namespace

TLevelsTrackbar::TLevelsTrackbar(QWidget* parent, CLevelsTrack& track) : QWidget(parent), track_(track), image_(4, 4) {
  setFixedHeight(track.input ? 12 : 18);
}

void TLevelsTrackbar::setChannel(int32_t c) {
  if (assignIfChanged(channel_, c)) redraw();
}

void TLevelsTrackbar::redraw() {
  const int32_t w = std::max(width(), 4), h = std::max(height(), 4);
  if ((image_.width() != w || image_.height() != h) && !image_.setSize(w, h)) return;
  const TUiSysColors& c = uiSysColors();
  image_.fillRect(TRect{0, 0, w, h}, c.btnFace, copyChannel, copyChannel);
  const TRect t = track_.track(w);
  if (track_.input) {
    image_.fillRect(t, c.light3D, copyChannel, copyChannel);
    image_.frameRect(TRect{t.Left - 1, t.Top, t.Right + 1, t.Bottom + 1}, 1, c.btnShadow, copyChannel, copyChannel);
  } else {
    const uint32_t end = channel_ == 1 ? 0xFFFF0000u : channel_ == 2 ? 0xFF00FF00u : channel_ == 3 ? 0xFF0000FFu : 0xFFFFFFFFu;
    for (int32_t x = t.Left; x < t.Right; ++x) {
      const uint32_t k = uint32_t((x - t.Left) * 255 / std::max(1, t.Right - t.Left - 1));
      uint32_t px = 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) px |= (((end >> shift) & 0xFF) * k / 255) << shift;
      image_.fillRect(TRect{x, t.Top + 1, x + 1, t.Bottom}, px, copyChannel, copyChannel);
    }
    image_.frameRect(TRect{t.Left - 1, t.Top, t.Right + 1, t.Bottom + 1}, 1, c.btnShadow, copyChannel, copyChannel);
  }
  const int32_t top = t.Bottom + 1;
  drawHandle(image_, track_.handleX(ELevelsPart::Min, w, kGlyph), top, 0xFF000000u, c.windowText);
  if (track_.input) drawHandle(image_, track_.handleX(ELevelsPart::Mid, w, kGlyph), top, 0xFF808080u, c.windowText);
  drawHandle(image_, track_.handleX(ELevelsPart::Max, w, kGlyph), top, 0xFFFFFFFFu, c.windowText);
  update();
}

void TLevelsTrackbar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  blitToPainter(p, 0, 0, image_.width(), image_.height(), image_, 0, 0);
}

void TLevelsTrackbar::resizeEvent(QResizeEvent*) { redraw(); }

void TLevelsTrackbar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const int32_t x = int32_t(e->position().x());
  track_.held = track_.hitTest(x, width(), kGlyph);
  if (track_.dragTo(x, width()) && OnChange) OnChange();
  redraw();
}

void TLevelsTrackbar::mouseMoveEvent(QMouseEvent* e) {
  if (track_.held == ELevelsPart::None) return;
  if (track_.dragTo(int32_t(e->position().x()), width()) && OnChange) OnChange();
  redraw();
}

void TLevelsTrackbar::mouseReleaseEvent(QMouseEvent*) { track_.held = ELevelsPart::None; }

TFormLevels4::TFormLevels4(QWidget* parent, CFlt4Core& core, SFilterPreviewTarget target)
    : TFormFilter(parent, core, std::move(target)) {
  setWindowTitle(resText(kTxLevels));
  histogram_.compute(core.readContext());
  model_ = std::make_unique<CLevelsDialogModel>(&histogram_);
  CLevelsDialogModel& m = *model_;
  int row = 0;
  auto* channelLabel = new QLabel(resText(kTxChannel), content());
  CmbC = new QComboBox(content());
  for (const char* item : {"RGB", "R", "G", "B"}) CmbC->addItem(QString::fromLatin1(item));
  channelLabel->setBuddy(CmbC);
  grid_->addWidget(channelLabel, row, 0);
  grid_->addWidget(CmbC, row++, 1, 1, 3, Qt::AlignLeft);
  histogramView_ = new THistogramPicture(content(), histogramImage_);
  grid_->addWidget(histogramView_, row++, 0, 1, 4, Qt::AlignLeft);

  auto field = [&](TNumMngr& n, const char* format) {
    auto* e = new TNumEdit(content());
    e->setFormatString(QString::fromLatin1(format));
    e->setAssociate(&n);
    e->setFixedWidth(56);
    return e;
  };
  auto* inputLabel = new QLabel(resText(kTxInput), content());
  grid_->addWidget(inputLabel, row, 0);
  auto* eIMin = field(m.inMin, "%1.0f");
  inputLabel->setBuddy(eIMin);
  auto* eIMid = field(m.inMid, "%1.2f");
  auto* eIMax = field(m.inMax, "%1.0f");
  grid_->addWidget(eIMin, row, 1);
  grid_->addWidget(eIMid, row, 2);
  grid_->addWidget(eIMax, row++, 3);
  inputBar = new TLevelsTrackbar(content(), m.inBar);
  inputBar->setFixedWidth(264);
  grid_->addWidget(inputBar, row++, 0, 1, 4, Qt::AlignLeft);
  auto* outputLabel = new QLabel(resText(kTxOutput), content());
  grid_->addWidget(outputLabel, row, 0);
  auto* eOMin = field(m.outMin, "%1.0f");
  outputLabel->setBuddy(eOMin);
  auto* eOMax = field(m.outMax, "%1.0f");
  grid_->addWidget(eOMin, row, 1);
  grid_->addWidget(eOMax, row++, 3);
  outputBar = new TLevelsTrackbar(content(), m.outBar);
  outputBar->setFixedWidth(264);
  grid_->addWidget(outputBar, row++, 0, 1, 4, Qt::AlignLeft);
  ChkL = new QCheckBox(resText(kTxLinear), content());
  grid_->addWidget(ChkL, row++, 0, 1, 4);
  auto* buttons = new QHBoxLayout;
  ButtonD = new QPushButton(resText(kTxDefaults), content());
  ButtonA = new QPushButton(resText(kTxAuto), content());
  buttons->addWidget(ButtonD);
  buttons->addWidget(ButtonA);
  buttons->addStretch(1);
  grid_->addLayout(buttons, row++, 0, 1, 4);

  auto change = [this](int32_t sender) { protocol().valueChange(sender); };
  m.inMin.onChange = [change](TNumMngr&) { change(kLvInMin); };
  m.inMax.onChange = [change](TNumMngr&) { change(kLvInMax); };
  m.inMid.onChange = [change](TNumMngr&) { change(kLvInMid); };
  m.outMin.onChange = [change](TNumMngr&) { change(kLvOutMin); };
  m.outMax.onChange = [change](TNumMngr&) { change(kLvOutMax); };
  inputBar->OnChange = [change] { change(kLvInputBar); };
  outputBar->OnChange = [change] { change(kLvOutputBar); };
  connect(ChkL, &QCheckBox::clicked, this, [this, change](bool on) {
    model_->linear = on;
    change(kLvLinear);
  });
  connect(ButtonD, &QPushButton::clicked, this, [change] { change(kLvDefaults); });
  connect(ButtonA, &QPushButton::clicked, this, [change] { change(kLvAuto); });
  connect(CmbC, &QComboBox::activated, this, [this, change](int index) {
    model_->selectChannel(index);
    change(kLvChannel);
  });
  // Leaving the low or high input field pushes a crossed pair apart.
  connect(eIMin, &QLineEdit::editingFinished, this, [this] {
    model_->inputFieldLeft(true);
    sync();
  });
  connect(eIMax, &QLineEdit::editingFinished, this, [this] {
    model_->inputFieldLeft(false);
    sync();
  });

  SFilterDialogHooks hooks;
  hooks.readControls = [this] {
    model_->readControls();
    std::vector<uint8_t> bytes(SFltLevels::kSize, 0);
    model_->record().write(bytes.data());
    protocol().current = bytes;
  };
  hooks.writeControls = [this] {
    model_->linear = levelsRemembered().linear;
    model_->reset();
    sync();
  };
  hooks.controlChanged = [this](int sender) {
    const EPreviewRequest r = model_->controlChanged(sender);
    sync();
    return r;
  };
  setHooks(std::move(hooks));
  (void)attach(levelsRemembered().preview);  // an unusable core leaves the dialog without a preview
}

void TFormLevels4::sync() {
  CLevelsDialogModel& m = *model_;
  ChkL->setChecked(m.linear);
  CmbC->setCurrentIndex(m.channel());
  outputBar->setChannel(m.channel());
  inputBar->redraw();
  outputBar->redraw();
  const TUiSysColors& c = uiSysColors();
  drawHistogram(histogram_, uint8_t(m.channel() == 0 ? 0 : m.channel()), c.btnShadow, c.btnHighlight, histogramImage_);
  histogramView_->update();
}

void TFormLevels4::ButtonOKClick() {
  ButtonOK->setFocus(Qt::OtherFocusReason);
  model_->readControls();
  SLevelsRemembered& r = levelsRemembered();
  r.record = model_->record();
  r.linear = model_->linear;
  r.preview = protocol().previewChecked();
  TFormFilter::ButtonOKClick();
}

}  // namespace pg
