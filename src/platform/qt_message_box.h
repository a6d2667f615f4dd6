#pragma once

#include "platform/message_box.h"

namespace platform {

class QtMessageBox : public MessageBox {
  public:
    MessageBoxAnswer AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace platform
