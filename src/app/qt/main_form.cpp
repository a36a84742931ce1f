#include "app/qt/main_form.h"

#include <QMdiArea>

namespace pg {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  mdi_ = new QMdiArea(this);
  setCentralWidget(mdi_);
  setWindowTitle(QStringLiteral("Pigmora"));
}

TMainForm::~TMainForm() = default;

void TMainForm::handOverFile(const QString& absolutePath) { (void)absolutePath; }

}  // namespace pg
