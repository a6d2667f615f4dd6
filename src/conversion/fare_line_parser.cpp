#include "conversion/fare_line_parser.h"

#include <algorithm>
#include <utility>

#include "conversion/text_rules.h"

namespace conversion {

void FareLineParser::Feed(std::u32string_view line) {
    // Runs of ordinary characters go to the field reader whole.
    size_t runStart = 0;
    for (size_t at = 0; at < line.size(); ++at) {
        const char32_t ch = line[at];
        const bool separator = IsSeparator(ch);
        if (!separator && ch != U'"') {
            if (inQuotes_) {
                AppendShown(quotedText_, ch);
            }
            continue;
        }
        fields_.AddText(line.substr(runStart, at - runStart));
        runStart = at + 1;
        if (separator) {
            if (inQuotes_) {
                quoteHeldSeparator_ = true;
                AppendShown(quotedText_, ch);
            }
            fields_.NextField();
        } else {
            Quote();  // quotes never group; they just vanish
        }
    }
    fields_.AddText(line.substr(runStart));
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

}  // namespace conversion
