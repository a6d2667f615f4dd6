#include "platform/os/code_converter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "fare_model/unicode.h"

namespace platform {
namespace {

#include "cp932_table.inc"

using Code = CodeConverter::Code;

enum class Step { kCharacter, kInvalid, kIncomplete };

struct Decoded {
    Step step = Step::kInvalid;
    char32_t character = 0;
    size_t length = 0;
};

constexpr Decoded Character(char32_t character, size_t length) {
    return {Step::kCharacter, character, length};
}
constexpr Decoded kInvalid{};
constexpr Decoded kIncomplete{Step::kIncomplete, 0, 0};

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

unsigned char ByteAt(std::string_view bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

// Shortest forms only, no surrogates, nothing past U+10FFFF: what a strict decoder takes.
Decoded DecodeUtf8(std::string_view bytes) {
    unsigned char first = ByteAt(bytes, 0);
    if (first < 0x80) {
        return Character(first, 1);
    }
    size_t length;
    char32_t character;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the bounds of the second byte
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        character = first & 0x1F;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        character = first & 0x0F;
        low = first == 0xE0 ? 0xA0 : 0x80;
        high = first == 0xED ? 0x9F : 0xBF;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        character = first & 0x07;
        low = first == 0xF0 ? 0x90 : 0x80;
        high = first == 0xF4 ? 0x8F : 0xBF;
    } else {
        return kInvalid;
    }
    for (size_t at = 1; at < length; ++at) {
        if (at >= bytes.size()) {
            return kIncomplete;
        }
        unsigned char next = ByteAt(bytes, at);
        if (next < (at == 1 ? low : 0x80) || next > (at == 1 ? high : 0xBF)) {
            return kInvalid;
        }
        character = character << 6 | (next & 0x3F);
    }
    return Character(character, length);
}

char16_t Utf16Unit(std::string_view bytes, size_t at, bool bigEndian) {
    unsigned first = ByteAt(bytes, at);
    unsigned second = ByteAt(bytes, at + 1);
    return static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
}

Decoded DecodeUtf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() < 2) {
        return kIncomplete;
    }
    char16_t unit = Utf16Unit(bytes, 0, bigEndian);
    if (!IsSurrogate(unit)) {
        return Character(unit, 2);
    }
    if (unit >= 0xDC00) {
        return kInvalid;
    }
    if (bytes.size() < 4) {
        return kIncomplete;
    }
    char16_t trail = Utf16Unit(bytes, 2, bigEndian);
    if (trail < 0xDC00 || trail > 0xDFFF) {
        return kInvalid;
    }
    return Character(0x10000 + ((unit - 0xD800) << 10 | (trail - 0xDC00)), 4);
}

Decoded DecodeUtf32(std::string_view bytes) {
    if (bytes.size() < sizeof(char32_t)) {
        return kIncomplete;
    }
    char32_t character;
    std::memcpy(&character, bytes.data(), sizeof character);
    if (character > 0x10FFFF || IsSurrogate(character)) {
        return kInvalid;
    }
    return Character(character, sizeof character);
}

constexpr uint16_t kLeadByte = 0xFFFF;

Decoded DecodeCp932(std::string_view bytes) {
    unsigned char first = ByteAt(bytes, 0);
    if (first < 0x80) {
        return Character(first, 1);
    }
    uint16_t single = kCp932SingleBytes[first - 0x80];
    if (single != kLeadByte) {
        return single == 0 ? kInvalid : Character(single, 1);
    }
    if (bytes.size() < 2) {
        return kIncomplete;
    }
    uint16_t pair = kCp932DoubleBytes[kCp932LeadIndex[first] * 256 + ByteAt(bytes, 1)];
    return pair == 0 ? kInvalid : Character(pair, 2);
}

Decoded Decode(Code code, std::string_view bytes) {
    switch (code) {
        case Code::kUtf8:
            return DecodeUtf8(bytes);
        case Code::kUtf16Le:
            return DecodeUtf16(bytes, false);
        case Code::kUtf16Be:
            return DecodeUtf16(bytes, true);
        case Code::kUtf32:
            return DecodeUtf32(bytes);
        case Code::kCp932:
            break;
    }
    return DecodeCp932(bytes);
}

void AppendUtf16Unit(char32_t unit, bool bigEndian, std::string& out) {
    char high = static_cast<char>(unit >> 8);
    char low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

bool EncodeCp932(char32_t character, std::string& out) {
    if (character < 0x80) {
        out += static_cast<char>(character);
        return true;
    }
    if (character > 0xFFFF) {
        return false;
    }
    const uint32_t* end = std::end(kCp932Encodings);
    const uint32_t* at = std::lower_bound(std::begin(kCp932Encodings), end, character << 16);
    if (at == end || *at >> 16 != character) {
        return false;
    }
    uint16_t form = *at & 0xFFFF;
    if (form > 0xFF) {
        out += static_cast<char>(form >> 8);
    }
    out += static_cast<char>(form & 0xFF);
    return true;
}

bool Encode(Code code, char32_t character, std::string& out) {
    switch (code) {
        case Code::kUtf8:
            fare_model::AppendUtf8(character, out);
            return true;
        case Code::kUtf16Le:
        case Code::kUtf16Be: {
            bool bigEndian = code == Code::kUtf16Be;
            if (character >= 0x10000) {
                char32_t offset = character - 0x10000;
                AppendUtf16Unit(0xD800 + (offset >> 10), bigEndian, out);
                AppendUtf16Unit(0xDC00 + (offset & 0x3FF), bigEndian, out);
            } else {
                AppendUtf16Unit(character, bigEndian, out);
            }
            return true;
        }
        case Code::kUtf32:
            out.append(reinterpret_cast<const char*>(&character), sizeof character);
            return true;
        case Code::kCp932:
            break;
    }
    return EncodeCp932(character, out);
}

}  // namespace

bool CodeConverter::Convert(std::string_view input, std::string& out, size_t* incompleteTail) {
    size_t position = 0;
    while (position < input.size()) {
        Decoded decoded = Decode(from_, input.substr(position));
        if (decoded.step == Step::kIncomplete && incompleteTail != nullptr) {
            *incompleteTail = input.size() - position;
            return true;
        }
        if (decoded.step != Step::kCharacter || !Encode(to_, decoded.character, out)) {
            return false;
        }
        position += decoded.length;
    }
    return true;
}

}  // namespace platform
