#pragma once

// What the tests of the conversion use case share: a scratch folder with an input and an
// output path, and an outcome told in words for a failed expectation.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "conversion/conversion_run.h"
#include "test_support.h"

namespace conversion_test {

using conversion::ConversionOutcome;
using conversion::ConvertFareTable;
using Kind = ConversionOutcome::Kind;
using test_support::WriteBytes;

// "r1,1", "r2,2" and so on, one row a line.
inline std::string NumberedRows(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "r" + std::to_string(i) + "," + std::to_string(i % 100) + "\r\n";
    }
    return text;
}

inline std::string Describe(const ConversionOutcome& outcome) {
    switch (outcome.kind) {
        case Kind::kSucceeded:
            return "Succeeded";
        case Kind::kNothingToConvert:
            return "NothingToConvert";
        case Kind::kWithheld:
            return "Withheld";
        case Kind::kFailed:
            return "Failed " + std::string(outcome.error->what()) + " line " +
                   (outcome.error->line() ? std::to_string(*outcome.error->line()) : "-");
    }
    return "?";
}

inline std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class ConversionRunTest : public ::testing::Test {
  protected:
    ConversionOutcome Convert(std::string_view input) {
        WriteBytes(in_, input);
        return ConvertFareTable(in_, out_);
    }

    test_support::ScratchFolder folder_;
    std::string in_ = folder_.Path("in.txt");
    std::string out_ = folder_.Path("out.hy3");
};

}  // namespace conversion_test
