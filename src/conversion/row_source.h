#pragma once

#include <optional>
#include <string>

#include "conversion/fare_model_names.h"
#include "platform/os/code_page.h"

namespace conversion {

// How the input's bytes are to be read. Tables saved by editors and spreadsheets on this
// platform are often UTF-8; the fare display tools have always used code page 932.
struct InputEncoding {
    platform::TextEncoding encoding = platform::TextEncoding::kCp932;
    bool hasByteOrderMark = false;
};

// What the first reading of a table found.
struct TableCount {
    int rows = 0;  // the lines before the first blank line
    InputEncoding encoding;
    bool blankLine = false;  // the table ends at a blank line, not at the end of the file
    int blankLineNumber = 0;
    // The lines that are not blank after the blank line, within line 32768 and the first MiB
    // after the blank line; the reading looks no further.
    int rowsAfterBlank = 0;
    // The last row counted is only NUL bytes (a damaged file's tail) or only Ctrl-Z (the
    // end-of-file mark of old editors).
    enum class Junk { kNone, kZeroFilled, kEndOfFileMark };
    Junk lastRowJunk = Junk::kNone;
};

// Where a conversion takes its rows from: a table text file or any other format that yields
// rows of fields (formats/). The table is read twice: once to count its rows, once to read
// them; it ends at its first blank row.
class RowSource {
  public:
    virtual ~RowSource() = default;

    // The first reading, from the start: counts the rows up to the end of the table (code 6
    // past 32767) and what the table loses after it.
    virtual TableCount CountRows() = 0;
    // Back to the first row, for the second reading.
    virtual void Restart(const TableCount& count) = 0;

    enum class Row { kEnd, kBlank, kRow };
    // Reads the next row: kEnd where there is none, kBlank for a blank one, else kRow with
    // its record and notices (without line numbers). Where `wanted` is false (a row beyond
    // those counted) the row is only told apart from a blank one, read no further than needed.
    // Throws RunError for a row that cannot be read or whose value does not fit.
    virtual Row ReadRow(bool wanted, FareLineRecord& record, Notices& notices) = 0;
    // What the source tells of the table as a whole (which sheet, where the table starts),
    // once the rows are counted.
    virtual Notices TableNotices() { return {}; }
    // The workbook's sheet the rows come from; empty for a text file.
    virtual std::string SheetName() const { return {}; }
    // The number of the row read last, from 1, as the user counts rows in the file.
    virtual int rowNumber() const = 0;
    // The place of a row or field as the user's own program shows it ("運賃!C12"); none for
    // a text file, whose lines and fields are numbered.
    virtual std::string CellReference(int /*row*/, std::optional<int> /*field*/) const {
        return {};
    }
};

}  // namespace conversion
