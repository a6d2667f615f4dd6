// Runs the whole conversion on arbitrary input bytes, with or without a previous data file,
// and checks what a user relies on: a Succeeded run leaves a data file whose count matches
// the records that follow it; any other outcome leaves the previous output byte for byte and
// no temporary file; the input is never changed.
//
// The first byte of an input says whether a previous output exists (odd) or not (even); the
// rest is the fare table file. Where the outcome can be told another way, it must agree: an
// ASCII table against ParseFareLine row by row, a UTF-8 table against the same table saved in
// code page 932.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/conversion_run.h"
#include "conversion/formats/text/line_reader.h"
#include "conversion/formats/workbook/workbook.h"
#include "conversion/wording.h"
#include "fare_model/fare_line_parser.h"
#include "fare_model/run_error.h"
#include "platform/os/code_page.h"
#include "test_support.h"

namespace {

using conversion::ConversionOutcome;
using test_support::ReadBytesIfPresent;
using test_support::ScratchFolder;
using test_support::WriteBytes;

const std::string kPreviousOutput("\x01\x00\x01\x00Z\x00\x00", 7);

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

unsigned ReadUint16(const std::string& bytes, size_t offset) {
    return static_cast<unsigned char>(bytes[offset]) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[offset + 1])) << 8;
}

// The data file holds the count and exactly that many records, each 304 bytes plus its name.
void CheckDataFile(const std::string& bytes, std::string_view input) {
    if (bytes.size() < 2) {
        Broken("the data file has no count");
    }
    unsigned count = ReadUint16(bytes, 0);
    if (count < 1 || count > 301) {
        Broken("the count is outside 1 to 301");
    }
    size_t lineEnds = 0;
    for (char ch : input) {
        lineEnds += ch == '\r' || ch == '\n';
    }
    if (count > lineEnds + 1) {
        Broken("more records than lines");
    }
    size_t offset = 2;
    for (unsigned record = 0; record < count; ++record) {
        if (offset + 2 > bytes.size()) {
            Broken("a record is cut short");
        }
        offset += 304 + ReadUint16(bytes, offset);
        if (offset > bytes.size()) {
            Broken("a record is cut short");
        }
    }
    if (offset != bytes.size()) {
        Broken("bytes follow the last counted record");
    }
}

// For a table of ASCII bytes, where both encodings read every byte as itself, the outcome can
// be told from ParseFareLine alone: the rows up to the first blank line, at most 301, each
// parsed, and the first that fails names its code and line.
struct ExpectedRun {
    std::optional<int> failedCode;
    int failedLine = 0;
    std::string dataFile;  // when neither failed nor empty
    bool nothingToConvert = false;
};

