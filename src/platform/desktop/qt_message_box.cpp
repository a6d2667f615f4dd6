#include "platform/desktop/qt_message_box.h"

#include <QMessageBox>
#include <QString>

namespace platform {
namespace {

// Callers write their lines with CR LF as files do; a Qt label would show the CR as a second
// break, so the lines are joined with plain line feeds for display.
QString ShownText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

}  // namespace

MessageBoxAnswer QtMessageBox::AskYesNo(QWidget* parent, const QString& title,
                                        const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, ShownText(text), QMessageBox::Yes | QMessageBox::No,
                    parent);
    // Plain text keeps the leading spaces of indented lines and never reads markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    // Closing the box or pressing Escape is not a Yes.
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MessageBoxAnswer::kYes : MessageBoxAnswer::kNo;
}

void QtMessageBox::Tell(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Information, title, ShownText(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace platform
