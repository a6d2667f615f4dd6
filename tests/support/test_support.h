#pragma once

// Small helpers shared by the conversion tests: a scratch folder, whole-file reads and
// writes, code page 932 bytes made with iconv directly, and the expected .hy3 bytes built
// independently of the writer under test.

#include <iconv.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "hy3test.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        // Read-only folders made by a test must be writable again to be removed.
        for (auto it = fs::recursive_directory_iterator(root_, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
        fs::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(std::string_view name) const { return (root_ / name).string(); }
    const fs::path& Root() const { return root_; }

    // The names in the folder (not recursive), to see that no temporary file is left.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(root_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

  private:
    fs::path root_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

inline mode_t PermissionBits(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        throw std::runtime_error("cannot stat " + path);
    return info.st_mode & 07777;
}

// UTF-8 text to code page 932 bytes, straight through iconv.
inline std::string Cp932(std::string_view utf8) {
    iconv_t handle = iconv_open("CP932", "UTF-8");
    if (handle == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no CP932 in iconv");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t result = iconv(handle, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(handle);
    if (result == static_cast<size_t>(-1))
        throw std::runtime_error("not encodable in CP932");
    out.resize(out.size() - outLeft);
    return out;
}

inline void AppendLe16(std::string& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

// One expected row: the name as code page 932 bytes, the zone and the leading fares.
struct ExpectedRow {
    std::string nameBytes;
    int zone = 0;
    std::vector<int> fares;
};

// The .hy3 bytes for `rows`, built from the layout alone.
inline std::string Hy3(const std::vector<ExpectedRow>& rows) {
    std::string out;
    AppendLe16(out, static_cast<int>(rows.size()));
    for (const auto& row : rows) {
        AppendLe16(out, static_cast<int>(row.nameBytes.size()));
        out += row.nameBytes;
        AppendLe16(out, row.zone);
        for (int k = 0; k < 150; ++k) {
            AppendLe16(out, k < static_cast<int>(row.fares.size()) ? row.fares[k] : 0);
        }
    }
    return out;
}

inline std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char byte : bytes) {
        if (!out.empty())
            out.push_back(' ');
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 0xF]);
    }
    return out;
}

inline std::string Repeat(std::string_view piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

}  // namespace test_support
