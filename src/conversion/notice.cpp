#include "conversion/notice.h"

#include <string_view>

namespace conversion {
namespace {

std::string Where(const Notice& notice) {
    std::string where = std::to_string(notice.line) + "行目";
    if (notice.field) {
        where += std::to_string(*notice.field) + "列目";
    }
    return where;
}

std::string Quoted(std::string_view text) {
    return "「" + std::string(text) + "」";
}

}  // namespace

std::string NoticeText(const Notice& notice) {
    const std::string count = std::to_string(notice.count);
    const std::string value = std::to_string(notice.value);
    switch (notice.kind) {
        case Notice::Kind::kRowsBeyondLimit:
            return std::to_string(notice.line) + "行目から" + count +
                   "行は変換していません（変換するのは301行までです）。";
        case Notice::Kind::kRowsAfterBlankLine:
            return std::to_string(notice.line) + "行目の空行で表が終わり、その後の" + count +
                   "行は変換していません。";
        case Notice::Kind::kTextInNumber:
            if (notice.count > 1) {
                return std::to_string(notice.line) + "行目に数値でない欄が" + count +
                       "個あります（" + Where(notice) + "の" + Quoted(notice.text) + "を " + value +
                       " と読むなど）。";
            }
            return Where(notice) + "の" + Quoted(notice.text) + "は数値だけではないため、" + value +
                   " と読みました。";
        case Notice::Kind::kQuotedSeparator:
            return Where(notice) + "の" + Quoted(notice.text) +
                   "は、引用符の中の区切りで別々の欄に分かれました。";
        case Notice::Kind::kRounded:
            if (notice.count > 1) {
                return std::to_string(notice.line) + "行目の小数の値" + count +
                       "個を整数に丸めました（" + Where(notice) + "の" + Quoted(notice.text) +
                       "を " + value + " にするなど）。";
            }
            return Where(notice) + "の" + Quoted(notice.text) + "を " + value + " に丸めました。";
    }
    return {};
}

}  // namespace conversion
