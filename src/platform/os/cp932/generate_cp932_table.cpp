// Writes the code page 932 tables the programs use on every system, as C++ source, from the
// build host's iconv: the same bytes for the same text on Linux and on Windows. Runs on the
// build host only.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum class Result { kMapped, kInvalid, kIncomplete };

Result Convert(iconv_t handle, const std::string& input, std::string& output) {
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[16];
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(handle, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
        return errno == EINVAL ? Result::kIncomplete : Result::kInvalid;
    }
    output.assign(buffer, out);
    return Result::kMapped;
}

iconv_t Open(const char* to, const char* from) {
    iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "iconv cannot convert from %s to %s\n", from, to);
        std::exit(1);
    }
    return handle;
}

// One character as a code point below 0x10000; iconv gives code page 932 nothing else.
uint32_t OneCodePoint(const std::string& utf32, const char* what) {
    if (utf32.size() != 4) {
        std::fprintf(stderr, "%s decodes to more than one character\n", what);
        std::exit(1);
    }
    uint32_t cp = static_cast<unsigned char>(utf32[0]) | static_cast<unsigned char>(utf32[1]) << 8 |
                  static_cast<unsigned char>(utf32[2]) << 16 |
                  static_cast<uint32_t>(static_cast<unsigned char>(utf32[3])) << 24;
    if (cp == 0 || cp > 0xFFFF) {
        std::fprintf(stderr, "%s decodes outside the basic plane\n", what);
        std::exit(1);
    }
    return cp;
}

}  // namespace

int main() {
    iconv_t decode = Open("UTF-32LE", "CP932");
    iconv_t encode = Open("CP932", "UTF-32LE");
    std::string out;

    // ASCII must read as itself: the decoder takes it on a fast path.
    for (int byte = 1; byte < 0x80; ++byte) {
        std::string utf32;
        if (Convert(decode, std::string(1, static_cast<char>(byte)), utf32) != Result::kMapped ||
            OneCodePoint(utf32, "an ASCII byte") != static_cast<uint32_t>(byte)) {
            std::fprintf(stderr, "byte %02X is not ASCII in code page 932\n", byte);
            return 1;
        }
    }

    std::printf("// Generated from the build host's iconv (CP932); not edited by hand.\n");
    // Bytes 0x80 to 0xFF alone: a character, 0 for none, kLeadByte for the first of two.
    std::vector<int> leadIndex(256, -1);
    std::printf("constexpr uint16_t kCp932SingleBytes[128] = {\n");
    int leads = 0;
    for (int byte = 0x80; byte < 0x100; ++byte) {
        std::string utf32;
        Result result = Convert(decode, std::string(1, static_cast<char>(byte)), utf32);
        uint32_t value = 0;
        if (result == Result::kMapped) {
            value = OneCodePoint(utf32, "a single byte");
        } else if (result == Result::kIncomplete) {
            value = 0xFFFF;
            leadIndex[byte] = leads++;
        }
        std::printf("0x%04X,%s", value, byte % 8 == 7 ? "\n" : " ");
    }
    std::printf("};\n");

    std::printf("constexpr uint8_t kCp932LeadIndex[256] = {\n");
    for (int byte = 0; byte < 0x100; ++byte) {
        std::printf("%d,%s", leadIndex[byte] < 0 ? 255 : leadIndex[byte],
                    byte % 16 == 15 ? "\n" : " ");
    }
    std::printf("};\n");

    // Two bytes: 256 entries for each lead byte, indexed by the second byte.
    std::printf("constexpr uint16_t kCp932DoubleBytes[%d * 256] = {\n", leads);
    for (int lead = 0x80; lead < 0x100; ++lead) {
        if (leadIndex[lead] < 0) {
            continue;
        }
        for (int trail = 0; trail < 0x100; ++trail) {
            std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            std::string utf32;
            uint32_t value = 0;
            if (Convert(decode, bytes, utf32) == Result::kMapped) {
                value = OneCodePoint(utf32, "a double byte");
            }
            std::printf("0x%04X,%s", value, trail % 16 == 15 ? "\n" : " ");
        }
    }
    std::printf("};\n");

    // Every character above ASCII that has a code page 932 form, with that form: one byte, or
    // the lead byte in the high half. Several byte pairs may read as one character; iconv
    // says which of them a character is written as.
    std::printf("constexpr uint32_t kCp932Encodings[] = {\n");
    int count = 0;
    for (uint32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        std::string utf32{static_cast<char>(cp & 0xFF), static_cast<char>(cp >> 8 & 0xFF), 0, 0};
        std::string bytes;
        if (Convert(encode, utf32, bytes) != Result::kMapped || bytes.empty() || bytes.size() > 2) {
            continue;
        }
        uint32_t form = static_cast<unsigned char>(bytes[0]);
        if (bytes.size() == 2) {
            form = form << 8 | static_cast<unsigned char>(bytes[1]);
        }
        std::printf("0x%08X,%s", cp << 16 | form, ++count % 8 == 0 ? "\n" : " ");
    }
    std::printf("};\n");
    return 0;
}
