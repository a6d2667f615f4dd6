#include "conversion/formats/workbook/zip_archive.h"

#include <unzip.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "conversion/formats/workbook/workbook_errors.h"

namespace conversion::workbook {
namespace {

// minizip reads through these callbacks: a cursor over the bytes held in memory, one for each
// reader opened, so that no file is opened and nothing is copied.
struct Cursor {
    const std::string* bytes;
    uint64_t at = 0;
};

voidpf OpenCursor(voidpf bytes, const void*, int) {
    return new (std::nothrow) Cursor{static_cast<const std::string*>(bytes)};
}

uLong ReadCursor(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* cursor = static_cast<Cursor*>(stream);
    const uint64_t left =
        cursor->bytes->size() - std::min<uint64_t>(cursor->at, cursor->bytes->size());
    const uLong count = static_cast<uLong>(std::min<uint64_t>(size, left));
    std::memcpy(buffer, cursor->bytes->data() + cursor->at, count);
    cursor->at += count;
    return count;
}

uLong WriteCursor(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T TellCursor(voidpf, voidpf stream) {
    return static_cast<Cursor*>(stream)->at;
}

long SeekCursor(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* cursor = static_cast<Cursor*>(stream);
    const uint64_t size = cursor->bytes->size();
    uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? cursor->at
                    : origin == ZLIB_FILEFUNC_SEEK_END ? size
                                                       : 0;
    // Offsets a damaged directory gives may point anywhere: beyond the end is an error.
    if (offset > size || base > size - offset) {
        return -1;
    }
    cursor->at = base + offset;
    return 0;
}

int CloseCursor(voidpf, voidpf stream) {
    delete static_cast<Cursor*>(stream);
    return 0;
}

int CursorError(voidpf, voidpf) {
    return 0;
}

unzFile OpenReader(const std::string& bytes) {
    zlib_filefunc64_def functions{
        OpenCursor, ReadCursor,  WriteCursor, TellCursor,
        SeekCursor, CloseCursor, CursorError, const_cast<std::string*>(&bytes)};
    return unzOpen2_64("", &functions);
}

// Bit 0 of a zip entry's flags: the entry is encrypted.
constexpr uLong kEncryptedFlag = 1;

}  // namespace

ZipArchive::ZipArchive(std::string bytes) : bytes_(std::move(bytes)) {
    archive_ = OpenReader(bytes_);
    if (archive_ == nullptr) {
        throw UnreadableBook(Reason::kZipDirectoryUnreadable);
    }
    // The whole directory is walked once: a damaged entry is found here, and a workbook saved
    // with a password is locked as a whole, so one locked part is enough to tell.
    // Each name is indexed on the way.
    int status = unzGoToFirstFile(archive_);
    std::string name;
    for (; status == UNZ_OK; status = unzGoToNextFile(archive_)) {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(archive_, &info, nullptr, 0, nullptr, 0, nullptr, 0) !=
            UNZ_OK) {
            break;
        }
        if (info.flag & kEncryptedFlag) {
            unzClose(archive_);
            throw UnreadableBook(Reason::kBookEncrypted);
        }
        name.resize(info.size_filename);
        unz64_file_pos at;
        if (unzGetCurrentFileInfo64(archive_, &info, name.data(), name.size(), nullptr, 0, nullptr,
                                    0) != UNZ_OK ||
            unzGetFilePos64(archive_, &at) != UNZ_OK) {
            break;
        }
        index_.push_back(
            {std::hash<std::string_view>{}(name), at.pos_in_zip_directory, at.num_of_file});
    }
    if (status != UNZ_END_OF_LIST_OF_FILE) {
        unzClose(archive_);
        throw UnreadableBook(Reason::kZipDirectoryUnreadable);
    }
    // Stable: of two parts of one name, the first in the directory is found, as minizip's own
    // search finds it.
    std::stable_sort(index_.begin(), index_.end(),
                     [](const Entry& a, const Entry& b) { return a.hash < b.hash; });
}

const ZipArchive::Entry* ZipArchive::Find(std::string_view name) const {
    const uint64_t hash = std::hash<std::string_view>{}(name);
    auto at =
        std::lower_bound(index_.begin(), index_.end(), hash,
                         [](const Entry& entry, uint64_t value) { return entry.hash < value; });
    std::string found;
    for (; at != index_.end() && at->hash == hash; ++at) {
        unz64_file_pos position{at->directoryOffset, at->number};
        unz_file_info64 info;
        if (unzGoToFilePos64(archive_, &position) != UNZ_OK ||
            unzGetCurrentFileInfo64(archive_, &info, nullptr, 0, nullptr, 0, nullptr, 0) !=
                UNZ_OK) {
            continue;
        }
        found.resize(info.size_filename);
        if (unzGetCurrentFileInfo64(archive_, &info, found.data(), found.size(), nullptr, 0,
                                    nullptr, 0) == UNZ_OK &&
            found == name) {
            return &*at;
        }
    }
    return nullptr;
}

ZipArchive::~ZipArchive() {
    unzClose(archive_);
}

void* ZipArchive::OpenAt(std::string_view name) const {
    const Entry* entry = Find(name);
    if (entry == nullptr) {
        return nullptr;
    }
    unzFile reader = OpenReader(bytes_);
    unz64_file_pos position{entry->directoryOffset, entry->number};
    if (reader != nullptr && unzGoToFilePos64(reader, &position) != UNZ_OK) {
        unzClose(reader);
        reader = nullptr;
    }
    return reader;
}

bool ZipArchive::Has(std::string_view name) const {
    return Find(name) != nullptr;
}

std::string ZipArchive::Read(std::string_view name) const {
    Part part(*this, name);
    std::string text;
    char buffer[1 << 16];
    while (size_t size = part.Read(buffer, sizeof buffer)) {
        text.append(buffer, size);
    }
    return text;
}

ZipArchive::Part::Part(const ZipArchive& archive, std::string_view name) : name_(name) {
    file_ = archive.OpenAt(name);
    if (file_ == nullptr) {
        throw UnreadableBook(Reason::kPartMissing, name_);
    }
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(file_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
        unzClose(file_);
        throw UnreadableBook(Reason::kBookDamaged, name_);
    }
    // The size the archive declares may be a lie; Read counts what really comes out.
    if (info.uncompressed_size > kPartLimit) {
        unzClose(file_);
        throw PartTooLarge(name_, kPartLimit);
    }
    if (unzOpenCurrentFile(file_) != UNZ_OK) {
        unzClose(file_);
        throw UnreadableBook(Reason::kPartUnopenable, name_);
    }
}

ZipArchive::Part::~Part() {
    unzCloseCurrentFile(file_);
    unzClose(file_);
}

size_t ZipArchive::Part::Read(char* buffer, size_t size) {
    if (ended_) {
        return 0;
    }
    // One byte more than the limit tells a part at the limit from one over it.
    size = std::min({size, kPartLimit + 1 - total_, size_t{1} << 30});
    int got = unzReadCurrentFile(file_, buffer, static_cast<unsigned>(size));
    // At the end of the part its checksum is compared: a part damaged inside is refused too.
    if (got < 0 || (got == 0 && size > 0 && unzCloseCurrentFile(file_) != UNZ_OK)) {
        throw UnreadableBook(Reason::kPartUninflatable, name_);
    }
    ended_ = got == 0 && size > 0;
    total_ += static_cast<size_t>(got);
    if (total_ > kPartLimit) {
        throw PartTooLarge(name_, kPartLimit);
    }
    return static_cast<size_t>(got);
}

}  // namespace conversion::workbook
