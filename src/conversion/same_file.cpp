#include "conversion/same_file.h"

namespace conversion {

void RefuseOutputOverInput(const std::string& outputPath, const platform::FileIdentity& input) {
    if (platform::IdentityOf(outputPath) == input) {
        throw RunError(error_code::kPathFileAccess, Reason::kSameFile);
    }
}

void RefuseOutputOverInputSpelledApart(const std::string& inputPath,
                                       const std::string& outputPath) {
    if (inputPath != outputPath && platform::MayNameOneFile(inputPath, outputPath)) {
        throw RunError(error_code::kPathFileAccess, Reason::kSameFile);
    }
}

}  // namespace conversion
