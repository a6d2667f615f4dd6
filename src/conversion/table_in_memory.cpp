#include "conversion/table_in_memory.h"

#include <algorithm>
#include <memory>

#include "conversion/formats/input_format.h"
#include "conversion/read_back.h"
#include "conversion/row_source.h"
#include "conversion/same_file.h"

namespace conversion {

bool IsDataFilePathName(const std::string& path) {
    constexpr std::string_view kExtension = ".hy3";
    if (path.size() < kExtension.size()) {
        return false;
    }
    return std::equal(kExtension.begin(), kExtension.end(), path.end() - kExtension.size(),
                      [](char a, char b) {
                          return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
                      });
}

ConversionOutcome ReadTableInMemory(platform::FileSystem& files, const std::string& path,
                                    ConversionOptions options) noexcept {
    if (IsDataFilePathName(path)) {
        return ReadBackDataFile(files, path);
    }
    options.keepInMemory = true;
    return RunUseCase(path, path, false, [&](UseCaseProgress& progress) {
        std::unique_ptr<platform::InputFile> input = files.OpenInput(path);
        std::unique_ptr<RowSource> source =
            OpenRowSource(*input, {options.sheet, options.startRow});
        return ConvertRows(files, *source, input->Identity(), path, options, progress);
    });
}

ConversionOutcome ReadTableInMemory(const std::string& path, ConversionOptions options) noexcept {
    return ReadTableInMemory(platform::SystemFileSystem(), path, std::move(options));
}

ConversionOutcome WriteMadeFile(platform::FileSystem& files, const std::string& inputPath,
                                const std::string& outputPath,
                                const std::function<std::string()>& make) noexcept {
    return RunUseCase(inputPath, outputPath, false, [&](UseCaseProgress& progress) {
        progress.at = ConcernedFile::Role::kOutput;
        const std::optional<platform::FileIdentity> input = files.IdentityOf(inputPath);
        if (input) {
            RefuseOutputOverInput(files, outputPath, *input);
        }
        RefuseOutputOverInputSpelledApart(files, inputPath, outputPath);
        std::unique_ptr<platform::OutputFile> output = files.CreateOutput(outputPath, {});
        output->Write(make());
        output->Commit(input);
        return ConversionOutcome::Succeeded();
    });
}

ConversionOutcome WriteMadeFile(const std::string& inputPath, const std::string& outputPath,
                                const std::function<std::string()>& make) noexcept {
    return WriteMadeFile(platform::SystemFileSystem(), inputPath, outputPath, make);
}

}  // namespace conversion
