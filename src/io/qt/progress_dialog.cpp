#include "io/qt/progress_dialog.h"

#include <QApplication>
#include <QGridLayout>

namespace pg {

TProgressDlg::TProgressDlg(QWidget* owner, int64_t total, const std::string& title, const std::string& message)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
  setObjectName(QStringLiteral("ProgressDlg"));
  auto* grid = new QGridLayout(this);
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("Label1"));
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("Label2"));
  percent_ = new QLabel(QStringLiteral("100%"), this);
  percent_->setObjectName(QStringLiteral("Label3"));
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("ProgressBar1"));
  bar_->setRange(0, 100);
  bar_->setTextVisible(false);
  grid->addWidget(title_, 0, 0, 1, 2);
  grid->addWidget(message_, 1, 0, 1, 2);
  grid->addWidget(bar_, 2, 0);
  grid->addWidget(percent_, 2, 1);
  setMinimumWidth(320);
  setCaption({});
  title_->setText(QString::fromStdString(title));
  message_->setText(QString::fromStdString(message));
  counter_.setTotal(total, 0);
  showNumbers();
  show();
  repaint();
}

void TProgressDlg::setCaption(const std::string& text) {
  setWindowTitle(text.empty() ? QApplication::applicationDisplayName() : QString::fromStdString(text));
}

void TProgressDlg::setTitle(const std::string& text) {
  title_->setText(QString::fromStdString(text));
  repaint();
}

void TProgressDlg::setText(const std::string& text) {
  message_->setText(QString::fromStdString(text));
  repaint();
}

void TProgressDlg::setTotal(int64_t total, int64_t position) {
  counter_.setTotal(total, position);
  showNumbers();
}

void TProgressDlg::step(int64_t n) {
  counter_.step(n);
  showNumbers();
}

void TProgressDlg::setPosition(int64_t position) {
  counter_.setPosition(position);
  showNumbers();
}

void TProgressDlg::showNumbers() {
  const int percent = counter_.percent();
  bar_->setValue(percent);
  percent_->setText(QString::number(percent) + QLatin1Char('%'));
  repaint();
}

std::unique_ptr<IProgress> TQtProgressService::showProgress(int64_t total, const std::string& title,
                                                             const std::string& message) {
  return std::make_unique<TProgressDlg>(owner_, total, title, message);
}

}  // namespace pg
