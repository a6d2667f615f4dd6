// The helpers that differ between systems, on Windows: its own conversions for code pages
// and a scratch folder with a random name.
#include <windows.h>

#include <random>
#include <stdexcept>
#include <system_error>

#include "test_support.h"

namespace test_support {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const fs::path& base) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / ("rukanoba-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            root_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a scratch folder in " + Utf8(base));
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    // Files a test made read-only must be writable again to be removed.
    for (auto it = fs::recursive_directory_iterator(root_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }
    fs::remove_all(root_, ignored);
}

fs::path MemoryBackedFolder() {
    return fs::temp_directory_path();
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(PathFromUtf8(path), ignored));
}

namespace {

enum class Encoding { kCp932, kUtf8, kUtf16Le, kUtf16Be };

Encoding EncodingNamed(const char* name) {
    const std::string text = name;
    if (text == "CP932")
        return Encoding::kCp932;
    if (text == "UTF-8")
        return Encoding::kUtf8;
    if (text == "UTF-16LE")
        return Encoding::kUtf16Le;
    if (text == "UTF-16BE")
        return Encoding::kUtf16Be;
    throw std::runtime_error("no such conversion here: " + text);
}

std::wstring Decode(std::string_view text, Encoding from) {
    if (from == Encoding::kUtf16Le || from == Encoding::kUtf16Be) {
        std::wstring wide(text.size() / 2, L'\0');
        for (size_t i = 0; i < wide.size(); ++i) {
            auto first = static_cast<unsigned char>(text[2 * i]);
            auto second = static_cast<unsigned char>(text[2 * i + 1]);
            wide[i] = static_cast<wchar_t>(from == Encoding::kUtf16Le ? first | second << 8
                                                                      : second | first << 8);
        }
        return wide;
    }
    const UINT codePage = from == Encoding::kCp932 ? 932 : CP_UTF8;
    const int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length == 0 && size != 0)
        throw std::runtime_error("not decodable");
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
    return wide;
}

std::string Encode(const std::wstring& wide, Encoding to) {
    if (to == Encoding::kUtf16Le || to == Encoding::kUtf16Be) {
        std::string out;
        for (wchar_t unit : wide) {
            auto low = static_cast<char>(unit & 0xFF);
            auto high = static_cast<char>((unit >> 8) & 0xFF);
            out += to == Encoding::kUtf16Le ? std::string{low, high} : std::string{high, low};
        }
        return out;
    }
    const UINT codePage = to == Encoding::kCp932 ? 932 : CP_UTF8;
    const int size = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    BOOL* lossyFlag = to == Encoding::kCp932 ? &lossy : nullptr;
    const DWORD flags = to == Encoding::kCp932 ? WC_NO_BEST_FIT_CHARS : 0;
    int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, lossyFlag);
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), length, nullptr, lossyFlag);
    if (lossy || (length == 0 && size != 0))
        throw std::runtime_error("not encodable");
    return out;
}

}  // namespace

std::string Recode(std::string_view text, const char* to, const char* from) {
    return Encode(Decode(text, EncodingNamed(from)), EncodingNamed(to));
}

}  // namespace test_support
