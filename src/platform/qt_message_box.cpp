#include "platform/qt_message_box.h"

#include <QMessageBox>

namespace platform {

MessageBoxAnswer QtMessageBox::AskYesNo(QWidget* parent, const QString& title,
                                        const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::No ? MessageBoxAnswer::kNo : MessageBoxAnswer::kYes;
}

}  // namespace platform
