#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <stdexcept>
#include <vector>

#include "fare_model/run_error.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_opener.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/print_dialog.h"

namespace test_support {

// Where a fake should fail instead of answering.
enum class Failure { kNone, kRunError, kStdException, kOther };

inline void FailAs(Failure failure) {
    switch (failure) {
        case Failure::kNone:
            return;
        case Failure::kRunError:
            throw fare_model::RunError(fare_model::error_code::kDeviceIo);
        case Failure::kStdException:
            throw std::runtime_error("desktop gone");
        case Failure::kOther:
            throw 42;
    }
}

// Answers each dialog with the next queued path; nullopt, or an empty queue, is the user
// cancelling.
class FakeFileDialog : public platform::FileDialog {
  public:
    std::deque<std::optional<QString>> answers;
    Failure failure = Failure::kNone;
    std::vector<platform::FileDialogRequest> requests;

    std::optional<QString> Choose(QWidget*, const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        FailAs(failure);
        if (answers.empty()) {
            return std::nullopt;
        }
        const std::optional<QString> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Answers Yes, the real box's default button, unless told otherwise.
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

    // What the program told the user, as title and text.
    std::vector<Question> told;

    void Tell(QWidget*, const QString& title, const QString& text) override {
        told.push_back({title, text});
    }
};

class FakeFileOpener : public platform::FileOpener {
  public:
    bool result = true;
    Failure failure = Failure::kNone;
    std::vector<QString> opened;
    std::vector<QString> sections;  // one for each file opened, empty where none was asked

    bool Open(const QString& path) override { return OpenSection(path, QString()); }
    bool OpenSection(const QString& path, const QString& section) override {
        opened.push_back(path);
        sections.push_back(section);
        FailAs(failure);
        return result;
    }
};

// As if the user pressed the preview's print button and chose a printer: the job's pages
// go onto a PDF writer (to `pdfPath` where set) on the paper `layout` asks for.
class FakePrintDialog : public platform::PrintDialog {
  public:
    enum class Answer { kPrint, kCancel, kPrinterFails };
    Answer answer = Answer::kPrint;
    Failure failure = Failure::kNone;
    QString pdfPath;
    int shown = 0;
    bool painted = false;
    bool paintedOnTheWindowsThread = false;

    std::unique_ptr<platform::PrintJob> Choose(
        QWidget*, const QPageLayout& layout,
        const std::function<bool(QPagedPaintDevice&)>& paint) override;
};

}  // namespace test_support
