// The filter dialogs' base and the value-and-slider dialogs.
#include "filters/qt/filter_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <chrono>

#include "filters/filter_run.h"
#include "filters/floor_command.h"
#include "filters/floor_filter.h"
#include "document/paper_gradient.h"
#include "filters/gradient_map_filter.h"
#include "io/image_codecs.h"
#include "io/qt/file_dialog.h"
#include "platform/message_service.h"
#include "filters/filter_table.h"
#include "filters/qt/centre_picker.h"
#include "filters/qt/light_panes.h"
#include "filters/qt/preview_filter.h"
#include "filters/histogram.h"
#include "platform/clock.h"
#include "ui/appearance_manager.h"
#include "ui/colour_model.h"
#include "ui/qt/graphic_image.h"
#include "ui/qt/colour_pickers.h"
#include "ui/qt/num_fields.h"
#include "ui/qt/res_text.h"
#include "ui/qt/trackbar.h"

namespace pg {

namespace {

constexpr uint32_t kTxPreview = 66700;
constexpr uint32_t kTxGradientLabel = 68400;
constexpr uint32_t kTxRenew = 66704;
constexpr uint32_t kTxReset = 66705;
constexpr uint32_t kTxAuto = 66798;

uint64_t steadyMilliseconds() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The histogram's picture.
class THistogramView : public QWidget {
 public:
  THistogramView(QWidget* parent, const SHistogram& h, uint8_t mode) : QWidget(parent), image_(258, 102) {
    setFixedSize(258, 102);
    const TUiSysColors& c = uiSysColors();
    drawHistogram(h, mode, c.btnShadow, c.btnHighlight, image_);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    blitToPainter(p, 0, 0, image_.width(), image_.height(), image_, 0, 0);
  }

