#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/row_source.h"
#include "platform/os/file_system.h"

namespace conversion {

// What a use case asks of an input beyond its rows.
struct SourceRequest {
    // The sheet of a workbook to convert; the first where none is named. A format without
    // sheets refuses the request.
    std::optional<std::string> sheet;
    // The row of a workbook's sheet where the table starts (from 1); the rows above it are not
    // the table's. A format without sheets refuses it.
    std::optional<uint32_t> startRow;
};

// One way in for an input format: how it is told from the file's first bytes, whatever the
// file's name, and how the already open input becomes rows. A format is one registration in
// input_formats.cpp; the input is opened once by the use case and handed down.
struct InputFormat {
    // Whether `firstBytes` (the file's first block, maybe shorter than any signature) start
    // as this format's files do. The last format registered takes whatever is left.
    bool (*recognises)(std::string_view firstBytes);
    // The rows of `input`, which stands at its start. Throws RunError where the file is not
    // one of this format after all, or the request does not fit it.
    std::unique_ptr<RowSource> (*open)(platform::InputFile& input, const SourceRequest& request);
};

// The format of a file whose first block is `firstBytes`.
const InputFormat& InputFormatOf(std::string_view firstBytes);

// Whether bytes meant as a table text would be taken for another format when converted.
bool TakenForAnotherFormat(std::string_view textBytes);

// The rows of the open `input`, in the format its first bytes tell.
std::unique_ptr<RowSource> OpenRowSource(platform::InputFile& input, const SourceRequest& request);

}  // namespace conversion
