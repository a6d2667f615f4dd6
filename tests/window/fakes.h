#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_opener.h"
#include "platform/desktop/message_box.h"

namespace main_window::testing {

// Answers each dialog with the next queued path (nullopt: the user cancelled).
class FakeFileDialog : public platform::FileDialog {
  public:
    std::deque<std::optional<QString>> answers;
    std::vector<platform::FileDialogRequest> requests;
    bool throwOnShow = false;

    std::optional<QString> Choose(QWidget*, const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        if (throwOnShow) {
            throw std::runtime_error("the dialog could not be shown");
        }
        if (answers.empty() || !answers.front()) {
            if (!answers.empty()) {
                answers.pop_front();
            }
            return std::nullopt;
        }
        const QString answer = *answers.front();
        answers.pop_front();
        return answer;
    }
};

class FakeMessageBox : public platform::MessageBox {
  public:
    platform::MessageBoxAnswer answer = platform::MessageBoxAnswer::kNo;
    int questions = 0;

    platform::MessageBoxAnswer AskYesNo(QWidget*, const QString&, const QString&) override {
        ++questions;
        return answer;
    }
};

class FakeFileOpener : public platform::FileOpener {
  public:
    std::vector<QString> opened;

    bool Open(const QString& path) override {
        opened.push_back(path);
        return true;
    }
};

}  // namespace main_window::testing