std::optional<ExpectedRun> ExpectFromAscii(std::string_view table) {
    // A table that starts as a zip does is read as a workbook, not by its lines.
    if (conversion::workbook::ContainerOf(table) != conversion::workbook::Container::kOther) {
        return std::nullopt;
    }
    for (char ch : table) {
        if (static_cast<unsigned char>(ch) >= 0x80) {
            return std::nullopt;
        }
    }
    // Zero bytes at every other place: UTF-16 without its mark, refused before any row.
    if (conversion::LooksLikeUtf16WithoutMark(table)) {
        return ExpectedRun{5, 1, {}, false};
    }
    std::vector<std::string_view> rows;
    size_t start = 0;
    while (start < table.size()) {
        size_t end = table.find_first_of("\r\n", start);
        std::string_view line =
            table.substr(start, end == std::string_view::npos ? end : end - start);
        if (line.find_first_not_of(' ') == std::string_view::npos) {
            break;
        }
        rows.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + (table.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    ExpectedRun expected;
    if (rows.empty()) {
        expected.nothingToConvert = true;
        return expected;
    }
    if (rows.size() > 301) {
        rows.resize(301);
    }
    std::string& bytes = expected.dataFile;
    auto append16 = [&bytes](int value) {
        bytes.push_back(static_cast<char>(value & 0xFF));
        bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
    };
    append16(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        std::u32string line(rows[i].begin(), rows[i].end());
        fare_model::FareLineRecord record;
        try {
            record = fare_model::ParseFareLine(line);
        } catch (const fare_model::RunError& error) {
            expected.failedCode = error.code();
            expected.failedLine = static_cast<int>(i) + 1;
            return expected;
        }
        append16(static_cast<int>(record.PlaceName.size()));
        for (char32_t ch : record.PlaceName) {
            bytes.push_back(static_cast<char>(ch));
        }
        append16(record.ZoneNumber);
        for (int16_t fare : record.Fares) {
            append16(fare);
        }
    }
    return expected;
}

void CheckAgainstExpected(const ExpectedRun& expected, const ConversionOutcome& outcome,
                          const std::string& output) {
    if (expected.nothingToConvert) {
        if (outcome.kind != ConversionOutcome::Kind::kNothingToConvert) {
            Broken("an ASCII table without rows did not give NothingToConvert");
        }
    } else if (expected.failedCode) {
        if (outcome.kind != ConversionOutcome::Kind::kFailed ||
            outcome.error->code() != *expected.failedCode ||
            outcome.error->line() != expected.failedLine) {
            Broken("an ASCII table did not fail with the code and line of its bad row");
        }
    } else if (outcome.kind != ConversionOutcome::Kind::kSucceeded || output != expected.dataFile) {
        Broken("an ASCII table did not convert to the records its rows parse to");
    }
}

// Whether the table's own lines, up to the first blank one, hold a character that takes three
// or more bytes in UTF-8: without a byte order mark, only such a table is read as UTF-8.
bool TableHasLongUtf8Character(std::u32string_view text) {
    bool lineBlank = true;
    bool lineLong = false;
    bool sawLong = false;
    for (size_t at = 0; at <= text.size(); ++at) {
        char32_t ch = at < text.size() ? text[at] : U'\n';
        if (ch == U'\r' || ch == U'\n') {
            if (lineBlank) {
                return sawLong || lineLong;  // the blank line itself counts: its U+3000 decides
            }
            sawLong = sawLong || lineLong;
            lineBlank = true;
            lineLong = false;
            if (ch == U'\r' && at + 1 < text.size() && text[at + 1] == U'\n') {
                ++at;
            }
            continue;
        }
        lineBlank = lineBlank && (ch == U' ' || ch == U'\u3000');
        lineLong = lineLong || ch >= 0x800;
    }
    return sawLong;
}

// A table saved as UTF-8 must convert exactly as the same table saved in code page 932,
// where the code page 932 bytes cannot themselves be taken for UTF-8.
std::optional<std::string> SameTableInCodePage932(std::string_view table) {
    bool byteOrderMark = table.starts_with("\xEF\xBB\xBF");
    std::string_view text = byteOrderMark ? table.substr(3) : table;
    bool ascii = true;
    for (char ch : text) {
        ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
    }
    std::optional<std::u32string> characters = platform::DecodeUtf8(text);
    if (ascii || !characters || (!byteOrderMark && !TableHasLongUtf8Character(*characters))) {
        return std::nullopt;
    }
    static platform::Cp932Encoder encoder;
    std::optional<std::string> encoded = encoder.Encode(*characters);
    if (!encoded || platform::DecodeUtf8(*encoded)) {
        return std::nullopt;
    }
    // Zero bytes at every other place make a file UTF-16 without its mark; a character of
    // three UTF-8 bytes and two code page 932 bytes moves the zeros after it to the other
    // places, so the two forms of such a table may be taken differently.
    if (conversion::LooksLikeUtf16WithoutMark(table) ||
        conversion::LooksLikeUtf16WithoutMark(*encoded)) {
        return std::nullopt;
    }
    return encoded;
}

void CheckSameAsCodePage932(const ScratchFolder& folder, const std::string& cp932Table,
                            const ConversionOutcome& outcome, const std::string& output,
                            bool outputExists) {
    const std::string input = folder.Path("cp932.txt");
    const std::string cp932Output = folder.Path("cp932.hy3");
    WriteBytes(input, cp932Table);
    ConversionOutcome cp932Outcome = conversion::ConvertFareTable(input, cp932Output);
    const std::optional<std::string> bytes = ReadBytesIfPresent(cp932Output);
    unlink(input.c_str());
    unlink(cp932Output.c_str());
    if (cp932Outcome.kind != outcome.kind ||
        (outcome.error && (cp932Outcome.error->code() != outcome.error->code() ||
                           cp932Outcome.error->line() != outcome.error->line()))) {
        Broken("a UTF-8 table and the same table in code page 932 end differently");
    }
    if (outcome.kind == ConversionOutcome::Kind::kSucceeded &&
        (!bytes || !outputExists || *bytes != output)) {
        Broken("a UTF-8 table and the same table in code page 932 give different data files");
    }
}

// Notices never change the bytes: asked to withhold a table with notices, the run writes the
// same bytes where it has none and nothing where it has some, and tells the same notices.
void CheckNoticesChangeNoByte(const test_support::ScratchFolder& folder, const std::string& input,
                              const ConversionOutcome& outcome, const std::string& bytes) {
    const std::string strictOutput = folder.Path("strict.hy3");
    conversion::ConversionOptions strict;
    strict.withholdOnNotices = true;
    ConversionOutcome withheld = conversion::ConvertFareTableWith(input, strictOutput, strict);
    const std::optional<std::string> strictBytes = ReadBytesIfPresent(strictOutput);
    unlink(strictOutput.c_str());
    if (withheld.notices != outcome.notices) {
        Broken("the notices differ between two runs");
    }
    const bool expectWithheld = !outcome.notices.empty();
    if (withheld.kind != (expectWithheld ? ConversionOutcome::Kind::kWithheld
                                         : ConversionOutcome::Kind::kSucceeded) ||
        strictBytes.has_value() == expectWithheld || (strictBytes && *strictBytes != bytes)) {
        Broken("withholding on notices changed what is written");
    }
    for (const fare_model::Notice& notice : outcome.notices) {
        if (notice.line < 1 || conversion::NoticeText(notice).empty()) {
            Broken("a notice without its line or text");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Every successful run syncs its file: a folder in memory keeps that fast.
    static ScratchFolder folder(test_support::MemoryBackedFolder());
    if (size == 0) {
        return 0;
    }
    bool previousOutput = data[0] % 2 == 1;
    std::string_view table(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::string input = folder.Path("table.txt");
    const std::string output = folder.Path("table.hy3");
    WriteBytes(input, table);
    if (previousOutput) {
        WriteBytes(output, kPreviousOutput);
    } else {
        unlink(output.c_str());
    }

    ConversionOutcome outcome = conversion::ConvertFareTable(input, output);
    std::optional<ExpectedRun> expected = ExpectFromAscii(table);

    if (ReadBytesIfPresent(input) != table) {
        Broken("the input changed");
    }
    const std::optional<std::string> previousOrNew = ReadBytesIfPresent(output);
    const bool outputExists = previousOrNew.has_value();
    const std::string bytes = previousOrNew.value_or(std::string());
    std::set<std::string> expectedNames{"table.txt"};
    if (outputExists) {
        expectedNames.insert("table.hy3");
    }
    if (folder.Names() != expectedNames) {
        Broken("a file was left behind in the output folder");
    }

    switch (outcome.kind) {
        case ConversionOutcome::Kind::kSucceeded:
            if (!outputExists) {
                Broken("Succeeded without a data file");
            }
            CheckDataFile(bytes, table);
            break;
        case ConversionOutcome::Kind::kFailed: {
            int code = outcome.error->code();
            // From a table alone: bytes that are not text, numbers or names that do not fit,
            // too many fields.
            // A table that starts as a zip does is taken for a workbook, and refused as one.
            const bool startsAsAWorkbook =
                conversion::workbook::ContainerOf(table) != conversion::workbook::Container::kOther;
            // A workbook's cell may hold no number where one is read (13).
            if (code != 5 && code != 6 && code != 9 &&
                !((code == 321 || code == 13) && startsAsAWorkbook)) {
                std::fprintf(stderr, "code %d: %s\n", code,
                             conversion::DescriptionText(*outcome.error).c_str());
                Broken("a failure that a table alone cannot cause");
            }
            if (conversion::DescriptionText(*outcome.error).empty() ||
                !OutcomeText(outcome)->starts_with(std::to_string(code) + ":")) {
                Broken("the failure text");
            }
            if (outcome.error->line() && *outcome.error->line() < 1) {
                Broken("a line number below 1");
            }
            [[fallthrough]];
        }
        case ConversionOutcome::Kind::kNothingToConvert:
            if (outputExists != previousOutput || (outputExists && bytes != kPreviousOutput)) {
                Broken("the previous output was not kept");
            }
            break;
        case ConversionOutcome::Kind::kWithheld:
            Broken("withheld without being asked to");
    }
    if (outcome.kind == ConversionOutcome::Kind::kSucceeded) {
        CheckNoticesChangeNoByte(folder, input, outcome, bytes);
    }
    if (expected) {
        CheckAgainstExpected(*expected, outcome, bytes);
    } else if (std::optional<std::string> cp932Table = SameTableInCodePage932(table)) {
        CheckSameAsCodePage932(folder, *cp932Table, outcome, bytes, outputExists);
    }
    return 0;
}
