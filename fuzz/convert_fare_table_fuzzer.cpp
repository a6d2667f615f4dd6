// Runs the whole conversion on arbitrary input bytes, with or without a previous data file,
// and checks what a user relies on: a Succeeded run leaves a data file whose count matches
// the records that follow it; any other outcome leaves the previous output byte for byte and
// no temporary file; the input is never changed.
//
// The first byte of an input says whether a previous output exists (odd) or not (even); the
// rest is the fare table file.
#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

#include "conversion/conversion_run.h"

namespace {

using conversion::ConversionOutcome;

const std::string kPreviousOutput("\x01\x00\x01\x00Z\x00\x00", 7);

// A folder in memory where there is one: every successful run syncs its file.
class Folder {
  public:
    Folder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : tmp ? tmp : "/tmp";
        path_ = base + "/rukanoba-fuzz-XXXXXX";
        if (mkdtemp(path_.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
    }
    ~Folder() {
        for (const std::string& name : Names()) {
            unlink((path_ + "/" + name).c_str());
        }
        rmdir(path_.c_str());
    }
    std::string Path(std::string_view name) const { return path_ + "/" + std::string(name); }

    std::set<std::string> Names() const {
        std::set<std::string> names;
        if (DIR* folder = opendir(path_.c_str())) {
            while (dirent* entry = readdir(folder)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") {
                    names.insert(name);
                }
            }
            closedir(folder);
        }
        return names;
    }

  private:
    std::string path_;
};

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        std::perror("cannot write the fuzz input");
        std::abort();
    }
}

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

unsigned ReadUint16(const std::string& bytes, size_t offset) {
    return static_cast<unsigned char>(bytes[offset]) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[offset + 1])) << 8;
}

// The data file holds the count and exactly that many records, each 304 bytes plus its name.
void CheckDataFile(const std::string& bytes, std::string_view input) {
    if (bytes.size() < 2) {
        Broken("the data file has no count");
    }
    unsigned count = ReadUint16(bytes, 0);
    if (count < 1 || count > 301) {
        Broken("the count is outside 1 to 301");
    }
    size_t lineEnds = 0;
    for (char ch : input) {
        lineEnds += ch == '\r' || ch == '\n';
    }
    if (count > lineEnds + 1) {
        Broken("more records than lines");
    }
    size_t offset = 2;
    for (unsigned record = 0; record < count; ++record) {
        if (offset + 2 > bytes.size()) {
            Broken("a record is cut short");
        }
        offset += 304 + ReadUint16(bytes, offset);
        if (offset > bytes.size()) {
            Broken("a record is cut short");
        }
    }
    if (offset != bytes.size()) {
        Broken("bytes follow the last counted record");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Folder folder;
    if (size == 0) {
        return 0;
    }
    bool previousOutput = data[0] % 2 == 1;
    std::string_view table(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::string input = folder.Path("table.txt");
    const std::string output = folder.Path("table.hy3");
    WriteFile(input, table);
    if (previousOutput) {
        WriteFile(output, kPreviousOutput);
    } else {
        unlink(output.c_str());
    }

    ConversionOutcome outcome = conversion::ConvertFareTable(input, output);

    std::string bytes;
    if (!ReadFile(input, bytes) || bytes != table) {
        Broken("the input changed");
    }
    bool outputExists = ReadFile(output, bytes);
    std::set<std::string> expectedNames{"table.txt"};
    if (outputExists) {
        expectedNames.insert("table.hy3");
    }
    if (folder.Names() != expectedNames) {
        Broken("a file was left behind in the output folder");
    }

    switch (outcome.kind) {
        case ConversionOutcome::Kind::kSucceeded:
            if (!outputExists) {
                Broken("Succeeded without a data file");
            }
            CheckDataFile(bytes, table);
            break;
        case ConversionOutcome::Kind::kFailed: {
            int code = outcome.error->code();
            // From a table alone: bytes that are not text, numbers or names that do not fit,
            // too many fields.
            if (code != 5 && code != 6 && code != 9) {
                std::fprintf(stderr, "code %d: %s\n", code, outcome.error->description().c_str());
                Broken("a failure that a table alone cannot cause");
            }
            if (outcome.error->description().empty() ||
                !OutcomeText(outcome)->starts_with(std::to_string(code) + ":")) {
                Broken("the failure text");
            }
            if (outcome.error->line() && *outcome.error->line() < 1) {
                Broken("a line number below 1");
            }
            [[fallthrough]];
        }
        case ConversionOutcome::Kind::kNothingToConvert:
            if (outputExists != previousOutput || (outputExists && bytes != kPreviousOutput)) {
                Broken("the previous output was not kept");
            }
            break;
    }
    return 0;
}
