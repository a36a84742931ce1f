#include "app/qt/preference_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/app_profile.h"
#include "app/dialog_texts.h"
#include "app/qt/main_form.h"
#include "app/qt/value_dialog.h"
#include "io/qt/file_dialog.h"
#include "platform/message_service.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

QStringList split(uint32_t id) { return resText(id).split(QLatin1Char('|')); }

void setSwatch(QAbstractButton* button, uint32_t rgb) {
  QColor c((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  button->setStyleSheet(QStringLiteral("background-color: %1; min-width: 40px;").arg(c.name()));
}

QString nameOf(std::string_view s) { return QString::fromLatin1(s.data(), qsizetype(s.size())); }

// The browse button of an edit: "Edt..." becomes "Btn...".
QString browseName(std::string_view edit) { return QStringLiteral("Btn") + nameOf(edit.substr(3)); }

}  // namespace

TFormPreference::TFormPreference(const SPreferenceValues& values, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormPreference"));
  setWindowTitle(resText(kResPrefCaption));
  auto* outer = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  pages_ = new QListWidget(this);
  pages_->setObjectName(QStringLiteral("LstPage"));
  for (uint32_t id : {kResPrefPageTool, kResPrefPageCursor, kResPrefPageDocument, kResPrefPageStart, kResPrefPageAvi})
    pages_->addItem(resText(id));
  pages_->setFixedWidth(130);
  stack_ = new QStackedWidget(this);
  body->addWidget(pages_);
  body->addWidget(stack_, 1);
  outer->addLayout(body);

  // Each page stacks its groups in the order of the rows; a row without a
  // group stands on the page itself.
  std::span<const SPreferenceRow> rows = preferenceRows();
  rows_.resize(rows.size());
  for (int page = 0; page < kPageCount; ++page) {
    auto* pageWidget = new QWidget;
    auto* pageLayout = new QVBoxLayout(pageWidget);
    uint32_t openGroup = UINT32_MAX;
    QFormLayout* form = nullptr;
    QWidget* holder = nullptr;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].page != page) continue;
      if (rows[i].group != openGroup || form == nullptr) {
        openGroup = rows[i].group;
        if (openGroup != 0) {
          auto* box = new QGroupBox(resText(openGroup), pageWidget);
          holder = box;
        } else {
          holder = new QWidget(pageWidget);
        }
        form = new QFormLayout(holder);
        pageLayout->addWidget(holder);
      }
      QWidget* control = buildRow(i, holder);
      SRowWidgets& w = rows_[i];
      if (rows[i].kind == PrefControl::Check || rows[i].kind == PrefControl::Radio || rows[i].caption == 0) {
        form->addRow(control);
      } else {
        auto* label = new QLabel(resText(rows[i].caption), holder);
        label->setBuddy(w.control);
        w.label = label;
        form->addRow(label, control);
      }
    }
    pageLayout->addStretch(1);
    stack_->addWidget(pageWidget);
  }

  auto* buttons = new QHBoxLayout;
  auto* init = new QPushButton(resText(kResPrefInitialize), this);
  init->setObjectName(QStringLiteral("BtnInitialize"));
  buttons->addWidget(init);
  buttons->addStretch(1);
  buttons->addWidget(makeOkCancelButtons(this));
  outer->addLayout(buttons);

  connect(pages_, &QListWidget::currentRowChanged, this, [this](int row) {
    int page = preferencePageShown(row);
    stack_->setCurrentIndex(page < 0 ? kPageAvi : page);
  });
  connect(init, &QPushButton::clicked, this, &TFormPreference::initializeControls);

  showValues(values);
  pages_->setCurrentRow(0);
}

