// The conversion use case on a file system held in memory: what it asks of the files, with
// no kernel in the way.

#include <gtest/gtest.h>

#include <string>

#include "conversion/conversion_run.h"
#include "conversion/formats/workbook/workbook_writer.h"
#include "conversion/read_back.h"
#include "conversion/table_in_memory.h"
#include "conversion/wording.h"
#include "memory_file_system.h"

namespace {

using conversion::ConversionOutcome;
using Kind = ConversionOutcome::Kind;

const std::string kTable = "a,1,140,160\r\nb,2,150\r\n";

TEST(MemoryConversion, ATextAndTheSameTableAsAWorkbookOpenTheirInputOnceAndGiveOneFile) {
    test_support::MemoryFileSystem files;
    files.files["in.txt"] = kTable;
    ASSERT_EQ(conversion::ConvertFareTableWith(files, "in.txt", "text.hy3", {}).kind,
              Kind::kSucceeded);
    const ConversionOutcome read = conversion::ReadBackDataFile(files, "text.hy3");
    ASSERT_EQ(read.kind, Kind::kSucceeded);
    files.files["in.xlsx"] = conversion::workbook::FareTableWorkbook(read.records);

    const ConversionOutcome outcome =
        conversion::ConvertFareTableWith(files, "in.xlsx", "book.hy3", {});
    ASSERT_EQ(outcome.kind, Kind::kSucceeded);
    EXPECT_EQ(outcome.rowsWritten, 2);
    EXPECT_EQ(files.files["book.hy3"], files.files["text.hy3"]);
    EXPECT_EQ(files.opens["in.txt"], 1);
    EXPECT_EQ(files.opens["in.xlsx"], 1);
}

TEST(MemoryConversion, FailuresNameTheirFileAndLeaveTheOutputAsItWas) {
    struct Case {
        const char* name;
        std::string output;
        int failure;  // put on the output path; 0 for none
        int code;
        conversion::ConcernedFile::Role role;
    };
    const Case cases[] = {
        {"disk full", "out.hy3", 61, 61, conversion::ConcernedFile::Role::kOutput},
        {"output is the input", "in.txt", 0, 75, conversion::ConcernedFile::Role::kInput},
        {"no input", "out.hy3", 0, 53, conversion::ConcernedFile::Role::kInput},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::MemoryFileSystem files;
        if (c.code != 53) {
            files.files["in.txt"] = kTable;
        }
        files.files["out.hy3"] = "old";
        if (c.failure != 0) {
            files.failures[c.output] = c.failure;
        }
        const ConversionOutcome outcome =
            conversion::ConvertFareTableWith(files, "in.txt", c.output, {});
        ASSERT_EQ(outcome.kind, Kind::kFailed);
        EXPECT_EQ(outcome.error->code(), c.code);
        EXPECT_EQ(outcome.file->role, c.role);
        EXPECT_EQ(files.files["out.hy3"], "old");
        if (c.code != 53) {
            EXPECT_EQ(files.files["in.txt"], kTable);
        }
    }
}

// A table read for printing: any input becomes the records its .hy3 would hold, and no file
// is written.
TEST(MemoryConversion, ATableReadInMemoryGivesTheRecordsOfItsDataFileAndWritesNothing) {
    test_support::MemoryFileSystem files;
    files.files["in.txt"] = kTable + "c,x,160\r\n";
    ASSERT_EQ(conversion::ConvertFareTableWith(files, "in.txt", "out.HY3", {}).kind,
              Kind::kSucceeded);
    const ConversionOutcome converted = conversion::ReadBackDataFile(files, "out.HY3");
    const size_t filesBefore = files.files.size();
    for (const char* path : {"in.txt", "out.HY3"}) {
        SCOPED_TRACE(path);
        const ConversionOutcome read = conversion::ReadTableInMemory(files, path);
        ASSERT_EQ(read.kind, Kind::kSucceeded) << conversion::CodeAndDescription(*read.error)
                                               << conversion::ExplanationText(*read.error);
        EXPECT_EQ(read.records, converted.records);
        EXPECT_EQ(read.notices.size(), std::string(path) == "in.txt" ? 1u : 0u);
    }
    EXPECT_EQ(files.files.size(), filesBefore);
    const ConversionOutcome missing = conversion::ReadTableInMemory(files, "none.csv");
    ASSERT_EQ(missing.kind, Kind::kFailed);
    EXPECT_EQ(missing.error->code(), 53);
}

}  // namespace
