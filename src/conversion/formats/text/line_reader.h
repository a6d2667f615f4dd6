#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/formats/text/utf16_text.h"
#include "conversion/row_source.h"
#include "platform/os/code_converter.h"
#include "platform/os/code_page.h"
#include "platform/os/file_system.h"

namespace conversion {

// Reads the lines of one input file, a bounded piece at a time, with the byte order mark
// (if any) taken off the first line.
class TableLineReader {
  public:
    explicit TableLineReader(platform::InputFile& input);

    // The first reading, from the start: counts the rows up to the first blank line (code 6
    // past 32767) and decides the encoding from those lines alone: UTF-8 where the file starts
    // with the UTF-8 byte order mark or the rows are the Utf8Evidence for it, code page 932
    // otherwise. Stops at the first blank line (and looks a bounded way past it), at line
    // 32768 or at the end of the file.
    TableCount CountRows();
    // Back to the first line, to read in `encoding`.
    void Restart(InputEncoding encoding);

    bool AtEnd() { return !Fill(); }
    // Reads the next line and decodes it to Unicode characters. Code 5 where its bytes are
    // not valid in the file's encoding. The reference stays valid until the next call.
    const std::u32string& ReadLineCP932();
    // The same, handing the line's characters to `sink` a bounded piece at a time, so that no
    // line is ever held whole.
    void ReadLineCharacters(const std::function<void(std::u32string_view)>& sink);
    int lineNumber() const { return lineNumber_; }

  private:
    struct Piece {
        std::string_view bytes;
        bool endsLine;
    };

    bool Fill();  // false at the end of the file
    // The file's next block, as UTF-8 where the file is UTF-16 with a byte order mark.
    std::string_view NextBlock();
    void BeginLine();
    Piece ReadPiece();
    const char* FindLineEnd();
    int CountNonBlankLinesFollowing(platform::TextEncoding encoding);
    bool RowsAreCp932(int rows);
    [[noreturn]] void ThrowNotText(std::string_view piece) const;

    platform::InputFile& input_;
    std::string_view block_;  // the unread rest of the current block
    // A line that ended at a CR closing a block: an LF opening the next one belongs to it.
    bool lineFeedMayFollow_ = false;
    const char* nextCarriageReturn_ = nullptr;
    const char* nextLineFeed_ = nullptr;
    bool sawByteOrderMark_ = false;
    InputEncoding encoding_;
    int lineNumber_ = 0;
    std::optional<platform::TextDecoder> decoder_;
    bool atFileStart_ = true;
    Utf16Text utf16_;
    std::u32string decodedPiece_;
    std::u32string decodedLine_;
};

}  // namespace conversion
