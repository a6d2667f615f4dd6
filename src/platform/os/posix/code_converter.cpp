#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <stdexcept>
#include <string>

#include "platform/os/code_converter.h"
#include "platform/os/run_error.h"

namespace platform {
namespace {

const char* IconvName(CodeConverter::Code code) {
    switch (code) {
        case CodeConverter::Code::kCp932:
            return "CP932";
        case CodeConverter::Code::kUtf8:
            return "UTF-8";
        case CodeConverter::Code::kUtf16Le:
            return "UTF-16LE";
        case CodeConverter::Code::kUtf16Be:
            return "UTF-16BE";
        case CodeConverter::Code::kUtf32:
            break;
    }
    // Unicode characters travel as UTF-32 in the machine's own byte order.
    return std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
}

iconv_t Handle(void* handle) {
    return static_cast<iconv_t>(handle);
}

// glibc reports a conversion module it could not load as EINVAL, whatever the cause, so the
// system is asked directly.
bool OutOfFileDescriptors() {
    if (errno == EMFILE || errno == ENFILE) {
        return true;
    }
    int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        close(fd);
        return false;
    }
    return errno == EMFILE || errno == ENFILE;
}

}  // namespace

CodeConverter::CodeConverter(Code to, Code from)
    : handle_(iconv_open(IconvName(to), IconvName(from))) {
    if (Handle(handle_) == reinterpret_cast<iconv_t>(-1)) {
        // Loading the conversion's module opens files: a process out of descriptors must
        // hear that, not of an internal error.
        int cause = errno;
        if (cause == ENOMEM) {
            throw RunError(error_code::kOutOfMemory);
        }
        if (OutOfFileDescriptors()) {
            throw RunError(error_code::kTooManyFiles);
        }
        throw std::runtime_error(std::string("iconv cannot convert from ") + IconvName(from) +
                                 " to " + IconvName(to));
    }
}

CodeConverter::~CodeConverter() {
    iconv_close(Handle(handle_));
}

bool CodeConverter::Convert(std::string_view input, std::string& out, size_t* incompleteTail) {
    iconv(Handle(handle_), nullptr, nullptr, nullptr, nullptr);  // a fresh start for every piece
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[4096];
    while (true) {
        char* outPos = buffer;
        size_t outLeft = sizeof buffer;
        size_t result =
            iconv(Handle(handle_), inLeft > 0 ? &in : nullptr, &inLeft, &outPos, &outLeft);
        out.append(buffer, outPos);
        if (result != static_cast<size_t>(-1)) {
            if (inLeft == 0) {
                // Flush any shift state, then done.
                outPos = buffer;
                outLeft = sizeof buffer;
                iconv(Handle(handle_), nullptr, nullptr, &outPos, &outLeft);
                out.append(buffer, outPos);
                return true;
            }
            continue;
        }
        if (errno == EINVAL && incompleteTail != nullptr) {
            *incompleteTail = inLeft;  // cut off in the middle of a character
            return true;
        }
        if (errno != E2BIG) {
            return false;  // EILSEQ: not valid; EINVAL: cut off in the middle of a character
        }
    }
}

}  // namespace platform
