#include "ui/qt/base_forms.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/assign_changed.h"
#include "ui/qt/qt_appearance.h"
#include "platform/string_table.h"

namespace pg {

void applyBaseFormFont(QWidget& form) {
  // The first installed face of the UI font list for the Japanese character
  // set (128); without one the application font stays.
  QFont font = form.font();
  if (applyUiFont(font, 128)) form.setFont(font);
}

TBaseForm::TBaseForm(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) { applyBaseFormFont(*this); }

TDialogBaseForm::TDialogBaseForm(QWidget* parent) : QDialog(parent) {
  applyBaseFormFont(*this);
  auto* outer = new QVBoxLayout(this);
  content_ = new QWidget(this);
  outer->addWidget(content_, 1);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  ButtonOK = new QPushButton(QStringLiteral("OK"), this);
  ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
  ButtonOK->setDefault(true);
  ButtonCancel = new QPushButton(QString::fromStdString(resString(66507)), this);
  ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
  row->addWidget(ButtonOK);
  row->addWidget(ButtonCancel);
  outer->addLayout(row);
  connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { QDialog::reject(); });
  setButtonMode(kButtonModeOkCancel);
}

void TDialogBaseForm::setButtonMode(uint8_t mode) {
  if (!assignIfChanged(mode_, mode)) return;
  if (mode == kButtonModeOk)
    ButtonCancel->hide();
  else if (mode == kButtonModeOkCancel)
    ButtonCancel->setVisible(true);
}

void TDialogBaseForm::ButtonOKClick() {
  ButtonOK->setFocus(Qt::OtherFocusReason);
  accept();
}

void TDialogBaseForm::reject() {
  // Esc: with OK alone, it presses OK.
  if (mode_ == kButtonModeOk) {
    ButtonOKClick();
    return;
  }
  QDialog::reject();
}

}  // namespace pg
