#include "conversion/outcome.h"

#include <new>

namespace conversion {
ConversionOutcome RunUseCase(
    const std::string& inputPath, const std::string& outputPath, bool explainRole,
    const std::function<ConversionOutcome(UseCaseProgress&)>& body) noexcept {
    // The one place where failures are caught: everything below only throws.
    UseCaseProgress progress;
    auto failed = [&](RunError error, Notices notices) noexcept {
        ConversionOutcome outcome;
        try {
            const bool atOutput = progress.at == ConcernedFile::Role::kOutput;
            const std::string& path = atOutput ? outputPath : inputPath;
            using fare_model::FileRole;
            const FileRole role = !explainRole ? FileRole::kUnsaid
                                  : atOutput   ? FileRole::kOutput
                                               : FileRole::kInput;
            outcome = ConversionOutcome::Failed(error.WithFile(role, path), std::move(notices));
            outcome.file = ConcernedFile{progress.at, path};
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

}  // namespace conversion
