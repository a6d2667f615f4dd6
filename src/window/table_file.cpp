#include "window/table_file.h"

#include <new>

#include "conversion/fare_data_reader.h"
#include "conversion/fare_table_text.h"
#include "platform/os/file_access.h"
#include "platform/os/output_file.h"
#include "programs/hy3conv/read_back.h"

namespace main_window {
namespace {

using platform::RunError;

// Whatever a step throws becomes its numbered error.
template <typename Step>
std::optional<RunError> Trapped(Step step) noexcept {
    try {
        step();
        return std::nullopt;
    } catch (const RunError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return RunError(platform::error_code::kOutOfMemory);
    } catch (...) {
        return RunError(platform::error_code::kInternal);
    }
}

}  // namespace

TableFile LoadTableFile(const std::string& path) noexcept {
    TableFile file;
    file.error = Trapped([&] {
        const std::string bytes = hy3conv::ReadDataFileBytes(path);
        file.byteCount = static_cast<long long>(bytes.size());
        file.records = conversion::ReadFareDataFile(bytes);
    });
    if (file.error) {
        file.records.clear();
    }
    return file;
}

std::optional<RunError> SaveTableAsText(const std::vector<conversion::FareLineRecord>& records,
                                        const std::string& source,
                                        const std::string& target) noexcept {
    return Trapped([&] {
        const std::string text = conversion::FareTableText(records);
        // Writing the text over the .hy3 it came from would lose the data file.
        const std::optional<platform::FileIdentity> sourceIdentity = platform::IdentityOf(source);
        if (sourceIdentity && platform::IdentityOf(target) == sourceIdentity) {
            throw RunError(platform::error_code::kPathFileAccess,
                           "変換元と変換先が同じファイルです。");
        }
        platform::AtomicOutputFile output(target);
        output.Write(text);
        output.Commit(sourceIdentity);
    });
}

}  // namespace main_window
