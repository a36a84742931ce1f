#include "app/qt/print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>
#include <cstring>

#include "app/dialog_texts.h"
#include "app/qt/main_form.h"
#include "app/qt/value_dialog.h"
#include "core/planes.h"
#include "core/units.h"
#include "platform/message_service.h"
#include "ui/qt/res_text.h"

namespace pg {

namespace {

enum { kX, kY, kW, kH, kScale };
constexpr int kPreviewW = 260, kPreviewH = 300;

}  // namespace

QImage planeImage(const TMTC& plane) {
  if (!plane.IsAllocated() || plane.Width <= 0 || plane.Height <= 0) return {};
  QImage image(plane.Width, plane.Height, QImage::Format_ARGB32);
  for (int32_t y = 0; y < plane.Height; ++y)
    std::memcpy(image.scanLine(y), plane.PixelAddress(0, y), static_cast<size_t>(plane.Width) * 4);
  return image;
}

SPrinterInfo readPrinterInfo(QPrinter& printer) {
  SPrinterInfo info;
  const int dpi = printer.resolution();
  const QPageLayout layout = printer.pageLayout();
  const QRect full = layout.fullRectPixels(dpi);
  const QRect paint = layout.paintRectPixels(dpi);
  info.orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
  info.paperW = static_cast<float>(full.width());
  info.paperH = static_cast<float>(full.height());
  info.printableX = static_cast<float>(paint.x());
  info.printableY = static_cast<float>(paint.y());
  info.printableW = static_cast<float>(paint.width());
  info.printableH = static_cast<float>(paint.height());
  info.dpiX = info.dpiY = dpi;
  info.deviceName = printer.outputFormat() == QPrinter::PdfFormat ? resString(kResPrintToFile)
                                                                   : printer.printerName().toStdString();
  info.formName = layout.pageSize().name().toStdString();
  info.colourMode = printer.colorMode() == QPrinter::GrayScale ? 1 : 2;
  info.copies = printer.copyCount();
  return info;
}

bool hasPrinter() { return !QPrinterInfo::availablePrinters().isEmpty(); }

// The paper and the image on it; a press on the image or a corner handle
// drags the image while neither fit nor centre holds it.
class TPrintPreviewBox : public QWidget {
 public:
  explicit TPrintPreviewBox(TFormPrint& form) : QWidget(&form), form_(form) {
    setObjectName(QStringLiteral("BoxPreview"));
    setFixedSize(kPreviewW, kPreviewH);
  }
  // The image drawn once at the size of the paper in the box.
  void rebuild() {
    CPrintPlacement& m = form_.placement_;
    CPrintPlacement::SPreview p = m.preview(width(), height());
    int32_t w = std::max(1, int(std::lround(p.image.Right - p.image.Left)) / std::max(1, m.repeatX()));
    int32_t h = std::max(1, int(std::lround(p.image.Bottom - p.image.Top)) / std::max(1, m.repeatY()));
    if (w == cell_.width() && h == cell_.height()) return;
    TMTC plane(w, h);
    cell_ = QImage();
    if (!isPlaneReady(&plane) || !form_.drawing_) return;
    form_.drawing_(plane, TRect{0, 0, w, h}, 2);
    cell_ = planeImage(plane);
  }
  const QImage& cell() const { return cell_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    rebuild();
    CPrintPlacement& m = form_.placement_;
    CPrintPlacement::SPreview p = m.preview(width(), height());
    QPainter g(this);
    g.fillRect(rect(), palette().window());
    g.setPen(palette().dark().color());
    g.drawRect(rect().adjusted(0, 0, -1, -1));
    QRectF paper(p.paper.Left, p.paper.Top, p.paper.Right - p.paper.Left, p.paper.Bottom - p.paper.Top);
    g.fillRect(paper, Qt::white);
    g.drawRect(paper);
    g.setClipRect(paper);
    QRectF all(p.image.Left, p.image.Top, p.image.Right - p.image.Left, p.image.Bottom - p.image.Top);
    const double cw = all.width() / m.repeatX(), ch = all.height() / m.repeatY();
    for (int j = 0; j < m.repeatY(); ++j)
      for (int i = 0; i < m.repeatX(); ++i) g.drawImage(QRectF(all.x() + i * cw, all.y() + j * ch, cw, ch), cell_);
    g.setClipping(false);
    g.setPen(palette().highlight().color());
    g.drawRect(all.adjusted(-1, -1, 0, 0));
  }
  void mousePressEvent(QMouseEvent* e) override {
    CPrintPlacement& m = form_.placement_;
    last_ = e->position();
    dragging_ = e->button() == Qt::LeftButton &&
                m.startsDrag(m.preview(width(), height()), float(last_.x()), float(last_.y()));
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!dragging_) return;
    CPrintPlacement& m = form_.placement_;
    QPointF d = e->position() - last_;
    last_ = e->position();
    m.dragBy(m.preview(width(), height()), float(d.x()), float(d.y()));
    form_.refresh();
  }
  void mouseReleaseEvent(QMouseEvent*) override {
    dragging_ = false;
    update();
  }

