#include "fare_model/fare_table_listing.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fare_model/unicode.h"

namespace fare_model {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

bool InRanges(char32_t ch, std::span<const Range> ranges) {
    auto after = std::upper_bound(ranges.begin(), ranges.end(), ch,
                                  [](char32_t c, const Range& r) { return c < r.first; });
    return after != ranges.begin() && ch <= std::prev(after)->last;
}

// Combining marks and zero-width characters, in order.
constexpr std::array<Range, 12> kZeroWidth{{
    {0x0300, 0x036F},
    {0x0483, 0x0489},
    {0x1AB0, 0x1AFF},
    {0x1DC0, 0x1DFF},
    {0x200B, 0x200F},
    {0x2060, 0x2064},
    {0x20D0, 0x20FF},
    {0x302A, 0x302D},
    {0x3099, 0x309A},
    {0xFE00, 0xFE0F},
    {0xFE20, 0xFE2F},
    {0xE0100, 0xE01EF},
}};

// East Asian Wide and Fullwidth, in order; coarse where code page 932 has nothing.
constexpr std::array<Range, 22> kWide{{
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x2E80, 0x3029},   {0x302E, 0x303E},   {0x3041, 0x3096},   {0x309B, 0x33FF},
    {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xA960, 0xA97F},
    {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F300, 0x1F64F}, {0x20000, 0x3FFFD},
}};

bool IsControl(char32_t ch) {
    return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F);
}

struct Cell {
    std::string text;
    int width = 0;
};

Cell NumberCell(int value) {
    std::string text = std::to_string(value);
    int width = static_cast<int>(text.size());
    return {std::move(text), width};
}

Cell NameCell(std::u32string_view name) {
    Cell cell;
    std::u32string printable;
    for (char32_t ch : name) {
        if (IsControl(ch)) {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            for (char32_t shown :
                 {U'\\', U'x', char32_t(kDigits[ch >> 4]), char32_t(kDigits[ch & 0xF])}) {
                printable.push_back(shown);
            }
            cell.width += 4;
        } else {
            char32_t shown = IsUnicodeScalar(ch) ? ch : U'\uFFFD';
            printable.push_back(shown);
            cell.width += TerminalWidth(shown);
        }
    }
    cell.text = EncodeUtf8(printable);
    return cell;
}

void Pad(std::string& line, int spaces) {
    line.append(static_cast<size_t>(std::max(spaces, 0)), ' ');
}

}  // namespace

std::string PrintableName(std::u32string_view name) {
    return NameCell(name).text;
}

int TerminalWidth(char32_t ch) {
    if (ch < 0x300) {
        return 1;  // the common case: ASCII and Latin
    }
    if (InRanges(ch, kZeroWidth)) {
        return 0;
    }
    return InRanges(ch, kWide) ? 2 : 1;
}

std::string FareTableListing(std::span<const FareLineRecord> records,
                             const ListingHeadings& headings) {
    struct Row {
        Cell number, name, zone;
        std::vector<Cell> fares;
    };
    const Cell headers[] = {NameCell(headings.row), NameCell(headings.place),
                            NameCell(headings.zone), NameCell(headings.fares)};

    std::vector<Row> rows;
    rows.reserve(records.size());
    int numberWidth = headers[0].width;
    int nameWidth = headers[1].width;
    int zoneWidth = headers[2].width;
    std::vector<int> fareWidths;
    for (size_t i = 0; i < records.size(); ++i) {
        const FareLineRecord& record = records[i];
        Row& row = rows.emplace_back();
        row.number = NumberCell(static_cast<int>(i) + 1);
        row.name = NameCell(record.PlaceName);
        row.zone = NumberCell(record.ZoneNumber);
        const size_t shown = FaresInUse(record);
        fareWidths.resize(std::max(fareWidths.size(), shown), 0);
        for (size_t k = 0; k < shown; ++k) {
            row.fares.push_back(NumberCell(record.Fares[k]));
            fareWidths[k] = std::max(fareWidths[k], row.fares.back().width);
        }
        numberWidth = std::max(numberWidth, row.number.width);
        nameWidth = std::max(nameWidth, row.name.width);
        zoneWidth = std::max(zoneWidth, row.zone.width);
    }

    std::string out;
    auto header = [&](const Cell& cell, int width) {
        out += cell.text;
        Pad(out, width - cell.width + 2);
    };
    header(headers[0], numberWidth);
    header(headers[1], nameWidth);
    header(headers[2], zoneWidth);
    out += headers[3].text;
    out += '\n';
    for (const Row& row : rows) {
        // Numbers to the right of their column, names to the left.
        std::string line;
        Pad(line, numberWidth - row.number.width);
        line += row.number.text;
        line += "  ";
        line += row.name.text;
        Pad(line, nameWidth - row.name.width + 2);
        Pad(line, zoneWidth - row.zone.width);
        line += row.zone.text;
        for (size_t k = 0; k < row.fares.size(); ++k) {
            line += k == 0 ? "  " : " ";
            Pad(line, fareWidths[k] - row.fares[k].width);
            line += row.fares[k].text;
        }
        out += line;
        out += '\n';
    }
    return out;
}

}  // namespace fare_model
