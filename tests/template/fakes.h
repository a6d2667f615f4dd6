#pragma once

#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_opener.h"
#include "platform/desktop/message_box.h"
#include "platform/os/run_error.h"

namespace template_tests {

// Where a fake should fail instead of answering.
enum class Failure { kNone, kRunError, kStdException, kOther };

inline void FailAs(Failure failure) {
    switch (failure) {
        case Failure::kNone:
            return;
        case Failure::kRunError:
            throw platform::RunError(platform::error_code::kDeviceIo);
        case Failure::kStdException:
            throw std::runtime_error("desktop gone");
        case Failure::kOther:
            throw 42;
    }
}

class FakeFileDialog : public platform::FileDialog {
  public:
    std::optional<QString> answer;
    Failure failure = Failure::kNone;
    std::vector<platform::FileDialogRequest> requests;

    std::optional<QString> Choose(QWidget*, const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        FailAs(failure);
        return answer;
    }
};

class FakeMessageBox : public platform::MessageBox {
  public:
    struct Question {
        QString title;
        QString text;
    };
    platform::MessageBoxAnswer answer = platform::MessageBoxAnswer::kYes;
    Failure failure = Failure::kNone;
    std::vector<Question> questions;

    platform::MessageBoxAnswer AskYesNo(QWidget*, const QString& title,
                                        const QString& text) override {
        questions.push_back({title, text});
        FailAs(failure);
        return answer;
    }
};

class FakeFileOpener : public platform::FileOpener {
  public:
    bool result = true;
    Failure failure = Failure::kNone;
    std::vector<QString> opened;

    bool Open(const QString& path) override {
        opened.push_back(path);
        FailAs(failure);
        return result;
    }
};

}  // namespace template_tests