QWidget* TFormPreference::buildRow(size_t index, QWidget* parent) {
  const SPreferenceRow& r = preferenceRows()[index];
  SRowWidgets& w = rows_[index];
  QWidget* shown = nullptr;
  switch (r.kind) {
    case PrefControl::Check: {
      auto* c = new QCheckBox(resText(r.caption), parent);
      // A sub-option stands under the box that enables it.
      if (!r.enabledBy.empty()) c->setContentsMargins(24, 0, 0, 0);
      connect(c, &QCheckBox::toggled, this, &TFormPreference::applyRules);
      w.control = shown = c;
      break;
    }
    case PrefControl::Combo: {
      auto* c = new QComboBox(parent);
      c->addItems(split(r.items));
      w.control = shown = c;
      break;
    }
    case PrefControl::Number: {
      auto* s = new QSpinBox(parent);
      s->setRange(int(r.lo), int(r.hi));
      s->setSuffix(r.control == "EdtUndo" ? QLatin1Char(' ') + resText(kResPrefTimes) : QStringLiteral(" px"));
      w.control = shown = s;
      break;
    }
    case PrefControl::Percent: {
      auto* s = new QDoubleSpinBox(parent);
      s->setRange(r.lo, r.hi);
      s->setDecimals(1);
      s->setSuffix(QStringLiteral(" %"));
      w.control = shown = s;
      break;
    }
    case PrefControl::Colour: {
      auto* b = new QPushButton(parent);
      connect(b, &QPushButton::clicked, this, [this, index, b] {
        const uint32_t rgb = rows_[index].colour;
        QColor c = QColorDialog::getColor(QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF), this);
        if (!c.isValid()) return;
        rows_[index].colour = (uint32_t(c.red()) << 16) | (uint32_t(c.green()) << 8) | uint32_t(c.blue());
        setSwatch(b, rows_[index].colour);
      });
      w.control = shown = b;
      break;
    }
    case PrefControl::Radio: {
      auto* pair = new QWidget(parent);
      auto* l = new QHBoxLayout(pair);
      l->setContentsMargins(0, 0, 0, 0);
      auto* first = new QRadioButton(resText(r.caption), pair);
      auto* second = new QRadioButton(resText(r.items), pair);
      second->setObjectName(nameOf(r.second));
      l->addWidget(first);
      l->addWidget(second);
      l->addStretch(1);
      connect(first, &QRadioButton::toggled, this, &TFormPreference::applyRules);
      w.control = first;
      w.extra = second;
      shown = pair;
      break;
    }
    case PrefControl::Path: {
      auto* line = new QWidget(parent);
      auto* l = new QHBoxLayout(line);
      l->setContentsMargins(0, 0, 0, 0);
      auto* edit = new QLineEdit(line);
      auto* browse = new QPushButton(resText(kResPrefBrowse), line);
      browse->setObjectName(browseName(r.control));
      l->addWidget(edit, 1);
      l->addWidget(browse);
      w.control = edit;
      w.extra = browse;
      shown = line;
      if (r.browse < 0) {
        connect(browse, &QPushButton::clicked, this, [this, edit] {
          QString dir = QFileDialog::getExistingDirectory(this, QString(), edit->text());
          if (!dir.isEmpty()) edit->setText(dir);
        });
      } else if (r.browse > 0) {
        // The preset kinds of the file dialogs, in the folder of the present file.
        connect(browse, &QPushButton::clicked, this, [this, edit, kind = r.browse] {
          SFileDialogRequest request;
          request.kind = kind;
          request.fileName = edit->text().toStdString();
          request.folder = QFileInfo(edit->text()).path().toStdString();
          if (executeFileDialog(this, request)) edit->setText(QString::fromStdString(request.fileName));
        });
      }
      break;
    }
  }
  w.control->setObjectName(nameOf(r.control));
  return shown;
}

int TFormPreference::shownPage() const {
  int i = stack_->currentIndex();
  return i == kPageAvi ? -1 : i;
}

void TFormPreference::showValues(const SPreferenceValues& v) {
  std::span<const SPreferenceRow> rows = preferenceRows();
  for (size_t i = 0; i < rows.size(); ++i) {
    SRowWidgets& w = rows_[i];
    const double n = v.numbers[i];
    switch (rows[i].kind) {
      case PrefControl::Check: static_cast<QCheckBox*>(w.control)->setChecked(n != 0); break;
      case PrefControl::Combo: static_cast<QComboBox*>(w.control)->setCurrentIndex(int(n)); break;
      case PrefControl::Number: static_cast<QSpinBox*>(w.control)->setValue(int(n)); break;
      case PrefControl::Percent: static_cast<QDoubleSpinBox*>(w.control)->setValue(n); break;
      case PrefControl::Colour:
        w.colour = uint32_t(n) & 0xFFFFFFu;
        setSwatch(static_cast<QAbstractButton*>(w.control), w.colour);
        break;
      case PrefControl::Radio:
        (n != 0 ? w.extra : static_cast<QAbstractButton*>(w.control))->setChecked(true);
        break;
      case PrefControl::Path: static_cast<QLineEdit*>(w.control)->setText(QString::fromStdString(v.texts[i])); break;
    }
  }
  applyRules();
}

SPreferenceValues TFormPreference::values() const {
  SPreferenceValues v;
  std::span<const SPreferenceRow> rows = preferenceRows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const SRowWidgets& w = rows_[i];
    double& n = v.numbers[i];
    switch (rows[i].kind) {
      case PrefControl::Check: n = static_cast<QCheckBox*>(w.control)->isChecked() ? 1 : 0; break;
      case PrefControl::Combo: n = static_cast<QComboBox*>(w.control)->currentIndex(); break;
      case PrefControl::Number: n = static_cast<QSpinBox*>(w.control)->value(); break;
      case PrefControl::Percent: n = static_cast<QDoubleSpinBox*>(w.control)->value(); break;
      case PrefControl::Colour: n = w.colour; break;
      case PrefControl::Radio: n = w.extra->isChecked() ? 1 : 0; break;
      case PrefControl::Path: v.texts[i] = static_cast<QLineEdit*>(w.control)->text().toStdString(); break;
    }
  }
  return v;
}

void TFormPreference::initializeControls() {
  SPreferenceValues v = values();
  v.initialize();
  showValues(v);
}

void TFormPreference::applyRules() {
  if (rows_.empty() || rows_.back().control == nullptr) return;  // still being built
  const SPreferenceValues v = values();
  std::span<const SPreferenceRow> rows = preferenceRows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const bool on = v.enabled(rows[i].control);
    SRowWidgets& w = rows_[i];
    w.control->setEnabled(on);
    // A browse button without a dialog behind it stays disabled.
    if (w.extra) w.extra->setEnabled(on && (rows[i].kind != PrefControl::Path || rows[i].browse != 0));
    if (w.label) w.label->setEnabled(on);
  }
}

int64_t showPreferences(TMainForm& form) {
  CAppProfile& prefs = appProfile();
  TFormPreference dialog(SPreferenceValues::load(prefs), &form);
  if (form.showModalDialog(dialog) != kMrOk) return -1;
  return dialog.values().store(prefs);
}

}  // namespace pg
