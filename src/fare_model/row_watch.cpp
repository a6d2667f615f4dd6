#include "fare_model/row_watch.h"

#include <algorithm>

#include "fare_model/text_rules.h"
#include "fare_model/unicode.h"

namespace fare_model {
namespace {

constexpr char32_t kNul = U'\0';
// The end-of-file mark of old DOS and Windows editors.
constexpr char32_t kEndOfFileMark = U'\x1A';

// Tab is a separator; line ends never reach a row.
bool IsControl(char32_t ch) {
    return (ch < 0x20 && ch != U'\t') || ch == 0x7F;
}

// A spreadsheet saved without its character set writes "?" for every letter it cannot: a
// name of only "?", or with two in a row, lost its letters.
bool LostItsLetters(std::u32string_view name) {
    while (!name.empty() && IsSpace(name.back())) {
        name.remove_suffix(1);
    }
    bool onlyQuestionMarks = !name.empty() && std::all_of(name.begin(), name.end(),
                                                          [](char32_t ch) { return ch == U'?'; });
    return onlyQuestionMarks || name.find(U"??") != std::u32string_view::npos;
}

Notice RowNotice(Notice::Kind kind, std::optional<int> field = std::nullopt, int value = 0) {
    Notice notice;
    notice.kind = kind;
    notice.field = field;
    notice.value = value;
    return notice;
}

}  // namespace

void RowWatch::Separator() {
    empty_ = false;
    onlyNul_ = false;
    onlyEndOfFileMark_ = false;
    EndField();
}

void RowWatch::FeedField(std::u32string_view characters) {
    WatchRun(characters);
    EndField();
}

// A run is looked through a whole run at a time: a field may be megabytes of spaces.
void RowWatch::WatchRun(std::u32string_view run) {
    if (run.empty()) {
        return;
    }
    empty_ = false;
    onlyNul_ =
        onlyNul_ && std::all_of(run.begin(), run.end(), [](char32_t ch) { return ch == kNul; });
    onlyEndOfFileMark_ = onlyEndOfFileMark_ && std::all_of(run.begin(), run.end(), [](char32_t ch) {
                             return ch == kEndOfFileMark;
                         });
    const auto text =
        std::find_if_not(run.begin(), run.end(), [](char32_t ch) { return IsSpace(ch); });
    if (text == run.end()) {
        return;
    }
    onlySeparatorsAndSpaces_ = false;
    columnHasText_ = true;
    if (!firstControl_) {
        // A control character is never a space: none stands before `text`.
        const auto control =
            std::find_if(text, run.end(), [](char32_t ch) { return IsControl(ch); });
        if (control != run.end()) {
            firstControl_ = Control{*control, column_};
        }
    }
}

void RowWatch::EndField() {
    if (column_ > 1 && columnHasText_) {
        ++columnsWithText_;
    }
    ++column_;
    columnHasText_ = false;
}

void RowWatch::Finish(const FareLineRecord& record, Notices& notices) {
    if (column_ > 1 && columnHasText_) {
        ++columnsWithText_;
    }
    Notices found;
    if (!empty_ && onlyNul_) {
        found.push_back(RowNotice(Notice::Kind::kZeroFilledTail));
    } else if (!empty_ && onlyEndOfFileMark_) {
        found.push_back(RowNotice(Notice::Kind::kEndOfFileMark));
    } else if (onlySeparatorsAndSpaces_) {
        found.push_back(RowNotice(Notice::Kind::kEmptyRow));
    } else {
        if (LostItsLetters(record.PlaceName)) {
            Notice lost = RowNotice(Notice::Kind::kLostLetters, 1);
            lost.text = EncodeUtf8(record.PlaceName);
            found.push_back(std::move(lost));
        }
        if (firstControl_) {
            found.push_back(RowNotice(Notice::Kind::kControlCharacter, firstControl_->column,
                                      static_cast<int>(firstControl_->character)));
        }
        // A header row: the zone and every other field beside the name hold text, and none
        // of them reads as a number.
        auto header = std::find_if(notices.begin(), notices.end(), [&](const Notice& notice) {
            return notice.kind == Notice::Kind::kTextInNumber && notice.field == 2 &&
                   notice.value == 0 && notice.count == columnsWithText_;
        });
        if (header != notices.end()) {
            Notice called = RowNotice(Notice::Kind::kHeaderRow, 1);
            called.text = EncodeUtf8(record.PlaceName);
            notices.erase(header);
            found.push_back(std::move(called));
        }
    }
    notices.insert(notices.begin(), found.begin(), found.end());
    *this = RowWatch();
}

}  // namespace fare_model
