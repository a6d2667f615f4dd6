#include "conversion/formats/workbook/shown_dates.h"

#include <cmath>
#include <cstdio>

namespace conversion::workbook {
namespace {

// The civil date of a day counted from 1970-01-01 (Howard Hinnant's algorithm).
void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    month = shifted < 10 ? shifted + 3 : shifted - 9;
    year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

std::string DateText(int64_t year, unsigned month, unsigned day) {
    char text[48];
    std::snprintf(text, sizeof text, "%lld/%02u/%02u", static_cast<long long>(year), month, day);
    return text;
}

std::string TimeText(int64_t hours, int64_t minutes, int64_t seconds) {
    char text[64];
    if (seconds != 0) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(hours),
                      static_cast<long long>(minutes), static_cast<long long>(seconds));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(hours),
                      static_cast<long long>(minutes));
    }
    return text;
}

// The leading digits of `text` as a number, moving past them; none where there are none.
bool TakeNumber(std::string_view& text, int64_t& value) {
    size_t digits = 0;
    value = 0;
    while (digits < text.size() && digits < 12 && text[digits] >= '0' && text[digits] <= '9') {
        value = value * 10 + (text[digits++] - '0');
    }
    text.remove_prefix(digits);
    return digits > 0;
}

}  // namespace

DateShape ShapeOfBuiltInFormat(uint32_t id) {
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47) || id == 32 || id == 33) {
        return DateShape::kTime;
    }
    if (id == 22) {
        return DateShape::kDateTime;
    }
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58)) {
        return DateShape::kDate;
    }
    return DateShape::kNone;
}

DateShape ShapeOfFormatCode(std::string_view code) {
    if (code.size() >= 7 && (code.substr(0, 7) == "General" || code.substr(0, 7) == "GENERAL" ||
                             code.substr(0, 7) == "general")) {
        return DateShape::kNone;
    }
    bool date = false;
    bool time = false;
    bool month = false;
    for (size_t at = 0; at < code.size(); ++at) {
        const char ch = code[at];
        if (ch == ';') {
            break;
        }
        if (ch == '"') {
            size_t end = code.find('"', at + 1);
            at = end == std::string_view::npos ? code.size() : end;
        } else if (ch == '\\' || ch == '_' || ch == '*') {
            ++at;  // the next character is shown as it is, or fills
        } else if (ch == '[') {
            size_t end = code.find(']', at + 1);
            std::string_view inside =
                code.substr(at + 1, (end == std::string_view::npos ? code.size() : end) - at - 1);
            // [h]:mm is an elapsed time; [Red] and [$-411] are a colour and a locale.
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos) {
                time = true;
            }
            at = end == std::string_view::npos ? code.size() : end;
        } else {
            switch (ch | 0x20) {
                case 'y':
                case 'd':
                case 'g':
                    date = true;
                    break;
                case 'h':
                case 's':
                    time = true;
                    break;
                case 'm':
                    month = true;
                    break;
                default:
                    break;
            }
        }
    }
    if (date && time) {
        return DateShape::kDateTime;
    }
    if (date || (month && !time)) {
        return DateShape::kDate;
    }
    return time ? DateShape::kTime : DateShape::kNone;
}

std::string ShownSerialDate(double serial, DateShape shape, bool epoch1904) {
    // Beyond 9999/12/31 a spreadsheet shows no date either.
    if (!std::isfinite(serial) || serial < 0 || serial > 2958465.0) {
        return std::isfinite(serial) ? std::to_string(static_cast<long long>(serial)) : "#####";
    }
    // Rounded to the second, as a spreadsheet shows it.
    const auto seconds = static_cast<int64_t>(std::llround(serial * 86400.0));
    const int64_t days = seconds / 86400;
    const int64_t secondOfDay = seconds % 86400;
    std::string date;
    if (!epoch1904 && days == 60) {
        // The 1900 date system counts a 29 February 1900 that never was.
        date = "1900/02/29";
    } else {
        // 1900 system: day 1 is 1900-01-01, and from day 61 on the made-up leap day counts;
        // 1904 system: day 0 is 1904-01-01.
        const int64_t fromUnixEpoch = epoch1904 ? days - 24107 : days - 25569 + (days < 60 ? 1 : 0);
        int64_t year = 0;
        unsigned month = 0;
        unsigned day = 0;
        CivilFromDays(fromUnixEpoch, year, month, day);
        date = DateText(year, month, day);
    }
    const std::string time = TimeText(secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    switch (shape) {
        case DateShape::kTime:
            return time;
        case DateShape::kDateTime:
            return date + " " + time;
        default:
            return date;
    }
}

std::string ShownIsoDate(std::string_view value) {
    std::string_view rest = value;
    int64_t year = 0;
    int64_t month = 0;
    int64_t day = 0;
    if (!TakeNumber(rest, year) || !rest.starts_with('-') ||
        !TakeNumber(rest = rest.substr(1), month) || !rest.starts_with('-') ||
        !TakeNumber(rest = rest.substr(1), day) || month < 1 || month > 12 || day < 1 || day > 31) {
        return std::string(value.substr(0, 32));
    }
    std::string shown = DateText(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    int64_t hours = 0;
    int64_t minutes = 0;
    int64_t seconds = 0;
    if (rest.starts_with('T') && TakeNumber(rest = rest.substr(1), hours) &&
        rest.starts_with(':') && TakeNumber(rest = rest.substr(1), minutes)) {
        if (rest.starts_with(':')) {
            TakeNumber(rest = rest.substr(1), seconds);
        }
        if (hours != 0 || minutes != 0 || seconds != 0) {
            shown += " " + TimeText(hours, minutes, seconds);
        }
    }
    return shown;
}

std::string ShownIsoDuration(std::string_view value) {
    // [-]P[nD]T[nH][nM][n[.n]S]
    std::string_view rest = value;
    const bool negative = rest.starts_with('-');
    if (negative) {
        rest.remove_prefix(1);
    }
    if (!rest.starts_with('P')) {
        return std::string(value.substr(0, 32));
    }
    rest.remove_prefix(1);
    int64_t days = 0;
    int64_t hours = 0;
    int64_t minutes = 0;
    int64_t seconds = 0;
    int64_t number = 0;
    while (!rest.empty()) {
        if (rest.front() == 'T') {
            rest.remove_prefix(1);
            continue;
        }
        if (!TakeNumber(rest, number) || rest.empty()) {
            break;
        }
        if (rest.front() == '.') {
            // A fraction of a second: shown to the second.
            rest.remove_prefix(1);
            int64_t fraction = 0;
            TakeNumber(rest, fraction);
            if (rest.empty()) {
                break;
            }
        }
        switch (rest.front()) {
            case 'D':
                days = number;
                break;
            case 'H':
                hours = number;
                break;
            case 'M':
                minutes = number;
                break;
            case 'S':
                seconds = number;
                break;
            default:
                return std::string(value.substr(0, 32));
        }
        rest.remove_prefix(1);
    }
    return (negative ? "-" : "") + TimeText(days * 24 + hours, minutes, seconds);
}

}  // namespace conversion::workbook
