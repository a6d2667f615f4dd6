#include "conversion/line_reader.h"

#include <algorithm>
#include <unordered_map>

namespace conversion {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCp932IdeographicSpace = "\x81\x40";
constexpr std::string_view kUtf8IdeographicSpace = "\xE3\x80\x80";

bool IsAscii(std::string_view bytes) {
    return platform::AsciiPrefixLength(bytes) == bytes.size();
}

// Whether every character the decoded UTF-8 holds has a code page 932 form; each distinct
// character is asked of iconv once.
class Cp932Coverage {
  public:
    bool Covers(std::u32string_view text) {
        for (char32_t ch : text) {
            if (ch < 0x80) {
                continue;
            }
            auto [known, inserted] = known_.try_emplace(ch, false);
            if (inserted) {
                known->second = encoder_.CanEncode(ch);
            }
            if (!known->second) {
                return false;
            }
        }
        return true;
    }

  private:
    platform::Cp932Encoder encoder_;
    std::unordered_map<char32_t, bool> known_;
};

}  // namespace

InputEncoding DetectInputEncoding(platform::InputFile& input) {
    input.Rewind();
    InputEncoding result;
    platform::TextDecoder utf8(platform::TextEncoding::kUtf8);
    Cp932Coverage coverage;
    std::u32string decoded;
    bool sawNonAscii = false;
    bool firstLine = true;
    while (!input.AtEnd()) {
        const std::string& line = input.ReadLine();
        if (firstLine && line.starts_with(kUtf8ByteOrderMark)) {
            input.Rewind();
            return {platform::TextEncoding::kUtf8, true};
        }
        firstLine = false;
        if (IsAscii(line)) {
            continue;
        }
        sawNonAscii = true;
        if (!utf8.DecodeInto(line, decoded) || !coverage.Covers(decoded)) {
            input.Rewind();
            return result;
        }
    }
    input.Rewind();
    if (sawNonAscii) {
        result.encoding = platform::TextEncoding::kUtf8;
    }
    return result;
}

TableLineReader::TableLineReader(platform::InputFile& input, InputEncoding encoding)
    : input_(input), encoding_(encoding), decoder_(encoding.encoding) {}

void TableLineReader::Restart() {
    input_.Rewind();
    lineNumber_ = 0;
}

std::string_view TableLineReader::ReadRawLine() {
    std::string_view line = input_.ReadLine();
    ++lineNumber_;
    if (lineNumber_ == 1 && encoding_.hasByteOrderMark && line.starts_with(kUtf8ByteOrderMark)) {
        line.remove_prefix(kUtf8ByteOrderMark.size());
    }
    return line;
}

bool TableLineReader::IsBlank(std::string_view rawLine) const {
    std::string_view ideographicSpace = encoding_.encoding == platform::TextEncoding::kUtf8
                                            ? kUtf8IdeographicSpace
                                            : kCp932IdeographicSpace;
    // Scanning from the start keeps to character boundaries: the first byte that is not part
    // of a space ends the test.
    while (!rawLine.empty()) {
        if (rawLine.front() == ' ') {
            rawLine.remove_prefix(1);
        } else if (rawLine.starts_with(ideographicSpace)) {
            rawLine.remove_prefix(ideographicSpace.size());
        } else {
            return false;
        }
    }
    return true;
}

bool IsBlankText(std::u32string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char32_t c) { return c == U' ' || c == U'\u3000'; });
}

const std::u32string& ReadLineCP932(TableLineReader& reader) {
    std::string_view raw = reader.ReadRawLine();
    if (!reader.decoder_.DecodeInto(raw, reader.decodedLine_)) {
        // Name the encoding the file was read in: one that starts with the UTF-8 mark is read
        // as UTF-8 whatever follows.
        throw platform::RunError(
            platform::error_code::kInvalidData,
            reader.encoding_.encoding == platform::TextEncoding::kUtf8
                ? "入力ファイルに UTF-8 として読めないバイト列があります。"
                : "入力ファイルに Shift-JIS として読めないバイト列があります。",
            reader.lineNumber());
    }
    return reader.decodedLine_;
}

}  // namespace conversion
