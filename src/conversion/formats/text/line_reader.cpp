#include "conversion/formats/text/line_reader.h"

#include <algorithm>
#include <cstring>

#include "conversion/formats/text/blank_bytes.h"
#include "conversion/formats/text/utf8_evidence.h"
#include "fare_model/text_rules.h"

namespace conversion {
namespace {

using fare_model::ContinuesLineEnd;
using fare_model::IsLineEnd;
using platform::TextEncoding;

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr char kEndOfFileMark = '\x1A';  // Ctrl-Z
// The row counter has always been 16 bits wide.
constexpr int kMaxCountedRows = INT16_MAX;
// How far past the blank line the first reading looks for rows that it leaves out.
constexpr size_t kLookAheadBytes = size_t{1} << 20;

}  // namespace

TableLineReader::TableLineReader(platform::InputFile& input) : input_(input) {}

std::string_view TableLineReader::NextBlock() {
    std::string_view bytes = input_.ReadBlock();
    if (atFileStart_) {
        atFileStart_ = false;
        if (size_t mark = utf16_.Start(bytes)) {
            bytes.remove_prefix(mark);
        } else if (LooksLikeUtf16WithoutMark(bytes)) {
            throw RunError(error_code::kInvalidData, Reason::kUtf16WithoutMark, 1);
        }
    }
    if (!utf16_.active()) {
        return bytes;
    }
    try {
        // A block may end inside a character: its bytes wait for the next block.
        while (true) {
            std::string_view text = utf16_.Transcode(bytes, bytes.empty());
            if (!text.empty() || bytes.empty()) {
                return text;
            }
            bytes = input_.ReadBlock();
        }
    } catch (const RunError& error) {
        throw error.WithLine(std::max(lineNumber_, 1));
    }
}

bool TableLineReader::Fill() {
    while (block_.empty()) {
        block_ = NextBlock();
        nextCarriageReturn_ = nextLineFeed_ = nullptr;
        if (block_.empty()) {
            return false;
        }
        if (lineFeedMayFollow_ && ContinuesLineEnd('\r', block_.front())) {
            block_.remove_prefix(1);
        }
        lineFeedMayFollow_ = false;
    }
    return true;
}

void TableLineReader::BeginLine() {
    ++lineNumber_;
    if (lineNumber_ == 1 && Fill() && block_.starts_with(kUtf8ByteOrderMark)) {
        block_.remove_prefix(kUtf8ByteOrderMark.size());
        sawByteOrderMark_ = true;
    }
}

const char* TableLineReader::FindLineEnd() {
    // memchr is far faster than a byte loop; the positions found are kept, so that a file
    // with only one kind of line end is not searched to the end of the block for every line.
    const char* begin = block_.data();
    const char* end = begin + block_.size();
    auto find = [&](const char*& cached, char byte) {
        if (cached == nullptr || cached < begin) {
            cached = static_cast<const char*>(std::memchr(begin, byte, block_.size()));
            if (cached == nullptr) {
                cached = end;
            }
        }
        return cached;
    };
    const char* carriageReturn = find(nextCarriageReturn_, '\r');
    const char* lineFeed = find(nextLineFeed_, '\n');
    return std::min(carriageReturn, lineFeed);
}

TableLineReader::Piece TableLineReader::ReadPiece() {
    if (!Fill()) {
        return {{}, true};  // the last line may end at the end of the file
    }
    const char* lineEnd = FindLineEnd();
    size_t length = static_cast<size_t>(lineEnd - block_.data());
    Piece piece{block_.substr(0, length), length < block_.size()};
    if (!piece.endsLine) {
        block_ = {};
        return piece;
    }
    char endByte = block_[length];
    block_.remove_prefix(length + 1);
    if (block_.empty()) {
        lineFeedMayFollow_ = endByte == '\r';
    } else if (ContinuesLineEnd(endByte, block_.front())) {
        block_.remove_prefix(1);
    }
    return piece;
}

TableCount TableLineReader::CountRows() {
    Restart({});
    Utf8Evidence evidence;
    BlankBytes blankInCp932(TextEncoding::kCp932);
    BlankBytes blankInUtf8(TextEncoding::kUtf8);
    TableCount count;
    auto encodingSoFar = [&] {
        return sawByteOrderMark_ || evidence.IsUtf8() ? TextEncoding::kUtf8 : TextEncoding::kCp932;
    };
    while (!AtEnd()) {
        BeginLine();
        blankInCp932.StartLine();
        blankInUtf8.StartLine();
        std::optional<char> sameByte;  // while the line repeats one byte
        bool oneByteOnly = true;
        Piece piece;
        do {
            piece = ReadPiece();
            if (!sawByteOrderMark_) {
                evidence.Feed(piece.bytes, piece.endsLine);
            }
            blankInCp932.Feed(piece.bytes);
            blankInUtf8.Feed(piece.bytes);
            // Stops at the first byte that differs: usually the line's second.
            for (size_t at = 0; oneByteOnly && at < piece.bytes.size(); ++at) {
                oneByteOnly = piece.bytes[at] == sameByte.value_or(piece.bytes[at]);
                sameByte = piece.bytes[at];
            }
        } while (!piece.endsLine);
        // A blank line is blank in the encoding its own bytes settle: spaces alone are blank in
        // both, 81 40 is no UTF-8 and E3 80 80 is the evidence for it.
        bool blank =
            encodingSoFar() == TextEncoding::kUtf8 ? blankInUtf8.IsBlank() : blankInCp932.IsBlank();
        if (blank) {
            count.blankLine = true;
            count.blankLineNumber = lineNumber_;
            break;
        }
        if (count.rows == kMaxCountedRows) {
            throw RunError(error_code::kOverflow, Reason::kTooManyRows, lineNumber_);
        }
        ++count.rows;
        // What a damaged file or an old editor leaves as the last row.
        count.lastRowJunk = !oneByteOnly || !sameByte     ? TableCount::Junk::kNone
                            : *sameByte == '\0'           ? TableCount::Junk::kZeroFilled
                            : *sameByte == kEndOfFileMark ? TableCount::Junk::kEndOfFileMark
                                                          : TableCount::Junk::kNone;
    }
    count.encoding = {encodingSoFar(), sawByteOrderMark_};
    if (count.blankLine) {
        count.rowsAfterBlank = CountNonBlankLinesFollowing(count.encoding.encoding);
    }
    // UTF-8 with a character code page 932 cannot write, such as 𠮷: read as UTF-8 where it
    // is no code page 932 text, so that the character is named as with a byte order mark.
    if (!sawByteOrderMark_ && evidence.IsUtf8ButForCoverage() && !RowsAreCp932(count.rows)) {
        count.encoding.encoding = TextEncoding::kUtf8;
    }
    return count;
}

bool TableLineReader::RowsAreCp932(int rows) {
    Restart({});
    try {
        for (int row = 0; row < rows && !AtEnd(); ++row) {
            ReadLineCharacters([](std::u32string_view) {});
        }
    } catch (const fare_model::RunError&) {
        return false;
    }
    return true;
}

int TableLineReader::CountNonBlankLinesFollowing(TextEncoding encoding) {
    BlankBytes blank(encoding);
    size_t bytesRead = 0;
    int lines = 0;
    while (lineNumber_ <= kMaxCountedRows && bytesRead <= kLookAheadBytes && !AtEnd()) {
        BeginLine();
        blank.StartLine();
        Piece piece;
        do {
            piece = ReadPiece();
            bytesRead += piece.bytes.size() + 1;
            blank.Feed(piece.bytes);
        } while (!piece.endsLine && bytesRead <= kLookAheadBytes);
        // A space cut short, as in 81 alone, is not blank either.
        if (!blank.MayBeBlank() || (piece.endsLine && !blank.IsBlank())) {
            ++lines;
        }
    }
    return lines;
}

void TableLineReader::Restart(InputEncoding encoding) {
    input_.Rewind();
    atFileStart_ = true;
    block_ = {};
    lineFeedMayFollow_ = false;
    sawByteOrderMark_ = false;
    lineNumber_ = 0;
    if (!decoder_ || encoding.encoding != encoding_.encoding) {
        decoder_.emplace(encoding.encoding);
    }
    encoding_ = encoding;
}

namespace {

// The bytes where a piece stops being text, found by decoding one character at a time: only
// a failing line pays for it.
std::string FirstBytesNotText(TextEncoding encoding, std::string_view piece) {
    platform::TextDecoder decoder(encoding);
    size_t at = 0;
    while (at < piece.size()) {
        size_t length = 1;
        while (length <= 4 && at + length <= piece.size() &&
               !decoder.Decode(piece.substr(at, length))) {
            ++length;
        }
        if (length > 4 || at + length > piece.size()) {
            std::string shown;
            for (size_t k = at; k < std::min(piece.size(), at + 2); ++k) {
                static constexpr char kHex[] = "0123456789ABCDEF";
                auto byte = static_cast<unsigned char>(piece[k]);
                shown += shown.empty() ? "" : " ";
                shown += kHex[byte >> 4];
                shown += kHex[byte & 0xF];
            }
            return shown;
        }
        at += length;
    }
    return {};
}

}  // namespace

void TableLineReader::ThrowNotText(std::string_view piece) const {
    // Name the encoding the file was read in: one that starts with the UTF-8 mark is read as
    // UTF-8 whatever follows.
    bool utf8 = encoding_.encoding == TextEncoding::kUtf8;
    throw RunError(error_code::kInvalidData, utf8 ? Reason::kNotUtf8 : Reason::kNotCp932,
                   lineNumber_)
        .WithText(FirstBytesNotText(encoding_.encoding, piece));
}

void TableLineReader::ReadLineCharacters(const std::function<void(std::u32string_view)>& sink) {
    BeginLine();
    Piece piece;
    do {
        piece = ReadPiece();
        if (!decoder_->DecodePiece(piece.bytes, piece.endsLine, decodedPiece_)) {
            ThrowNotText(piece.bytes);
        }
        sink(decodedPiece_);
    } while (!piece.endsLine);
}

const std::u32string& TableLineReader::ReadLineCP932() {
    decodedLine_.clear();
    ReadLineCharacters([this](std::u32string_view characters) { decodedLine_ += characters; });
    return decodedLine_;
}

}  // namespace conversion
