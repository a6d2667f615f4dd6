#pragma once

#include <string>

#include "conversion/fare_model_names.h"
#include "platform/os/file_system.h"

// The refusals that keep an output from being written over the use case's own input.
namespace conversion {

// Writing an output over its own input would destroy it: code 75 where `outputPath` names
// the file `input` is.
void RefuseOutputOverInput(platform::FileSystem& files, const std::string& outputPath,
                           const platform::FileIdentity& input);
// The same where identities cannot tell: through FUSE, a medium that ignores case gives each
// spelling of a name (fare.txt, FARE.TXT) an identity of its own.
void RefuseOutputOverInputSpelledApart(platform::FileSystem& files, const std::string& inputPath,
                                       const std::string& outputPath);

}  // namespace conversion