 private:
  TFormPrint& form_;
  QImage cell_;
  QPointF last_;
  bool dragging_ = false;
};

TFormPrint::TFormPrint(QPrinter& printer, const SPrintImage& image, const SPrintRecord& settings,
                       PrintDrawing drawing, QWidget* parent)
    : QDialog(parent),
      printer_(printer),
      placement_(readPrinterInfo(printer), image, settings),
      drawing_(std::move(drawing)) {
  setObjectName(QStringLiteral("FormPrint"));
  setWindowTitle(resText(kResPrintCaption));
  auto* outer = new QHBoxLayout(this);
  preview_ = new TPrintPreviewBox(*this);
  outer->addWidget(preview_, 0, Qt::AlignTop);
  auto* right = new QVBoxLayout;
  outer->addLayout(right);

  auto* place = new QGroupBox(this);
  auto* grid = new QGridLayout(place);
  const uint32_t labels[5] = {kResPrintPosX, kResPrintPosY, kResPrintWidth, kResPrintHeight, kResPrintScale};
  const char* names[5] = {"NumX", "NumY", "NumW", "NumH", "NumScale"};
  for (int i = 0; i < 5; ++i) {
    fields_[i] = new QDoubleSpinBox(place);
    fields_[i]->setObjectName(QString::fromLatin1(names[i]));
    fields_[i]->setKeyboardTracking(false);
    fields_[i]->setAlignment(Qt::AlignRight);
    units_[i] = new QComboBox(place);
    if (i == kScale) {
      units_[i]->addItems({QStringLiteral("%"), resText(kResPrintLogical)});
    } else {
      units_[i]->addItems({QStringLiteral("dot"), QStringLiteral("inch"), QStringLiteral("cm"), QStringLiteral("mm")});
      units_[i]->setCurrentIndex(kUnitMm);
    }
    grid->addWidget(new QLabel(resText(labels[i]), place), i, 0);
    grid->addWidget(fields_[i], i, 1);
    grid->addWidget(units_[i], i, 2);
  }
  fit_ = new QCheckBox(resText(kResPrintFit), place);
  fit_->setObjectName(QStringLiteral("ChkAutoSize"));
  centre_ = new QCheckBox(resText(kResPrintCentre), place);
  centre_->setObjectName(QStringLiteral("ChkCenter"));
  repeat_ = new QCheckBox(resText(kResPrintRepeat), place);
  repeat_->setObjectName(QStringLiteral("ChkRepeat"));
  grid->addWidget(fit_, 5, 0, 1, 3);
  grid->addWidget(centre_, 6, 0, 1, 3);
  grid->addWidget(repeat_, 7, 0, 1, 3);
  const uint32_t repeatLabels[2] = {kResPrintRepeatX, kResPrintRepeatY};
  const char* repeatNames[2] = {"NumRepeatX", "NumRepeatY"};
  auto* repeatRow = new QHBoxLayout;
  for (int a = 0; a < 2; ++a) {
    repeats_[a] = new QSpinBox(place);
    repeats_[a]->setObjectName(QString::fromLatin1(repeatNames[a]));
    repeats_[a]->setRange(1, 100);
    repeatRow->addWidget(new QLabel(resText(repeatLabels[a]), place));
    repeatRow->addWidget(repeats_[a]);
  }
  grid->addLayout(repeatRow, 8, 0, 1, 3);
  right->addWidget(place);

  auto* imageCheck = new QCheckBox(resText(kResPrintImageInfo), this);
  imageCheck->setObjectName(QStringLiteral("ChkImage"));
  imageCheck->setChecked(true);
  imageInfo_ = new QGroupBox(this);
  auto* il = new QVBoxLayout(imageInfo_);
  il->addWidget(new QLabel(QStringLiteral("%1 %2 %3 pixel, %4 pixels/inch")
                               .arg(image.width)
                               .arg(QString::fromUtf8("×"))
                               .arg(image.height)
                               .arg(image.resolution),
                           imageInfo_));
  auto* printerCheck = new QCheckBox(resText(kResPrintPrinterInfo), this);
  printerCheck->setObjectName(QStringLiteral("ChkPrinter"));
  printerCheck->setChecked(true);
  printerInfo_ = new QGroupBox(this);
  auto* pl = new QVBoxLayout(printerInfo_);
  printerText_ = new QLabel(printerInfo_);
  pl->addWidget(printerText_);
  right->addWidget(imageCheck);
  right->addWidget(imageInfo_);
  right->addWidget(printerCheck);
  right->addWidget(printerInfo_);
  connect(imageCheck, &QCheckBox::toggled, imageInfo_, &QWidget::setVisible);
  connect(printerCheck, &QCheckBox::toggled, printerInfo_, &QWidget::setVisible);
  auto* setup = new QPushButton(resText(kResPrintSetup), this);
  setup->setObjectName(QStringLiteral("BtnSetup"));
  right->addWidget(setup);
  right->addStretch(1);
  QDialogButtonBox* buttons = makeOkCancelButtons(this);
  buttons->button(QDialogButtonBox::Ok)->setText(resText(kResPrintButton));
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ButtonOK"));
  right->addWidget(buttons);

  for (int i = 0; i < 5; ++i) {
    connect(fields_[i], &QDoubleSpinBox::valueChanged, this, [this, i](double v) {
      if (guard_) return;
      CPrintPlacement& m = placement_;
      switch (i) {
        case kX: m.setPosition(toDevice(kX, v), m.y); break;
        case kY: m.setPosition(m.x, toDevice(kY, v)); break;
        case kW: m.setWidth(toDevice(kW, v)); break;
        case kH: m.setHeight(toDevice(kH, v)); break;
        default: m.setScaleFactor(static_cast<float>(v / 100.0)); break;
      }
      refresh();
    });
    connect(units_[i], &QComboBox::currentIndexChanged, this, [this, i](int index) {
      if (i == kScale) placement_.setLogicalScale(index == 1);
      refresh();
    });
  }
  for (int a = 0; a < 2; ++a)
    connect(repeats_[a], &QSpinBox::valueChanged, this, [this](int) {
      if (guard_) return;
      placement_.setRepeatCounts(repeats_[0]->value(), repeats_[1]->value());
      refresh();
    });
  connect(fit_, &QCheckBox::toggled, this, [this](bool on) {
    if (guard_) return;
    placement_.setFit(on);
    refresh();
  });
  connect(centre_, &QCheckBox::toggled, this, [this](bool on) {
    if (guard_) return;
    placement_.setCentre(on);
    refresh();
  });
  connect(repeat_, &QCheckBox::toggled, this, [this](bool on) {
    if (guard_) return;
    placement_.setRepeat(on);
    refresh();
  });
  connect(setup, &QPushButton::clicked, this, &TFormPrint::setupPrinter);
  refresh();
}

