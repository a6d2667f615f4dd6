// Two files of a batch that would be one: the same path, or paths that differ only in case
// where the folder ignores case.

#include <gtest/gtest.h>

#include "programs/hy3conv/shared_output.h"

namespace {

using hy3conv::FindSharedOutput;
using hy3conv::PlannedOutput;

TEST(Hy3convSharedOutput, RefusesTheSamePathAndCaseTwinsOnlyWhereTheFolderIgnoresCase) {
    struct Case {
        const char* label;
        std::vector<PlannedOutput> planned;
        bool folderIgnoresCase;
        bool folderAsked;
        const char* shared;  // "output first second", or "" for none
    };
    const Case cases[] = {
        {"Apart", {{"d/a.hy3", "x"}, {"d/b.hy3", "y"}}, true, false, ""},
        {"SamePath", {{"d/Fare.hy3", "x"}, {"d/Fare.hy3", "y"}}, false, false, "d/Fare.hy3 x y"},
        {"CaseTwinsKeptApart", {{"d/Fare.hy3", "x"}, {"d/fare.hy3", "y"}}, false, true, ""},
        {"CaseTwinsAsOne",
         {{"d/Fare.hy3", "x"}, {"d/fare.hy3", "y"}},
         true,
         true,
         "d/fare.hy3 x y"},
        {"SamePathBeforeCaseTwins",
         {{"d/Fare.hy3", "x"}, {"d/fare.hy3", "y"}, {"d/Fare.hy3", "z"}},
         true,
         false,
         "d/Fare.hy3 x z"},
        {"WideLettersFold", {{"d/Ａ.hy3", "x"}, {"d/ａ.hy3", "y"}}, true, true, "d/ａ.hy3 x y"},
        {"AccentsFold", {{"d/É.hy3", "x"}, {"d/é.hy3", "y"}}, true, true, "d/é.hy3 x y"},
        {"KanaDoNotFold", {{"d/あ.hy3", "x"}, {"d/ア.hy3", "y"}}, true, false, ""},
    };
    for (const Case& c : cases) {
        bool asked = false;
        auto shared = FindSharedOutput(c.planned, [&] {
            asked = true;
            return c.folderIgnoresCase;
        });
        const std::string found =
            shared ? shared->output + " " + shared->firstSource + " " + shared->secondSource : "";
        EXPECT_EQ(found, c.shared) << c.label;
        EXPECT_EQ(asked, c.folderAsked) << c.label;
    }
}

}  // namespace
