#pragma once

#include <memory>
#include <optional>
#include <string>

#include "conversion/conversion_run.h"
#include "conversion/formats/workbook/workbook.h"

namespace conversion::workbook {

// A workbook read once and kept, so that any number of its sheets convert without reading
// the file again: converting every sheet of a book takes time in proportion to the book.
class OpenedBook {
  public:
    // Reads the book at `path`; where it is no readable workbook, failure() says why.
    OpenedBook(platform::FileSystem& files, const std::string& path) noexcept;

    const std::optional<ConversionOutcome>& failure() const { return failure_; }

    // Converts sheet `index`, which must be named `name`, as ConvertFareTableWith converts a
    // sheet named on the command line: the same outcome, the same output. A book that has no
    // such sheet there (it changed since its sheets were listed) fails as a missing sheet.
    ConversionOutcome ConvertSheet(size_t index, const std::string& name,
                                   const std::string& outputPath,
                                   const ConversionOptions& options) const noexcept;

  private:
    platform::FileSystem& files_;
    std::string path_;
    std::shared_ptr<const Workbook> book_;
    platform::FileIdentity identity_;
    std::optional<ConversionOutcome> failure_;
};

}  // namespace conversion::workbook
