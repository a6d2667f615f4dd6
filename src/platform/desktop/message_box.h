#pragma once

#include <QString>

class QWidget;

namespace platform {

enum class MessageBoxAnswer { kYes, kNo };

// The platform's message boxes: a question with Yes and No buttons (Yes the default, no
// icon), and a piece of information with an OK button.
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual MessageBoxAnswer AskYesNo(QWidget* parent, const QString& title,
                                      const QString& text) = 0;
    virtual void Tell(QWidget* parent, const QString& title, const QString& text) = 0;
};

}  // namespace platform
