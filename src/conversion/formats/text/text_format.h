#pragma once

#include "conversion/formats/input_format.h"
#include "conversion/formats/text/line_reader.h"
#include "fare_model/fare_line_parser.h"
#include "fare_model/row_watch.h"

namespace conversion {

// The rows of a fare table text file: its lines in code page 932 or UTF-8 (or UTF-16 with its
// byte order mark), split into fields by FareLineParser, never holding a line whole.
class TextRowSource : public RowSource {
  public:
    explicit TextRowSource(platform::InputFile& input) : reader_(input) {}

    TableCount CountRows() override { return reader_.CountRows(); }
    void Restart(const TableCount& count) override { reader_.Restart(count.encoding); }
    Row ReadRow(bool wanted, FareLineRecord& record, Notices& notices) override;
    int rowNumber() const override { return reader_.lineNumber(); }

  private:
    TableLineReader reader_;
    fare_model::FareLineParser parser_;
    fare_model::RowWatch watch_;
};

// Any bytes may be a table text: the format of whatever no other format recognises.
extern const InputFormat kTextFormat;

}  // namespace conversion