 private:
  TMemoryGraphic image_;
};

}  // namespace

uint32_t filterSeedNow() { return timeGetTime(); }

TFormFilter::TFormFilter(QWidget* parent, CFlt4Core& core, SFilterPreviewTarget target)
    : TDialogBaseForm(parent), core_(core), target_(std::move(target)) {
  auto* box = new QVBoxLayout(content());
  box->setContentsMargins(0, 0, 0, 0);
  grid_ = new QGridLayout;
  box->addLayout(grid_);
  CheckBoxPreview = new QCheckBox(resText(kTxPreview), content());
  CheckBoxPreview->setObjectName(QStringLiteral("CheckBoxPreview"));
  box->addWidget(CheckBoxPreview);
  TimerUpdate.setInterval(int(CFilterDialogProtocol::kDelayMs));
  completion_.setSingleShot(true);
  completion_.setInterval(0);
  connect(&completion_, &QTimer::timeout, this, [this] { completePreview(); });
  setHooks({});
  connect(CheckBoxPreview, &QCheckBox::clicked, this, [this](bool on) { protocol_->previewClicked(on); });
  connect(&TimerUpdate, &QTimer::timeout, this, [this] { protocol_->timerTick(); });
}

TFormFilter::~TFormFilter() = default;

void TFormFilter::setHooks(SFilterDialogHooks hooks) {
  hooks.runPreview = [this](const std::vector<uint8_t>& r) { runPreview(r); };
  hooks.endPreview = [this] {
    completion_.stop();
    core_.endPreviewAndRedraw(true);
    if (target_.refresh) target_.refresh();
  };
  hooks.setTimer = [this](bool on) {
    if (on)
      TimerUpdate.start();
    else
      TimerUpdate.stop();
  };
  auto write = std::move(hooks.writeControls);
  hooks.writeControls = [this, write] {
    if (write) write();
  };
  protocol_ = std::make_unique<CFilterDialogProtocol>(std::move(hooks), &steadyMilliseconds);
}

bool TFormFilter::attach(bool rememberedPreview) {
  attached_ = protocol_->attach(core_.isValid(), rememberedPreview);
  CheckBoxPreview->setChecked(protocol_->previewChecked());
  return attached_;
}

void TFormFilter::showEvent(QShowEvent* e) {
  TDialogBaseForm::showEvent(e);
  if (shownOnce_) return;
  shownOnce_ = true;
  protocol_->shown();
}

void TFormFilter::runPreview(const std::vector<uint8_t>& record) {
  completion_.stop();
  TRect visible{};
  const TRect& bounds = core_.bounds();
  const bool partial = target_.visibleLayerRect && target_.visibleLayerRect(visible) &&
                       intersectRect(visible, bounds) && visible != bounds;
  // A refusing kernel leaves the layer restored; the dialog stays open.
  const bool ok = previewBytes(record, partial ? &visible : nullptr);
  if (target_.refresh) target_.refresh();
  if (ok && partial) {
    // The rest follows once the visible part is on the screen.
    pendingRecord_ = record;
    completion_.start();
  }
}

void TFormFilter::completePreview() {
  if (!protocol_->previewChecked()) return;
  (void)previewBytes(pendingRecord_, nullptr);  // a preview that fails leaves the picture as it was
  if (target_.refresh) target_.refresh();
}

bool TFormFilter::previewBytes(const std::vector<uint8_t>& bytes, const TRect* clip) {
  if (kernelParams_) {
    const bool ok = kernelParams_(bytes, [&](const void* p, int32_t size) { return core_.preview(p, size, clip); });
    if (!ok) core_.endPreviewAndRedraw(true);
    return ok;
  }
  if (!recordForm_) return core_.preview(bytes.data(), int32_t(bytes.size()), clip);
  SFltRecord record;
  if (!fltRecordFromBytes(bytes, record)) {
    core_.endPreviewAndRedraw(true);
    return false;
  }
  return core_.preview(&record, int32_t(SFltRecord::kWireSize), clip);
}

// ---- the value-and-slider dialogs ------------------------------------------------

TFormFilterValues::TFormFilterValues(QWidget* parent, CFlt4Core& core, SFilterPreviewTarget target,
                                     const SFilterDialogDef& def, uint8_t layerProtect, uint32_t seed,
                                     const SFilterOpenInfo& info, const GradientListFactory& gradientList)
    : TFormFilter(parent, core, std::move(target)), def_(def), model_(def, layerProtect, seed, info) {
  setWindowTitle(resText(def.caption));
  int row = 0;
  if (std::string_view(def.command) == "filterGradientMap") row = placeGradientList(gradientList, row);
  if (def.histogramMode >= 0 && info.histogram != nullptr) {
    histogramView_ = new THistogramView(content(), *info.histogram, uint8_t(def.histogramMode));
    grid_->addWidget(histogramView_, row++, 0, 1, 4, Qt::AlignLeft);
  }
  // A list of kinds comes first: choosing one loads the values below.
  if (def.choiceLabel != 0 && def.choiceAsList) {
    auto* label = new QLabel(resText(def.choiceLabel), content());
    choiceList_ = new QComboBox(content());
    for (uint32_t item : def.choiceItems) choiceList_->addItem(resText(item));
    label->setBuddy(choiceList_);
    grid_->addWidget(label, row, 0);
    grid_->addWidget(choiceList_, row++, 1, 1, 3, Qt::AlignLeft);
    connect(choiceList_, &QComboBox::activated, this, [this](int index) {
      model_.setChoice(index);
      protocol().valueChange(kSenderChoice);
    });
  }
  if (def.gridCount > 0) {
    // A matrix of fields, no labels, in a grid of its own.
    auto* matrix = new QGridLayout;
    for (int32_t i = 0; i < def.gridCount && size_t(i) < def.values.size(); ++i) {
      auto* edit = new TNumEdit(content());
      edit->setFormatString(QString::fromLatin1(def.values[size_t(i)].format));
      edit->setAssociate(&model_.num(size_t(i)));
      edit->setFixedWidth(48);
      matrix->addWidget(edit, i / std::max(def.gridColumns, 1), i % std::max(def.gridColumns, 1));
      edits_.push_back(edit);
      tracks_.push_back(nullptr);
      model_.num(size_t(i)).onChange = [this, i](TNumMngr&) { protocol().valueChange(kSenderValue + i); };
    }
    grid_->addLayout(matrix, row++, 0, 1, 4, Qt::AlignLeft);
  }
  for (size_t i = size_t(std::max(def.gridCount, 0)); i < def.values.size(); ++i) {
    const SFilterValueDef& v = def.values[i];
    auto* label = new QLabel(v.label != 0 ? resText(v.label) : QString(), content());
    auto* edit = new TNumEdit(content());
    edit->setFormatString(QString::fromLatin1(v.format));
    edit->setAssociate(&model_.num(i));
    edit->setFixedWidth(64);
    label->setBuddy(edit);
    auto* unit = new QLabel(QString::fromUtf8(v.unit), content());
    grid_->addWidget(label, row, 0);
    grid_->addWidget(edit, row, 1);
    grid_->addWidget(unit, row, 2);
    TGraphicTrackbar* track = nullptr;
    if (v.slider != ESliderKind::None) {
      track = new TGraphicTrackbar(content());
      if (v.slider == ESliderKind::Dial) {
        track->setOrientation(gtClockWise);
        track->setFixedSize(36, 36);
      } else {
        track->setFixedSize(200, 22);
        track->setCenterLine(v.slider == ESliderKind::CentreLine);
      }
      track->FocusControl = edit;
      grid_->addWidget(track, row, 3, Qt::AlignLeft);
      track->OnChange = [this, i, track] {
        if (syncing_) return;
        model_.setSlider(i, track->getPosition());
        protocol().valueChange(kSenderSlider + int32_t(i));
      };
    }
    ++row;
    edits_.push_back(edit);
    tracks_.push_back(track);
    model_.num(i).onChange = [this, i](TNumMngr&) { protocol().valueChange(kSenderValue + int32_t(i)); };
  }
  if (def.pickerLabel != 0) {
    auto* label = new QLabel(resText(def.pickerLabel), content());
    picker_ = new TTrackArea(content());
    if (!edits_.empty()) picker_->FocusControl = edits_.size() > 1 ? edits_[1] : edits_[0];
    grid_->addWidget(label, row, 0, Qt::AlignTop);
    grid_->addWidget(picker_, row++, 1, 1, 3, Qt::AlignLeft);
    picker_->OnChange = [this] {
      if (syncing_) return;
      model_.setPicker(picker_->positionX(), picker_->positionY());
      protocol().valueChange(kSenderPicker);
    };
  }
  for (size_t c = 0; c < def.colours.size(); ++c) {
    auto* label = new QLabel(resText(def.colours[c].label), content());
    auto* cell = new TPickerColorCell(content());
    cell->setFixedSize(48, 22);
    grid_->addWidget(label, row, 0);
    grid_->addWidget(cell, row++, 1);
    cells_.push_back(cell);
    cell->OnChange = [this, c, cell] {
      if (syncing_) return;
      model_.setColour(c, colorRecToRgba(cell->getColorRec(), 255));
      protocol().valueChange(kSenderColour + int32_t(c));
    };
  }
  for (size_t j = 0; j < def.checks.size(); ++j) {
    auto* check = new QCheckBox(resText(def.checks[j].label), content());
    grid_->addWidget(check, row++, 0, 1, 4);
    checks_.push_back(check);
    connect(check, &QCheckBox::clicked, this, [this, j](bool on) {
      model_.setCheck(j, on);
      protocol().valueChange(kSenderCheck + int32_t(j));
    });
  }
  if (def.choiceLabel != 0 && !def.choiceAsList) {
    auto* group = new QGroupBox(resText(def.choiceLabel), content());
    auto* column = new QVBoxLayout(group);
    choice_ = new QButtonGroup(this);
    for (size_t k = 0; k < def.choiceItems.size(); ++k) {
      auto* radio = new QRadioButton(resText(def.choiceItems[k]), group);
      column->addWidget(radio);
      choice_->addButton(radio, int(k));
    }
    grid_->addWidget(group, row++, 0, 1, 4);
    connect(choice_, &QButtonGroup::idClicked, this, [this](int id) {
      model_.setChoice(id);
      protocol().valueChange(kSenderChoice);
    });
  }
  if (def.listLabel != 0 && def.listItems != nullptr) {
    auto* label = new QLabel(resText(def.listLabel), content());
    secondList_ = new QComboBox(content());
    for (const std::string& item : def.listItems()) secondList_->addItem(QString::fromStdString(item));
    label->setBuddy(secondList_);
    grid_->addWidget(label, row, 0);
    grid_->addWidget(secondList_, row++, 1, 1, 3, Qt::AlignLeft);
    connect(secondList_, &QComboBox::activated, this, [this](int index) {
      model_.setListIndex(index);
      protocol().valueChange(kSenderList);
    });
  }
  if (def.buttons != 0) {
    auto* buttons = new QHBoxLayout;
    auto add = [&](uint32_t text, int32_t sender) {
      auto* b = new QPushButton(resText(text), content());
      buttons->addWidget(b);
      connect(b, &QPushButton::clicked, this, [this, sender] {
        if (sender == kSenderReseed) model_.setSeed(filterSeedNow());
        protocol().valueChange(sender);
      });
      return b;
    };
    if (def.buttons & kFbDefaults) defaults_ = add(def.defaultsCaption, kSenderDefaults);
    if (def.buttons & kFbReset) reset_ = add(kTxReset, kSenderReset);
    if (def.buttons & kFbReseed) reseed_ = add(kTxRenew, kSenderReseed);
    if (def.buttons & kFbAuto) auto_ = add(kTxAuto, kSenderAuto);
    buttons->addStretch(1);
    grid_->addLayout(buttons, row++, 0, 1, 4);
  }
  grid_->setColumnStretch(3, 1);
  if (def.frame) {
    Preview = new TPreviewFilter(content());
    grid_->addWidget(Preview, 0, 4, std::max(row, 1), 1, Qt::AlignTop);
  }

  if (std::string_view(def.command) == "filterFloor") {
    floor_ = std::make_unique<CFloorDialogTextures>();
    (void)floor_->open(core_);  // textures that cannot be read leave the floor plain
    setKernelParams([this](const std::vector<uint8_t>& bytes, const std::function<bool(const void*, int32_t)>& run) {
      std::vector<uint8_t> b = bytes;
      SFltFloorW rec;
      return floor_->build(b, rec) && run(&rec, kFloorRecordSize);
    });
    buildTextureRow(row++);
  }

  if (std::string_view(def.command) == "filterLighting") buildLightPanes(row);
  if (std::string_view(def.command) == "filterGradientMap") {
    // The stops are the active gradient's, apart from the bytes.
    const uint8_t keep = model_.layerProtect();
    setKernelParams([keep](const std::vector<uint8_t>& bytes, const std::function<bool(const void*, int32_t)>& run) {
      CColorSlotGroup stops(16);
      SFltGradientMap rec;
      return gradientMapRecord(bytes, keep, stops, rec) && run(&rec, int32_t(SFltGradientMap::kSize));
    });
  }

  SFilterDialogHooks hooks;
  // The floor's textures are more than its bytes: every change previews.
  hooks.alwaysChanged = floor_ != nullptr;
  hooks.readControls = [this] { protocol().current = model_.record(); };
  hooks.writeControls = [this] { syncWidgets(); };
  hooks.controlChanged = [this](int sender) {
    const EPreviewRequest r = model_.controlChanged(sender);
    syncWidgets();
    return r;
  };
  if (Preview != nullptr) hooks.drawFrame = [this] { Preview->drawView(); };
  setHooks(std::move(hooks));
  setRecordForm(filterByCommand(def.command) != nullptr && filterByCommand(def.command)->bytes == 50);
  if (Preview != nullptr && floor_ != nullptr)
    Preview->setRenderer([this](const std::vector<uint8_t>& bytes, const TRect& r, TMTC& out) {
      std::vector<uint8_t> b = bytes;
      SFltFloorW rec;
      return floor_->build(b, rec) && core_.renderRegion(&rec, kFloorRecordSize, r, out);
    });
  if (attach(rememberedFor(def).preview) && Preview != nullptr)
    // The frame of an unusable core paints nothing.
    (void)Preview->bindCore(&core_, [this] { return protocol().current; });
}

namespace {
constexpr size_t kCheckCeiling = 2;  // the plane check boxes of the floor's row
}  // namespace

int TFormFilterValues::placeGradientList(const GradientListFactory& make, int row) {
  if (!make) return row;
  gradientList_ = make(content(), [this] {
    if (attached()) protocol().updatePreview(true);
  });
  if (gradientList_ == nullptr) return row;
  // The label, then the list across the columns.
  grid_->addWidget(new QLabel(resText(kTxGradientLabel), content()), row++, 0, 1, 4);
  gradientList_->setMinimumSize(240, 120);
  grid_->addWidget(gradientList_, row++, 0, 1, 4);
  return row;
}

void TFormFilterValues::buildTextureRow(int row) {
  // Each plane's check box stands in the texture group with its buttons.
  auto* box = new QGroupBox(resText(kTxFloorTexture), content());
  auto* layout = new QGridLayout(box);
  for (size_t plane = 0; plane < 2; ++plane) {
    if (kCheckCeiling + plane < checks_.size()) layout->addWidget(checks_[kCheckCeiling + plane], int(plane), 0);
    for (size_t k = 0; k < 2; ++k) {
      const size_t i = 2 * plane + k;
      textureButtons_[i] = new QPushButton(resText(kTxFloorTextureButtons[i]), box);
      layout->addWidget(textureButtons_[i], int(plane), int(k) + 1);
    }
    connect(textureButtons_[2 * plane], &QPushButton::clicked, this, [this, plane] { browseTexture(plane); });
    connect(textureButtons_[2 * plane + 1], &QPushButton::clicked, this, [this, plane] {
      floor_->release(plane);
      syncWidgets();
      protocol().updatePreview(true);
    });
  }
  layout->setColumnStretch(3, 1);
  grid_->addWidget(box, row, 0, 1, 4);
}

namespace {
// The lighting dialog's values the panes set.
enum : size_t { kLampX = 2, kLampY = 3, kLampZ = 4, kLampDirection = 5, kLampPitch = 6, kLampSpread = 7 };
}  // namespace

void TFormFilterValues::buildLightPanes(int rows) {
  auto* column = new QVBoxLayout();
  lightPreview_ = new TLightPreview(content());
  lightSide_ = new TLightControl(content());
  column->addWidget(lightPreview_);
  column->addWidget(lightSide_);
  column->addStretch(1);
  grid_->addLayout(column, 0, 4, std::max(rows, 1), 1, Qt::AlignTop);
  TMTC area;
  // An empty area leaves the pane blank.
  if (core_.sourceRegion(core_.bounds(), area)) (void)lightPreview_->model().attach(area);
  lightPreview_->OnChange = [this](const SLampView&) { lampMoved(false); };
  lightSide_->OnChange = [this](const SLampView&) { lampMoved(true); };
}

void TFormFilterValues::syncLightPanes() {
  SFltRecord rec;
  const std::vector<uint8_t> bytes = model_.record();
  if (!fltRecordFromBytes(bytes, rec) || rec.Extra == nullptr || rec.Total != SLight4::kSize) return;
  const SLight4 light = SLight4::read(rec.Extra);
  SFltLightingHeader header;
  header.AmbientColour = readLE32(rec.Params.data());
  header.AmbientBrightness = readRecI32(rec.Params.data() + 4);
  SLampView view = lampViewOf(light, int32_t(model_.num(kLampZ).valueMax()));
  lightPreview_->show(view, header, light);
  lightSide_->show(view, light);
}

void TFormFilterValues::lampMoved(bool fromSide) {
  if (syncing_) return;
  // A copy: setting a value refreshes the panes from the model.
  const SLampView v = fromSide ? lightSide_->view() : lightPreview_->view();
  if (fromSide) {
    model_.num(kLampZ).setRatio(float(v.height));
  } else {
    model_.num(kLampX).setRatio(float(v.x * 0.5 + 0.5));
    model_.num(kLampY).setRatio(float(v.y * 0.5 + 0.5));
    model_.num(kLampDirection).setValue(float(-v.direction));
  }
  if (v.kind != lkPoint) {
    model_.num(kLampPitch).setValue(float(v.pitch));
    model_.num(kLampSpread).setValue(float(v.spread));
  }
  for (size_t i = 0; i < model_.valueCount(); ++i) model_.setSlider(i, model_.num(i).getRatio());
  // A drag previews after the delay, like a dragged slider.
  protocol().valueChange(int(kSenderValue + (fromSide ? kLampZ : kLampX)));
}

bool TFormFilterValues::loadTexture(size_t plane, const std::string& path) {
  int32_t dpi = 0;
  std::unique_ptr<TMTC> image = loadImageFile(path, dpi);
  if (image == nullptr || !floor_->setFile(plane, std::shared_ptr<const TMTC>(std::move(image)), path)) {
    showWarning(formatRes(kTxFloorTextureUnreadable, {path}));
    return false;
  }
  syncWidgets();
  protocol().updatePreview(true);
  return true;
}

void TFormFilterValues::browseTexture(size_t plane) {
  SFileDialogRequest request;
  request.kind = 0;
  if (!executeFileDialog(this, request)) return;
  (void)loadTexture(plane, request.fileName);  // a picture that cannot be used is reported there
}

QPushButton* TFormFilterValues::button(EFilterButton which) const {
  switch (which) {
    case kFbDefaults:
      return defaults_;
    case kFbReseed:
      return reseed_;
    case kFbReset:
      return reset_;
    case kFbAuto:
      return auto_;
  }
  return nullptr;
}

void TFormFilterValues::syncWidgets() {
  syncing_ = true;
  for (size_t i = 0; i < tracks_.size(); ++i) {
    edits_[i]->setEnabled(model_.valueEnabled(i));
    if (tracks_[i] == nullptr) continue;
    tracks_[i]->setPosition(model_.slider(i));
    tracks_[i]->setEnabled(model_.valueEnabled(i));
  }
  for (size_t c = 0; c < cells_.size(); ++c) {
    cells_[c]->setColorRec(rgbaToColorRec(model_.colour(c)));
    cells_[c]->setEnabled(model_.colourEnabled(c));
  }
  if (choiceList_ != nullptr) choiceList_->setCurrentIndex(model_.choice());
  if (secondList_ != nullptr) secondList_->setCurrentIndex(model_.listIndex());
  if (picker_ != nullptr) picker_->setPosition(model_.pickerX(), model_.pickerY());
  for (size_t j = 0; j < checks_.size(); ++j) checks_[j]->setChecked(model_.check(j));
  if (lightPreview_ != nullptr) syncLightPanes();
  if (floor_ != nullptr) {
    // A plane's buttons follow its check box; release only for a file.
    for (size_t plane = 0; plane < 2; ++plane) {
      const bool on = model_.check(kCheckCeiling + plane);
      textureButtons_[2 * plane]->setEnabled(on);
      textureButtons_[2 * plane + 1]->setEnabled(on && floor_->fromFile(plane));
    }
  }
  if (choice_ != nullptr)
    if (QAbstractButton* b = choice_->button(model_.choice())) b->setChecked(true);
  syncing_ = false;
}

void TFormFilterValues::ButtonOKClick() {
  // The edit holding the focus commits its text first.
  ButtonOK->setFocus(Qt::OtherFocusReason);
  protocol().current = model_.record();
  if (floor_ != nullptr) {
    SFltFloorW rec;
    (void)floor_->build(protocol().current, rec);  // only the remembered texture files are wanted here
    floorRememberedTextures() = floor_->files();
  }
  // The gradient map applies the gradient picked now, after the list has
  // given the tool window its own choice back.
  if (std::string_view(def_.command) == "filterGradientMap") {
    if (const CGradObj* chosen = docGradientLink().activeGradient()) keepChosenGradient(chosen->Stops);
  }
  remember(def_, SFilterRemembered{model_.values(), protocol().previewChecked()});
  TFormFilter::ButtonOKClick();
}

}  // namespace pg
