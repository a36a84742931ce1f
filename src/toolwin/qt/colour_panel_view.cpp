#include "toolwin/qt/colour_panel_view.h"

#include <QContextMenuEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>

#include "toolwin/tool_window_model.h"
#include "ui/colour_model.h"
#include "ui/qt/colour_pickers.h"

namespace pg {

namespace {

// The space names of the area picker's menu, spaces 0..8.
constexpr const char* kAreaSpaceNames[] = {"R/GB", "G/RB", "B/RG", "H/SV", "S/HV", "V/HS", "H/SL", "S/HL", "L/HS"};

}  // namespace

TColourPanelView::TColourPanelView(CToolWindowModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setSpacing(2);
  cell_ = new TTwinColorCell(this);
  cell_->setFixedSize(40, 40);
  grid->addWidget(cell_, 0, 0, 3, 1, Qt::AlignTop);
  for (int i = 0; i < 3; ++i) {
    labels_[i] = new QLabel(this);
    fields_[i] = new QSpinBox(this);
    fields_[i]->setAlignment(Qt::AlignRight);
    grid->addWidget(labels_[i], i, 1);
    grid->addWidget(fields_[i], i, 2);
    connect(fields_[i], &QSpinBox::valueChanged, this, [this] { fieldsChanged(); });
  }
  picker_ = new TColorPicker(this);
  picker_->setMinimumSize(140, 90);
  grid->addWidget(picker_, 0, 3, 4, 1);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(3, 1);

  picker_->OnChange = [this] {
    if (showing_) return;
    model_.setActiveColor(colorRecToRgba(picker_->getColorRec(), 255));
  };
  cell_->OnActiveSideChange = [this] {
    if (!showing_) model_.setActiveSide(cell_->activeSide());
  };
  cell_->OnChange = [this] {
    if (showing_) return;
    model_.setFgColor(colorRecToRgba(cell_->foreground(), 255));
    model_.setBgColor(colorRecToRgba(cell_->background(), 255));
  };
  setColorSpace(sampler_.space());
}

void TColourPanelView::setColorSpace(uint8_t space) {
  sampler_.setSpace(space);
  picker_->setColorSpace(sampler_.space());
  refresh();
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

void TColourPanelView::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu;
  for (uint8_t s = 0; s < 9; ++s) {
    QAction* a = menu.addAction(QString::fromLatin1(kAreaSpaceNames[s]));
    a->setCheckable(true);
    a->setChecked(s == sampler_.space());
    connect(a, &QAction::triggered, this, [this, s] { setColorSpace(s); });
  }
  menu.exec(e->globalPos());
}

}  // namespace pg
