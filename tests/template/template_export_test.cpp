#include "template/export/template_export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "conversion/conversion_run.h"
#include "conversion/formats/workbook/workbook.h"
#include "fakes.h"
#include "qt_files.h"
#include "template/text/template_text.h"

namespace template_tests {
namespace {

using platform::FileDialogMode;
using platform::MessageBoxAnswer;
using test_support::Failure;
using test_support::FakeFileDialog;
using test_support::FakeFileOpener;
using test_support::FakeMessageBox;
using test_support::ReadBytes;
using test_support::WriteBytes;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Template() {
    return std::string(template_text::TemplateText());
}

TEST(TemplateTextTest, IsSevenLinesOf144BytesEachEndingWithCrLf) {
    const std::string text = Template();
    ASSERT_EQ(text.size(), 144u);
    int lines = 0;
    for (size_t start = 0; start < text.size(); ++lines) {
        const size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "line " << lines + 1 << " has no CR LF";
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break";
        start = end + 2;
    }
    EXPECT_EQ(lines, 7);
    // Each line after the title starts with the place name "地名" in code page 932.
    EXPECT_EQ(text.rfind("\x92\x6e\x96\xbc\x82\x55,4,200,150,140\r\n"), 144u - 22u);
}

TEST(TemplateTextTest, ConvertsToTheFareDisplayDataFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString input = dir.filePath("template.txt");
    const QString output = dir.filePath("template.hy3");
    WriteBytes(input, Template());

    const conversion::ConversionOutcome outcome = conversion::ConvertFareTable(
        QFile::encodeName(input).toStdString(), QFile::encodeName(output).toStdString());

    EXPECT_EQ(outcome.kind, conversion::ConversionOutcome::Kind::kSucceeded);
    EXPECT_EQ(QFile(output).size(), 2202);
}

class ProvideTemplateTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    void TearDown() override { chmod(QFile::encodeName(dir_.path()).constData(), 0700); }
    void Provide() { template_export::ProvideTemplate(nullptr, dialog_, box_, opener_); }
    QStringList FilesInDir() const {
        return QDir(dir_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    }

    QTemporaryDir dir_;
    FakeFileDialog dialog_;
    FakeMessageBox box_;
    FakeFileOpener opener_;
};

TEST_F(ProvideTemplateTest, AsksForASaveFileWithTheTwoTextEntriesThenTheWorkbookAndNoName) {
    Provide();
    ASSERT_EQ(dialog_.requests.size(), 1u);
    EXPECT_EQ(dialog_.requests[0].mode, FileDialogMode::kSave);
    EXPECT_EQ(dialog_.requests[0].filter,
              QStringLiteral("テキストファイル(*.txt)|*.txt|CSVファイル(*.CSV)|*.CSV|"
                             "Excel ブック(*.xlsx)|*.xlsx"));
    EXPECT_TRUE(dialog_.requests[0].initialFileName.isEmpty());
}

TEST_F(ProvideTemplateTest, CancelledDialogWritesNothingAndAsksNothing) {
    dialog_.answers = {std::nullopt};
    Provide();
    EXPECT_THAT(FilesInDir(), IsEmpty());
    EXPECT_THAT(box_.questions, IsEmpty());
    EXPECT_THAT(opener_.opened, IsEmpty());
}

TEST_F(ProvideTemplateTest, SavesTheTemplateAndAsksWithTheExactTitleAndText) {
    const QString chosen = dir_.filePath("テンプレート.txt");
    dialog_.answers = {chosen};
    Provide();
    EXPECT_EQ(ReadBytes(chosen), Template());
    ASSERT_EQ(box_.questions.size(), 1u);
    EXPECT_EQ(box_.questions[0].title, QStringLiteral("テンプレートの自動オープンの確認"));
    EXPECT_EQ(box_.questions[0].text,
              QStringLiteral("テンプレートを提供しました、関連付けられたアプリケーションで\r\n"
                             "    自動的に開く場合には「はい」を、\r\n"
                             "    ユーザ自身で開く場合には「いいえ」を\r\n"
                             "    選択してください。\r\n"));
}

TEST_F(ProvideTemplateTest, SavesTheWorkbookWhereTheNameEndsInXlsx) {
    const QString chosen = dir_.filePath("テンプレート.XLSX");
    dialog_.answers = {chosen};
    Provide();
    auto book = conversion::workbook::Workbook::Open(ReadBytes(chosen));
    auto rows = book->OpenSheet(size_t{0}, 153);
    conversion::workbook::SheetRow row;
    int count = 0;
    while (rows->Next(row)) {
        count += static_cast<int>(row.repeat);
    }
    EXPECT_EQ(count, 7);
    EXPECT_EQ(box_.questions.size(), 1u);
}

struct AnswerCase {
    const char* name;
    MessageBoxAnswer answer;
    bool opens;
};

class ProvideTemplateAnswerTest : public ProvideTemplateTest,
                                  public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(ProvideTemplateAnswerTest, OpensTheSavedFileOnlyOnYes) {
    const QString chosen = dir_.filePath("template.csv");
    dialog_.answers = {chosen};
    box_.answer = GetParam().answer;
    Provide();
    EXPECT_EQ(ReadBytes(chosen), Template());
    if (GetParam().opens) {
        EXPECT_THAT(opener_.opened, ElementsAre(chosen));
    } else {
        EXPECT_THAT(opener_.opened, IsEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ProvideTemplateAnswerTest,
                         ::testing::Values(AnswerCase{"Yes", MessageBoxAnswer::kYes, true},
                                           AnswerCase{"No", MessageBoxAnswer::kNo, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProvideTemplateTest, ReplacesALongerFileWhollyAndKeepsItsPermissions) {
    const QString chosen = dir_.filePath("old.txt");
    dialog_.answers = {chosen};
    WriteBytes(chosen, std::string(5000, 'x'));
    ASSERT_EQ(chmod(QFile::encodeName(chosen).constData(), 0640), 0);
    Provide();
    EXPECT_EQ(ReadBytes(chosen), Template());
#ifndef _WIN32  // Windows keeps no permission bits
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(chosen).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
#endif
    EXPECT_THAT(FilesInDir(), ElementsAre("old.txt"));
}

// Names that a shell would split, quote or run must reach the desktop exactly as chosen.
class ProvideTemplateNameTest : public ProvideTemplateTest,
                                public ::testing::WithParamInterface<const char*> {};

TEST_P(ProvideTemplateNameTest, SavesAndOpensThePathExactlyAsChosenAndRunsNothing) {
    const QString name = QString::fromUtf8(GetParam());
    const QString chosen = dir_.filePath(name);
    dialog_.answers = {chosen};
    const QString cwdBefore = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    Provide();
    QDir::setCurrent(cwdBefore);

    EXPECT_THAT(opener_.opened, ElementsAre(chosen));
    EXPECT_EQ(ReadBytes(chosen), Template());
    EXPECT_THAT(FilesInDir(), ElementsAre(name)) << "something besides the template appeared";
}

#ifdef _WIN32
// What cmd.exe would split or run, in names Windows can hold (no " | < > ? * :).
INSTANTIATE_TEST_SUITE_P(Names, ProvideTemplateNameTest,
                         ::testing::Values("a b %PATH% (c) ;.txt", "料金表.csv",
                                           "--help ^& touch x.txt", "it's & 'quoted'.CSV"));
#else
INSTANTIATE_TEST_SUITE_P(Names, ProvideTemplateNameTest,
                         ::testing::Values("a b \"c\" $(touch x) ;.txt", "料金表.csv",
                                           "--help `touch x`.txt", "it's & 'quoted'|.CSV"));
#endif

// Failures from the dialog on end the command silently; nothing escapes, and what was
// already saved stays saved.
struct FailureCase {
    const char* name;
    Failure dialog;
    Failure box;
    Failure opener;
    bool saved;
};

class ProvideTemplateFailureTest : public ProvideTemplateTest,
                                   public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ProvideTemplateFailureTest, EndsSilently) {
    const QString chosen = dir_.filePath("t.txt");
    dialog_.answers = {chosen};
    dialog_.failure = GetParam().dialog;
    box_.failure = GetParam().box;
    opener_.failure = GetParam().opener;
    EXPECT_NO_THROW(Provide());
    EXPECT_EQ(QFile::exists(chosen), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ProvideTemplateFailureTest,
    ::testing::Values(
        FailureCase{"DialogRunError", Failure::kRunError, Failure::kNone, Failure::kNone, false},
        FailureCase{"DialogThrowsOther", Failure::kOther, Failure::kNone, Failure::kNone, false},
        FailureCase{"BoxFails", Failure::kNone, Failure::kStdException, Failure::kNone, true},
        FailureCase{"OpenerFails", Failure::kNone, Failure::kNone, Failure::kRunError, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProvideTemplateTest, UnopenableFileIsNotReported) {
    const QString chosen = dir_.filePath("t.txt");
    dialog_.answers = {chosen};
    opener_.result = false;
    EXPECT_NO_THROW(Provide());
    EXPECT_EQ(opener_.opened.size(), 1u);
}

TEST_F(ProvideTemplateTest, MissingFolderEndsSilently) {
    const QString chosen = dir_.filePath("no such folder/t.txt");
    dialog_.answers = {chosen};
    EXPECT_NO_THROW(Provide());
    EXPECT_THAT(FilesInDir(), IsEmpty());
    EXPECT_THAT(box_.questions, IsEmpty());
    EXPECT_THAT(opener_.opened, IsEmpty());
}

TEST_F(ProvideTemplateTest, EmptyPathEndsSilently) {
    dialog_.answers = {QString()};
    EXPECT_NO_THROW(Provide());
    EXPECT_THAT(box_.questions, IsEmpty());
}

#ifndef _WIN32
// A read-only folder means nothing to root, so when the tests run as root these cases run
// in a child process that has given up its privileges. (Windows has no read-only folders.)
void RunWithoutPrivileges(const QString& folder, void (*scenario)(const QString&)) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (geteuid() == 0) {
                constexpr uid_t kNobody = 65534;
                if (chown(QFile::encodeName(folder).constData(), kNobody, kNobody) != 0 ||
                    setgid(kNobody) != 0 || setuid(kNobody) != 0) {
                    std::_Exit(3);
                }
            }
            scenario(folder);
            const bool failed = ::testing::Test::HasFailure();
            chmod(QFile::encodeName(folder).constData(), 0700);
            QDir(folder).removeRecursively();
            std::_Exit(failed ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

void ScenarioReadOnlyFolder(const QString& folder) {
    FakeFileDialog dialog;
    FakeMessageBox box;
    FakeFileOpener opener;
    const QString chosen = folder + "/t.txt";
    dialog.answers = {chosen};
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
    EXPECT_NO_THROW(template_export::ProvideTemplate(nullptr, dialog, box, opener));
    EXPECT_FALSE(QFile::exists(chosen));
    EXPECT_THAT(box.questions, IsEmpty());
    EXPECT_THAT(opener.opened, IsEmpty());
}

// The old file must survive a failed save whole, not emptied.
void ScenarioOldFileInReadOnlyFolder(const QString& folder) {
    FakeFileDialog dialog;
    FakeMessageBox box;
    FakeFileOpener opener;
    const QString chosen = folder + "/fares.txt";
    dialog.answers = {chosen};
    WriteBytes(chosen, "my own fare table\r\n");
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
    EXPECT_NO_THROW(template_export::ProvideTemplate(nullptr, dialog, box, opener));
    EXPECT_EQ(ReadBytes(chosen), "my own fare table\r\n");
    EXPECT_THAT(opener.opened, IsEmpty());
}

TEST_F(ProvideTemplateTest, ReadOnlyFolderEndsSilently) {
    RunWithoutPrivileges(dir_.path(), ScenarioReadOnlyFolder);
}

TEST_F(ProvideTemplateTest, FailedSaveLeavesTheOldFileAsItWas) {
    RunWithoutPrivileges(dir_.path(), ScenarioOldFileInReadOnlyFolder);
}
#endif

}  // namespace
}  // namespace template_tests
