#include "platform/os/output_file.h"

namespace platform {

AtomicOutputFile::AtomicOutputFile(const std::string& path, OutputFileSeams seams)
    : file_(SystemFileSystem().CreateOutput(path, std::move(seams))) {}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicOutputFile file(path);
    file.Write(bytes);
    file.Commit();
}

}  // namespace platform
