// Reads arbitrary bytes as a fare display data file and checks what the read-back promises:
// it either fails with a RunError of a layout code or returns records that the data file
// layout turns back into exactly those bytes; the terminal listing of the records is UTF-8
// without control characters; and where the records can be written as a fare table text,
// converting that text gives the same data file once more.
//
// The layout is encoded here on its own, apart from the project's writer, so that the
// property does not lean on the code it checks.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/conversion_run.h"
#include "conversion/formats/text/fare_table_text.h"
#include "conversion/wording.h"
#include "fare_model/fare_data_reader.h"
#include "fare_model/fare_table_listing.h"
#include "fare_model/run_error.h"
#include "platform/os/code_page.h"

namespace {

using fare_model::FareLineRecord;

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// A folder in memory where there is one.
class Folder {
  public:
    Folder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : tmp ? tmp : "/tmp";
        path_ = base + "/rukanoba-readback-XXXXXX";
        if (mkdtemp(path_.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
    }
    ~Folder() {
        unlink(Path("table.txt").c_str());
        unlink(Path("table.hy3").c_str());
        rmdir(path_.c_str());
    }
    std::string Path(std::string_view name) const { return path_ + "/" + std::string(name); }

  private:
    std::string path_;
};

void AppendLe16(std::string& bytes, int value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
}

std::string EncodeLayout(const std::vector<FareLineRecord>& records) {
    static platform::Cp932Encoder encoder;
    std::string bytes;
    AppendLe16(bytes, static_cast<int>(records.size()));
    for (const FareLineRecord& record : records) {
        std::optional<std::string> name = encoder.Encode(record.PlaceName);
        if (!name || name->size() > 0xFFFF) {
            Broken("a name that was read cannot be written");
        }
        AppendLe16(bytes, static_cast<int>(name->size()));
        bytes += *name;
        AppendLe16(bytes, record.ZoneNumber);
        for (int16_t fare : record.Fares) {
            AppendLe16(bytes, fare);
        }
    }
    return bytes;
}

void CheckListing(const std::vector<FareLineRecord>& records) {
    std::string listing = fare_model::FareTableListing(records, conversion::ListingHeadings());
    if (!platform::DecodeUtf8(listing)) {
        Broken("the listing is not UTF-8");
    }
    size_t lines = 0;
    for (char ch : listing) {
        auto byte = static_cast<unsigned char>(ch);
        lines += ch == '\n';
        if ((byte < 0x20 && ch != '\n') || byte == 0x7F) {
            Broken("the listing sends a control character to the terminal");
        }
    }
    if (lines != records.size() + 1) {
        Broken("the listing does not hold one line per record and a header");
    }
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        std::perror("cannot write the table");
        std::abort();
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void CheckTextRoundTrip(const std::vector<FareLineRecord>& records, std::string_view bytes) {
    static Folder folder;
    std::string text;
    try {
        text = conversion::FareTableText(records);
    } catch (const fare_model::RunError& error) {
        if ((error.code() != 5 && error.code() != 9) ||
            conversion::DescriptionText(error).empty()) {
            Broken("the table text failed with an unexpected code");
        }
        return;
    }
    const std::string input = folder.Path("table.txt");
    const std::string output = folder.Path("table.hy3");
    WriteFile(input, text);
    unlink(output.c_str());
    conversion::ConversionOutcome outcome = conversion::ConvertFareTable(input, output);
    if (outcome.kind != conversion::ConversionOutcome::Kind::kSucceeded) {
        if (outcome.error) {
            std::fprintf(stderr, "%s\n", outcome.error->what());
        }
        Broken("the written table does not convert");
    }
    if (ReadFile(output) != bytes) {
        Broken("the written table converts to other bytes");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<FareLineRecord> records;
    try {
        platform::Cp932Codec cp932;
        records = fare_model::ReadFareDataFile(bytes, cp932);
    } catch (const fare_model::RunError& error) {
        int code = error.code();
        if (code != 5 && code != 6 && code != 9 && code != 62) {
            Broken("the reader failed with an unexpected code");
        }
        if (conversion::DescriptionText(error).empty() || (error.line() && *error.line() < 1)) {
            Broken("the reader's failure lacks a description or names record 0");
        }
        return 0;
    }
    if (EncodeLayout(records) != bytes) {
        Broken("the records do not give back the bytes they were read from");
    }
    CheckListing(records);
    CheckTextRoundTrip(records, bytes);
    return 0;
}
