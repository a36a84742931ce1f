#include "toolwin/qt/colour_panel_view.h"

#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>

#include "toolwin/qt/tool_button.h"
#include "toolwin/tool_window_model.h"
#include "ui/colour_model.h"
#include "ui/glyph_types.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

inline constexpr uint32_t kResSamplerArea = 67503;
inline constexpr uint32_t kResSamplerSlider = 67504;
inline constexpr uint32_t kResSamplerBarColour = 67505;

// A caption without its accelerator, for the buttons' hints.
QString hintOf(uint32_t id) {
  QString s = resText(id);
  s.remove(QLatin1Char('&'));
  int paren = s.indexOf(QLatin1Char('('));
  return paren > 0 ? s.left(paren) : s;
}

}  // namespace

TColourPanelView::TColourPanelView(CToolWindowModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setSpacing(2);
  cell_ = new TTwinColorCell(this);
  cell_->setFixedSize(40, 40);
  grid->addWidget(cell_, 0, 0, 2, 1, Qt::AlignTop);
  // The two sampler kinds, each a button with its own drawing.
  auto* kinds = new QHBoxLayout();
  kinds->setSpacing(1);
  static constexpr uint8_t kKindGlyphs[] = {tgColSampAreaS, tgColSampSlider};
  static constexpr uint32_t kKindHints[] = {kResSamplerArea, kResSamplerSlider};
  for (int k = 0; k < 2; ++k) {
    auto* b = new TToolButton(k, this);
    b->setFixedSize(20, 20);
    b->setGlyph(kKindGlyphs[k]);
    b->setToolTip(hintOf(kKindHints[k]));
    b->setObjectName(k == 0 ? QStringLiteral("BtnColSampAreaS") : QStringLiteral("BtnColSampSlider"));
    connect(b, &TToolButton::clicked, this,
            [this](int kind, bool alt) { kindButtonClick(static_cast<uint8_t>(kind), alt); });
    kindButtons_[static_cast<size_t>(k)] = b;
    kinds->addWidget(b);
  }
  grid->addLayout(kinds, 2, 0, Qt::AlignLeft | Qt::AlignTop);
  for (int i = 0; i < 3; ++i) {
    labels_[i] = new QLabel(this);
    fields_[i] = new QSpinBox(this);
    fields_[i]->setAlignment(Qt::AlignRight);
    grid->addWidget(labels_[i], i, 1);
    grid->addWidget(fields_[i], i, 2);
    connect(fields_[i], &QSpinBox::valueChanged, this, [this] { fieldsChanged(); });
  }
  auto* area = new TColorPicker(this);
  area->setMinimumSize(140, 90);
  picker_ = area;
  grid->addWidget(picker_, 0, 3, 4, 1);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(3, 1);

  picker_->OnChange = [this] {
    if (showing_) return;
    model_.setActiveColor(colorRecToRgba(picker_->getColorRec(), 255));
  };
  cell_->OnActiveSideChange = [this] {
    if (showing_) return;
    model_.chooseColourSide(cell_->activeSide());
    // The exchange leaves the model's side where it was: show it again.
    refresh();
  };
  cell_->OnChange = [this] {
    if (showing_) return;
    model_.setFgColor(colorRecToRgba(cell_->foreground(), 255));
    model_.setBgColor(colorRecToRgba(cell_->background(), 255));
  };
  showSampler();
}

void TColourPanelView::showSampler() {
  if (replaceColorPicker(picker_, sampler_.kind(), sampler_.space())) picker_->setMinimumSize(140, 90);
  picker_->setColorSpace(sampler_.space());
  picker_->setFollowColor(sampler_.barColour());
  for (uint8_t k = 0; k < 2; ++k) kindButtons_[k]->setDown(k == sampler_.kind());
  refresh();
}

void TColourPanelView::setColorSpace(uint8_t space) {
  sampler_.setSpace(space);
  showSampler();
}

void TColourPanelView::kindButtonClick(uint8_t kind, bool alt) {
  sampler_.kindButtonClick(kind, alt);
  showSampler();
}

