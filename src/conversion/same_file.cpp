#include "conversion/same_file.h"

namespace conversion {

void RefuseOutputOverInput(platform::FileSystem& files, const std::string& outputPath,
                           const platform::FileIdentity& input) {
    if (files.IdentityOf(outputPath) == input) {
        throw RunError(error_code::kPathFileAccess, Reason::kSameFile);
    }
}

void RefuseOutputOverInputSpelledApart(platform::FileSystem& files, const std::string& inputPath,
                                       const std::string& outputPath) {
    if (inputPath != outputPath && files.MayNameOneFile(inputPath, outputPath)) {
        throw RunError(error_code::kPathFileAccess, Reason::kSameFile);
    }
}

}  // namespace conversion
