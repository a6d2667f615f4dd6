#pragma once

#include <string>
#include <string_view>

#include "platform/os/code_page.h"
#include "platform/os/file_access.h"

namespace conversion {

// How the input's bytes are to be read. Tables saved by editors and spreadsheets on this
// platform are often UTF-8; the fare display tools have always used code page 932.
struct InputEncoding {
    platform::TextEncoding encoding = platform::TextEncoding::kCp932;
    bool hasByteOrderMark = false;
};

// UTF-8 where the file starts with the UTF-8 byte order mark, or where the whole file is
// valid UTF-8, holds a byte that is not ASCII, and holds only characters code page 932 can
// write; code page 932 otherwise. Leaves the file at its start.
InputEncoding DetectInputEncoding(platform::InputFile& input);

// Reads lines of one input file, with the byte order mark (if any) taken off the first.
class TableLineReader {
  public:
    TableLineReader(platform::InputFile& input, InputEncoding encoding);

    // Back to the first line.
    void Restart();
    bool AtEnd() { return input_.AtEnd(); }
    // The next line's bytes, line end removed.
    std::string_view ReadRawLine();
    // True where the line's bytes hold nothing but spaces (half-width or ideographic): the
    // row count needs no decoding.
    bool IsBlank(std::string_view rawLine) const;
    int lineNumber() const { return lineNumber_; }

  private:
    friend const std::u32string& ReadLineCP932(TableLineReader& reader);

    platform::InputFile& input_;
    InputEncoding encoding_;
    int lineNumber_ = 0;
    platform::TextDecoder decoder_;
    std::u32string decodedLine_;
};

// True where the text holds nothing but spaces (half-width or ideographic).
bool IsBlankText(std::u32string_view text);

// Reads the next line and decodes it to Unicode characters. Code 5 where its bytes are not
// valid in the file's encoding. The reference stays valid until the next call.
const std::u32string& ReadLineCP932(TableLineReader& reader);

}  // namespace conversion
