#include "fare_model/fare_table_listing.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cwchar>
#include <string>
#include <vector>

#include "conversion/wording.h"
#include "platform/os/code_page.h"

namespace {

using fare_model::FareLineRecord;

TEST(FareTableListing, AlignsColumnsByDisplayWidth) {
    std::vector<FareLineRecord> records(4);
    records[0].PlaceName = U"１２３系統";
    records[0].ZoneNumber = 1;
    records[0].Fares[0] = 140;
    records[1].PlaceName = U"ﾊﾞｽ停";  // half-width katakana: one column each
    records[1].ZoneNumber = -12;
    records[1].Fares[0] = 1500;
    records[1].Fares[1] = 0;
    records[1].Fares[2] = -1;
    records[2].PlaceName = U"A\x1B[2J";  // an escape sequence is shown, not sent
    records[3].PlaceName = U"か\u3099";  // a combining mark takes no column
    EXPECT_EQ(fare_model::FareTableListing(records, conversion::ListingHeadings()),
              "行  地名        ゾーン  運賃\n"
              " 1  １２３系統       1   140\n"
              " 2  ﾊﾞｽ停          -12  1500 0 -1\n"
              " 3  A\\x1B[2J         0\n"
              " 4  か\u3099               0\n");
}

#ifndef _WIN32
// The fixed table agrees with the C library's wcwidth on every character code page 932
// holds, where the library knows one (Windows' C library has no wcwidth).
TEST(TerminalWidth, AgreesWithTheCLibraryOnCodePage932) {
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    platform::TextDecoder decoder(platform::TextEncoding::kCp932);
    int compared = 0;
    for (int code = 0x20; code <= 0xFCFC; ++code) {
        std::string bytes;
        if (code > 0xFF) {
            bytes.push_back(static_cast<char>(code >> 8));
        }
        bytes.push_back(static_cast<char>(code & 0xFF));
        std::optional<std::u32string> text = decoder.Decode(bytes);
        if (!text || text->size() != 1 || (*text)[0] == 0x7F) {
            continue;
        }
        char32_t ch = (*text)[0];
        // Private use characters have no width of their own in the C library.
        if (ch >= 0xE000 && ch <= 0xF8FF) {
            continue;
        }
        ++compared;
        EXPECT_EQ(fare_model::TerminalWidth(ch), wcwidth(static_cast<wchar_t>(ch)))
            << "U+" << std::hex << static_cast<unsigned>(ch);
    }
    std::setlocale(LC_CTYPE, saved.c_str());
    EXPECT_GT(compared, 7000);
}
#endif

}  // namespace