QWidget* TFormPrint::previewBox() const { return preview_; }

float TFormPrint::toDevice(int which, double value) const {
  const SPrinterInfo& p = placement_.printer();
  float dpi = static_cast<float>(which == kX || which == kW ? p.dpiX : p.dpiY);
  return convertUnit(units_[which]->currentIndex(), kUnitPixel, dpi, static_cast<float>(value));
}

double TFormPrint::fromDevice(int which, float value) const {
  const SPrinterInfo& p = placement_.printer();
  float dpi = static_cast<float>(which == kX || which == kW ? p.dpiX : p.dpiY);
  return convertUnit(kUnitPixel, units_[which]->currentIndex(), dpi, value);
}

void TFormPrint::refresh() {
  guard_ = true;
  CPrintPlacement& m = placement_;
  const float values[4] = {m.x, m.y, m.w, m.h};
  for (int i = 0; i < 4; ++i) {
    int unit = units_[i]->currentIndex();
    fields_[i]->setDecimals(unit == kUnitPixel ? 0 : 2);
    fields_[i]->setSingleStep(unit == kUnitInch || unit == kUnitCm ? 0.1 : 1.0);
    float dpi = static_cast<float>(i == kX || i == kW ? m.printer().dpiX : m.printer().dpiY);
    float limit = convertUnit(kUnitPixel, unit, dpi, 25000.0f);
    fields_[i]->setRange(i < 2 ? -limit : convertUnit(kUnitPixel, unit, dpi, 1.0f), limit);
    fields_[i]->setValue(fromDevice(i, values[i]));
  }
  fields_[kScale]->setDecimals(1);
  fields_[kScale]->setSingleStep(m.logicalScale() ? 10.0 : 1.0);
  fields_[kScale]->setRange(0.1, 100000.0);
  fields_[kScale]->setValue(m.scaleFactor() * 100.0);
  repeats_[0]->setValue(m.repeatX());
  repeats_[1]->setValue(m.repeatY());
  fit_->setChecked(m.fit());
  centre_->setChecked(m.centre() || m.fit());
  repeat_->setChecked(m.repeat());
  centre_->setEnabled(!m.fit());
  for (int i : {kX, kY}) fields_[i]->setEnabled(m.positionEditable());
  for (int i : {kW, kH, kScale}) fields_[i]->setEnabled(m.sizeEditable());
  for (QSpinBox* r : repeats_) r->setEnabled(m.repeatEditable());
  const SPrinterInfo& p = m.printer();
  printerText_->setText(QStringLiteral("%1\n%2  %3 %4 %5 mm\n%6 dpi  %7  %8")
                            .arg(QString::fromStdString(p.deviceName), QString::fromStdString(p.formName))
                            .arg(convertUnit(kUnitPixel, kUnitMm, float(p.dpiX), p.paperW), 0, 'f', 2)
                            .arg(QString::fromUtf8("×"))
                            .arg(convertUnit(kUnitPixel, kUnitMm, float(p.dpiY), p.paperH), 0, 'f', 2)
                            .arg(p.dpiX)
                            .arg(resText(p.colourMode == 1 ? kResPrintGrey : kResPrintColour))
                            .arg(resText(p.orientation == 1 ? kResPrintLandscape : kResPrintPortrait)));
  guard_ = false;
  preview_->update();
}

