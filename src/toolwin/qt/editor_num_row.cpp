#include "toolwin/qt/editor_num_row.h"

#include <QGridLayout>
#include <QLabel>

#include "ui/qt/num_fields.h"
#include "ui/qt/trackbar.h"

namespace pg {

namespace {
bool gLoading = false;
}

void TEditorNumRow::setLoading(bool on) { gLoading = on; }

TEditorNumRow::TEditorNumRow(QWidget* parent, QGridLayout* grid, int r, const QString& caption, TNumMngr& model,
                             const QString& format, const QString& unit)
    : model_(model) {
  label_ = new QLabel(caption, parent);
  edit_ = new TNumEdit(parent);
  edit_->setFormatString(format);
  edit_->setFixedWidth(56);
  edit_->setAlignment(Qt::AlignRight);
  unit_ = new QLabel(unit, parent);
  slider_ = new TGraphicTrackbar(parent);
  slider_->setFixedHeight(16);
  slider_->setMinimumWidth(120);
  label_->setBuddy(edit_);
  grid->addWidget(label_, r, 0);
  grid->addWidget(edit_, r, 1);
  grid->addWidget(unit_, r, 2);
  grid->addWidget(slider_, r, 3);
  edit_->setAssociate(&model_);
  setAssociate(&model_);
  slider_->OnChange = [this] {
    if (syncing_) return;
    syncing_ = true;
    model_.setRatio(slider_->getPosition());
    syncing_ = false;
    if (!gLoading && OnUserChange) OnUserChange();
  };
  syncSlider();
}

TEditorNumRow::~TEditorNumRow() {
  setAssociate(nullptr);
  edit_->setAssociate(nullptr);
}

void TEditorNumRow::syncSlider() {
  syncing_ = true;
  slider_->setPosition(model_.getRatio());
  syncing_ = false;
}

// Every change of the model: the slider follows; a change that did not come
// from the slider is the user's typing or the owner's load.
void TEditorNumRow::numRefresh() {
  if (syncing_) return;
  syncSlider();
  if (!gLoading && OnUserChange) OnUserChange();
}

void TEditorNumRow::setEnabled(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(label_), static_cast<QWidget*>(edit_), static_cast<QWidget*>(unit_),
                     static_cast<QWidget*>(slider_)})
    w->setEnabled(on);
}

void TEditorNumRow::setVisible(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(label_), static_cast<QWidget*>(edit_), static_cast<QWidget*>(unit_),
                     static_cast<QWidget*>(slider_)})
    w->setVisible(on);
}

void TEditorNumRow::setCaption(const QString& caption) { label_->setText(caption); }

}  // namespace pg
