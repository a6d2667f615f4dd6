#include "conversion/outcome.h"

#include <new>

#include "conversion/file_wording.h"
#include "conversion/wording.h"

namespace conversion {
namespace {

using platform::RunError;
namespace error_code = platform::error_code;

bool IsFileError(int code) {
    return code >= error_code::kBadFileName;
}

}  // namespace

ConversionOutcome RunUseCase(
    const std::string& inputPath, const std::string& outputPath, bool explainRole,
    const std::function<ConversionOutcome(UseCaseProgress&)>& body) noexcept {
    // The one place where failures are caught: everything below only throws.
    UseCaseProgress progress;
    auto failed = [&](RunError error, Notices notices) noexcept {
        ConversionOutcome outcome;
        try {
            const bool atOutput = progress.at == ConcernedFile::Role::kOutput;
            error = WithCauseExplained(error, atOutput ? outputPath : inputPath);
            if (explainRole && IsFileError(error.code()) && error.explanation().empty()) {
                error = error.WithExplanation(explanation::FileRole(progress.at));
            }
            outcome = ConversionOutcome::Failed(std::move(error), std::move(notices));
            outcome.file = ConcernedFile{progress.at, atOutput ? outputPath : inputPath};
        } catch (...) {
            outcome = ConversionOutcome::Failed(RunError(error_code::kOutOfMemory));
        }
        return outcome;
    };
    try {
        return body(progress);
    } catch (const RunError& error) {
        return failed(error, std::move(progress.notices));
    } catch (const std::bad_alloc&) {
        return failed(RunError(error_code::kOutOfMemory), {});
    } catch (...) {
        return failed(RunError(error_code::kInternal), {});
    }
}

void RefuseOutputOverInput(const std::string& outputPath, const platform::FileIdentity& input) {
    if (platform::IdentityOf(outputPath) == input) {
        throw RunError(error_code::kPathFileAccess, explanation::SameFile());
    }
}

void RefuseOutputOverInputSpelledApart(const std::string& inputPath,
                                       const std::string& outputPath) {
    if (inputPath != outputPath && platform::MayNameOneFile(inputPath, outputPath)) {
        throw RunError(error_code::kPathFileAccess, explanation::SameFile());
    }
}

}  // namespace conversion
