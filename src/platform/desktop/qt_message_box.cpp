#include "platform/desktop/qt_message_box.h"

#include <QMessageBox>
#include <QString>

namespace platform {

MessageBoxAnswer QtMessageBox::AskYesNo(QWidget* parent, const QString& title,
                                        const QString& text) {
    // Callers write their lines with CR LF as files do; a Qt label would show the CR as a
    // second break, so the lines are joined with plain line feeds for display.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    QMessageBox box(QMessageBox::NoIcon, title, shown, QMessageBox::Yes | QMessageBox::No, parent);
    // Plain text keeps the leading spaces of indented lines and never reads markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    // Closing the box or pressing Escape is not a Yes.
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MessageBoxAnswer::kYes : MessageBoxAnswer::kNo;
}

}  // namespace platform
