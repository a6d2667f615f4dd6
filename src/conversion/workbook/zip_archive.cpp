#include "conversion/workbook/zip_archive.h"

#include <zip.h>

#include <algorithm>

#include "conversion/workbook/workbook_errors.h"

namespace conversion::workbook {

ZipArchive::ZipArchive(std::string bytes) : bytes_(std::move(bytes)) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error);
    if (source != nullptr) {
        archive_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (archive_ == nullptr) {
            zip_source_free(source);
        }
    }
    zip_error_fini(&error);
    if (archive_ == nullptr) {
        throw UnreadableBook(BookProblem::kDamaged, "zip の目録が読めません");
    }
    // A workbook saved with a password is locked as a whole; one locked part is enough to
    // tell.
    zip_int64_t entries = zip_get_num_entries(archive_, 0);
    for (zip_int64_t index = 0; index < entries; ++index) {
        zip_stat_t stat;
        if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) == 0 &&
            (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
            zip_discard(archive_);
            throw UnreadableBook(BookProblem::kEncrypted);
        }
    }
}

ZipArchive::~ZipArchive() {
    zip_discard(archive_);
}

std::optional<long long> ZipArchive::IndexOf(std::string_view name) const {
    zip_int64_t index = zip_name_locate(archive_, std::string(name).c_str(), 0);
    if (index < 0) {
        return std::nullopt;
    }
    return index;
}

bool ZipArchive::Has(std::string_view name) const {
    return IndexOf(name).has_value();
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
    std::optional<long long> index = archive.IndexOf(name);
    if (!index) {
        throw UnreadableBook(BookProblem::kDamaged, name_ + " がありません");
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.archive_, *index, 0, &stat) != 0) {
        throw UnreadableBook(BookProblem::kDamaged, name_);
    }
    // The size the archive declares may be a lie; Read counts what really comes out.
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > kPartLimit) {
        throw PartTooLarge(name_, kPartLimit);
    }
    file_ = zip_fopen_index(archive.archive_, *index, 0);
    if (file_ == nullptr) {
        throw UnreadableBook(BookProblem::kDamaged, name_ + " が開けません");
    }
}

ZipArchive::Part::~Part() {
    zip_fclose(file_);
}

size_t ZipArchive::Part::Read(char* buffer, size_t size) {
    // One byte more than the limit tells a part at the limit from one over it.
    size = std::min(size, kPartLimit + 1 - total_);
    zip_int64_t got = zip_fread(file_, buffer, size);
    if (got < 0) {
        throw UnreadableBook(BookProblem::kDamaged, name_ + " が展開できません");
    }
    total_ += static_cast<size_t>(got);
    if (total_ > kPartLimit) {
        throw PartTooLarge(name_, kPartLimit);
    }
    return static_cast<size_t>(got);
}

}  // namespace conversion::workbook
