#include "window/display_connection.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace main_window {

QString NoDisplayText() {
    return QStringLiteral(
        "rukanoba3: 画面（ディスプレイ）に接続できないため、ウィンドウを開けません。\n"
        "rukanoba3: デスクトップの中で起動してください。画面のないところでは hy3conv "
        "で変換できます。\n");
}

namespace {

QtMessageHandler previousHandler = nullptr;
struct HeldMessage {
    QtMsgType type;
    QString text;
};
std::vector<HeldMessage>* heldMessages = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) {
        // Qt gives up only when no platform can be reached: the one fatal error at start-up.
        const QByteArray said = NoDisplayText().toUtf8();
        std::fwrite(said.data(), 1, static_cast<size_t>(said.size()), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    heldMessages->push_back({type, text});
}

}  // namespace

DisplayConnectionGuard::DisplayConnectionGuard() {
    heldMessages = new std::vector<HeldMessage>();
    previousHandler = qInstallMessageHandler(HoldMessage);
}

DisplayConnectionGuard::~DisplayConnectionGuard() {
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& message : *heldMessages) {
        const QMessageLogContext context;
        qt_message_output(message.type, context, message.text);
    }
    delete heldMessages;
    heldMessages = nullptr;
}

}  // namespace main_window
