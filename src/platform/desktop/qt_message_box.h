#pragma once

#include "platform/desktop/message_box.h"

namespace platform {

// Qt's modal message box. A question: Yes and No, Yes the default, no icon; Escape or closing
// the box answers No. Information: the information icon and OK.
class QtMessageBox : public MessageBox {
  public:
    MessageBoxAnswer AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
    void Tell(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace platform
