#include "screens/message_box.h"

#include <QMessageBox>

#include "screens/window_title.h"

namespace xscatter {

void ShowMessageBox(MessageKind kind, const QString& text) {
  QMessageBox box(kind == MessageKind::kWarning ? QMessageBox::Warning : QMessageBox::Critical,
                  kProgramTitle, text, QMessageBox::Ok);
  box.exec();
}

}  // namespace xscatter
