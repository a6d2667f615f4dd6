#include "fare_model/fare_line_parser.h"

#include <algorithm>
#include <utility>

#include "fare_model/text_rules.h"

namespace fare_model {

namespace {

// Where a line is split: a separator or a quote. Spaces, the commonest filler, and letters
// and digits are told apart from them with the fewest comparisons.
constexpr bool IsSplitPoint(char32_t ch) {
    if (ch == U' ') {
        return false;
    }
    if (ch > U',') {
        return ch == U'\uFF0C';
    }
    return IsSeparator(ch) || ch == U'"';
}

}  // namespace

void FareLineParser::Feed(std::u32string_view line, RowWatch* watch) {
    // Runs of ordinary characters go to the field reader whole.
    size_t runStart = 0;
    auto endRun = [&](size_t at) {
        const std::u32string_view run = line.substr(runStart, at - runStart);
        fields_.AddText(run);
        if (watch != nullptr) {
            watch->WatchRun(run);
        }
    };
    for (size_t at = 0; at < line.size(); ++at) {
        if (!inQuotes_) {
            // Outside quotes only separators and quotes matter: the run before them is
            // passed over at once (a field may be megabytes of spaces).
            at = static_cast<size_t>(std::find_if(line.begin() + static_cast<ptrdiff_t>(at),
                                                  line.end(),
                                                  [](char32_t ch) { return IsSplitPoint(ch); }) -
                                     line.begin());
            if (at == line.size()) {
                break;
            }
        }
        const char32_t ch = line[at];
        const bool separator = IsSeparator(ch);
        if (!separator && ch != U'"') {
            AppendShown(quotedText_, ch);
            continue;
        }
        endRun(at);
        runStart = at + 1;
        if (separator) {
            if (inQuotes_) {
                quoteHeldSeparator_ = true;
                AppendShown(quotedText_, ch);
            }
            fields_.NextField();
            if (watch != nullptr) {
                watch->Separator();
            }
        } else {
            Quote();  // quotes never group; they just vanish
            if (watch != nullptr) {
                watch->WatchRun(line.substr(at, 1));  // to the watch, a quote is text
            }
        }
    }
    endRun(line.size());
}

void FareLineParser::Quote() {
    if (!inQuotes_) {
        inQuotes_ = true;
        quoteHeldSeparator_ = false;
        quoteColumn_ = fields_.column();
        quotedText_.assign(1, U'"');
        return;
    }
    inQuotes_ = false;
    AppendShown(quotedText_, U'"');
    if (quoteHeldSeparator_) {
        NoteQuotedSeparator();
    }
}

void FareLineParser::NoteQuotedSeparator() {
    Notice notice;
    notice.kind = Notice::Kind::kQuotedSeparator;
    notice.field = quoteColumn_;
    notice.text = Shown(quotedText_);
    notice.count = fields_.column() - quoteColumn_ + 1;
    notices_.push_back(std::move(notice));
}

FareLineRecord FareLineParser::Finish() {
    if (inQuotes_ && quoteHeldSeparator_) {
        NoteQuotedSeparator();
    }
    inQuotes_ = false;
    quoteHeldSeparator_ = false;
    FareLineRecord record = fields_.Finish();
    // What each quoted value became, now that its fields are read to their end.
    for (Notice& notice : notices_) {
        for (int column = std::max(*notice.field, 2); column < *notice.field + notice.count;
             ++column) {
            notice.parts.push_back(column == 2 ? record.ZoneNumber
                                               : record.Fares[static_cast<size_t>(column - 3)]);
        }
    }
    Notices notices = std::move(notices_);
    notices_.clear();
    for (Notice& notice : fields_.TakeNotices()) {
        notices.push_back(std::move(notice));
    }
    finishedNotices_ = std::move(notices);
    return record;
}

FareLineRecord ParseFareLine(std::u32string_view line) {
    FareLineParser parser(false);
    parser.Feed(line);
    return parser.Finish();
}

}  // namespace fare_model
