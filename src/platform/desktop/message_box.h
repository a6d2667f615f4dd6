#pragma once

#include <QString>

class QWidget;

namespace platform {

enum class MessageBoxAnswer { kYes, kNo };

// The platform's message box with Yes and No buttons (Yes the default, no icon).
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual MessageBoxAnswer AskYesNo(QWidget* parent, const QString& title,
                                      const QString& text) = 0;
};

}  // namespace platform
