// Names from a workbook (sheet names of any length, lists of any number of sheets) reach
// hy3conv's messages shortened and counted, and the run's memory is bounded by the table, not by
// the names: each message stays under 4 KB and the process under 64 MiB.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "zip_builder.h"

namespace {

using test_support::ReadBytes;
using test_support::WriteBytes;

const std::string kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A book whose sheets are `names`; the first two hold a small fare table each, the others are
// only listed.
std::string Book(const std::vector<std::string>& names) {
    std::string sheets, relationships;
    std::vector<workbook_test::ZipEntry> entries = {
        {"[Content_Types].xml", "<Types/>"},
        {"_rels/.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"" + kRelationships +
                            "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"}};
    for (size_t k = 0; k < names.size(); ++k) {
        const std::string id = "rId" + std::to_string(k + 1);
        sheets += "<sheet name=\"" + names[k] + "\"" + (k < 2 ? " r:id=\"" + id + "\"" : "") + "/>";
        if (k < 2) {
            const std::string part = "worksheets/sheet" + std::to_string(k + 1) + ".xml";
            relationships += "<Relationship Id=\"" + id + "\" Type=\"" + kRelationships +
                             "/worksheet\" Target=\"" + part + "\"/>";
            entries.push_back(
                {"xl/" + part,
                 "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>停留所"
                 "</t></is></c><c r=\"B1\"><v>1</v></c><c r=\"C1\"><v>140</v></c></row>"
                 "</sheetData></worksheet>"});
        }
    }
    entries.push_back({"xl/workbook.xml", "<workbook xmlns:r=\"" + kRelationships + "\"><sheets>" +
                                              sheets + "</sheets></workbook>"});
    entries.push_back(
        {"xl/_rels/workbook.xml.rels", "<Relationships>" + relationships + "</Relationships>"});
    return workbook_test::MakeZip(entries);
}

struct Measured {
    int status = -1;
    std::string out, err;
    long peakKiB = 0;
};

// Runs hy3conv with `args`, its own peak memory measured by the system.
Measured RunMeasured(const test_support::ScratchFolder& folder,
                     const std::vector<std::string>& args) {
    const std::string outPath = folder.Path("stdout"), errPath = folder.Path("stderr");
    pid_t child = fork();
    if (child == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(HY3CONV_PATH)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(HY3CONV_PATH, argv.data());
        _exit(127);
    }
    Measured run;
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    run.out = ReadBytes(outPath);
    run.err = ReadBytes(errPath);
    run.peakKiB = usage.ru_maxrss;
    return run;
}

struct Case {
    const char* name;
    const char* book;  // "long" or "million"
    std::vector<std::string> options;
    bool toFolder;  // -o FOLDER instead of an output file
    int status;
    std::string expected;  // a piece of stderr
};

TEST(Hy3convBounds, NamesFromABookAreShortenedAndCostNoMemory) {
    test_support::ScratchFolder folder;
    // 4 MiB of name, and a million sheets.
    const std::string longName = test_support::Repeat("長", (4u << 20) / 3);
    WriteBytes(folder.Path("long.xlsx"), Book({longName, "運賃"}));
    std::vector<std::string> many;
    for (int k = 1; k <= 1'000'000; ++k) {
        many.push_back("系統" + std::to_string(k));
    }
    WriteBytes(folder.Path("million.xlsx"), Book(many));
    many.clear();
    const std::string cut = "…（残り 1,398,061 文字）";
    const std::vector<Case> cases = {
        {"first sheet of two", "long", {}, false, 0, cut + "」、「運賃」）のうち"},
        {"missing sheet", "long", {"--sheet", "nosuch"}, false, 1, cut + "」、「運賃」です"},
        {"every sheet", "long", {"--all-sheets"}, true, 2, "ファイル名にできません: "},
        {"missing sheet of a million",
         "million",
         {"--sheet", "nosuch"},
         false,
         1,
         "「系統10」ほか 999,990 枚です"},
    };
    std::filesystem::create_directory(folder.Root() / "out");
    for (const Case& c : cases) {
        std::vector<std::string> args = c.options;
        if (c.toFolder) {
            args.insert(args.begin(), {"-o", folder.Path("out")});
        }
        args.push_back(folder.Path(std::string(c.book) + ".xlsx"));
        if (!c.toFolder) {
            args.push_back(folder.Path("out.hy3"));
        }
        const Measured run = RunMeasured(folder, args);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err.substr(0, 2000);
        EXPECT_NE(run.err.find(c.expected), std::string::npos)
            << c.name << ": " << run.err.substr(0, 2000);
        EXPECT_LT(run.err.size(), 4096u) << c.name;
        EXPECT_LT(run.out.size(), 4096u) << c.name;
#if !defined(__SANITIZE_ADDRESS__)
        EXPECT_LT(run.peakKiB, 64 * 1024) << c.name;
#endif
    }
}

}  // namespace