void TColourPanelView::toggleBarColour() {
  sampler_.toggleBarColour();
  showSampler();
}

void TColourPanelView::applySamplerPreferences(uint32_t colorSampler, bool barsFixed) {
  sampler_.unpack(colorSampler);
  sampler_.setBarColour(!barsFixed);
  showSampler();
}

void TColourPanelView::refresh() {
  showing_ = true;
  uint32_t active = model_.activeColor();
  if (cell_->activeSide() != model_.activeSide()) cell_->setActiveSide(static_cast<uint8_t>(model_.activeSide()));
  uint8_t side = cell_->activeSide();
  cell_->setActiveSide(1);
  cell_->setColorRec(rgbaToColorRec(model_.fgColor()));
  cell_->setActiveSide(2);
  cell_->setColorRec(rgbaToColorRec(model_.bgColor()));
  cell_->setActiveSide(side);
  if (colorRecToRgba(picker_->getColorRec(), 255) != (active | 0xFF000000u)) picker_->setColorRec(rgbaToColorRec(active));
  SChannelFields f = channelFieldsOf(active, sampler_.space());
  for (size_t i = 0; i < 3; ++i) {
    labels_[i]->setText(QString(QChar(f.labels[i])));
    fields_[i]->setWrapping(i == 0 && f.hueWraps);
    fields_[i]->setRange(i == 0 && f.hueWraps ? 0 : f.minimum[i], i == 0 && f.hueWraps ? 359 : f.maximum[i]);
    fields_[i]->setValue(f.values[i]);
  }
  bool editable = !model_.replayDisplay();
  setEnabled(editable);
  showing_ = false;
}

void TColourPanelView::fieldsChanged() {
  if (showing_) return;
  model_.setActiveColor(
      pixelOfChannelFields(sampler_.space(), fields_[0]->value(), fields_[1]->value(), fields_[2]->value()));
}

void TColourPanelView::addSpaceItems(QMenu& menu, bool accelerators) {
  const uint16_t offered = samplerSpaces(sampler_.kind());
  const bool area = sampler_.kind() == CColourSampler::kArea;
  for (size_t i = 0; i < kColourSpaceMenuOrder.size(); ++i) {
    const uint8_t s = kColourSpaceMenuOrder[i];
    // The area kind groups its spaces by model: HSV, HSL, RGB.
    if (area && (i == 3 || i == 6)) menu.addSeparator();
    if (!(offered & (1u << s))) continue;
    QAction* a = menu.addAction(QString::fromStdString(colourSpaceCaption(sampler_.kind(), s, accelerators)));
    a->setCheckable(true);
    a->setChecked(s == sampler_.space());
    connect(a, &QAction::triggered, this, [this, s] { setColorSpace(s); });
  }
}

void TColourPanelView::fillSamplerMenu(QMenu& menu) { addSpaceItems(menu, false); }

void TColourPanelView::fillViewMenu(QMenu& menu) {
  static constexpr uint32_t kKindItems[] = {kResSamplerArea, kResSamplerSlider};
  for (uint8_t k = 0; k < 2; ++k) {
    QAction* a = menu.addAction(resText(kKindItems[k]));
    a->setObjectName(k == 0 ? QStringLiteral("MenuColorAreaS") : QStringLiteral("MenuColorSlider"));
    a->setCheckable(true);
    a->setChecked(sampler_.kind() == k);
    connect(a, &QAction::triggered, this, [this, k] { kindButtonClick(k, false); });
  }
  menu.addSeparator();
  addSpaceItems(menu, true);
  menu.addSeparator();
  QAction* bars = menu.addAction(resText(kResSamplerBarColour));
  bars->setObjectName(QStringLiteral("MenuColorChgS"));
  bars->setCheckable(true);
  bars->setChecked(sampler_.barColour());
  connect(bars, &QAction::triggered, this, [this] { toggleBarColour(); });
}

void TColourPanelView::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu;
  if (picker_->geometry().contains(e->pos()))
    fillSamplerMenu(menu);
  else
    fillViewMenu(menu);
  menu.exec(e->globalPos());
}

}  // namespace pg
