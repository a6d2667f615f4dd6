#pragma once

#include <optional>
#include <string>

#include "conversion/fare_line_parser.h"
#include "conversion/fare_line_record.h"
#include "conversion/line_reader.h"
#include "conversion/notice.h"
#include "conversion/row_watch.h"

namespace conversion {

// Where a conversion takes its rows from: a table text file (TextRowSource) or any other
// format that yields rows of fields. The table is read twice: once to count its rows, once to
// read them; it ends at its first blank row.
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
    // Throws platform::RunError for a row that cannot be read or whose value does not fit.
    virtual Row ReadRow(bool wanted, FareLineRecord& record, Notices& notices) = 0;
    // The number of the row read last, from 1, as the user counts rows in the file.
    virtual int rowNumber() const = 0;
    // The place of a row or field as the user's own program shows it ("運賃!C12"); none for
    // a text file, whose lines and fields are numbered.
    virtual std::string CellReference(int /*row*/, std::optional<int> /*field*/) const {
        return {};
    }
};

// The rows of a fare table text file: its lines in code page 932 or UTF-8, split into fields
// by FareLineParser, never holding a line whole.
class TextRowSource : public RowSource {
  public:
    explicit TextRowSource(platform::InputFile& input) : reader_(input) {}

    TableCount CountRows() override { return reader_.CountRows(); }
    void Restart(const TableCount& count) override { reader_.Restart(count.encoding); }
    Row ReadRow(bool wanted, FareLineRecord& record, Notices& notices) override;
    int rowNumber() const override { return reader_.lineNumber(); }

  private:
    TableLineReader reader_;
    FareLineParser parser_;
    RowWatch watch_;
};

}  // namespace conversion