void TFormPrint::setupPrinter() {
  QPageSetupDialog dialog(&printer_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  placement_.setPrinter(readPrinterInfo(printer_));
  refresh();
}

int printWithDialog(TMainForm& form, QPrinter& printer, SPrintRecord& record, const SPrintImage& image,
                    PrintDrawing drawing) {
  if (!image.valid() || !readPrinterInfo(printer).usable()) return 2;
  TFormPrint dialog(printer, image, record, std::move(drawing), &form);
  if (form.showModalDialog(dialog) != kMrOk) return 2;
  record = dialog.placement().record();
  return 1;
}

bool printImage(QPrinter& printer, const SPrintRecord& record, const QImage& image, int32_t resolution) {
  SPrintImage info{image.width(), image.height(), resolution};
  CPrintPlacement m(readPrinterInfo(printer), info, record);
  if (!info.valid() || !m.printer().usable()) return false;
  // The placement is measured from the paper's corner, margins included.
  const bool wasFull = printer.fullPage();
  printer.setFullPage(true);
  QPainter p;
  if (!p.begin(&printer)) {
    printer.setFullPage(wasFull);
    return false;
  }
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  for (int j = 0; j < m.repeatY(); ++j)
    for (int i = 0; i < m.repeatX(); ++i) p.drawImage(QRectF(m.x + i * m.w, m.y + j * m.h, m.w, m.h), image);
  bool ok = p.end();
  printer.setFullPage(wasFull);
  return ok;
}

}  // namespace pg
