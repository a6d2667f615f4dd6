// How fast one line parses and one table converts, and that both grow linearly.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "conversion/conversion_run.h"
#include "fare_model/fare_line_parser.h"
#include "test_support.h"

namespace {

// A full row as users write it: place name, zone and 150 three-digit fares.
std::u32string FullRow() {
    std::u32string line = U"運賃表示器前停留所,12";
    for (int k = 0; k < 150; ++k) {
        line += U",";
        for (char c : std::to_string(140 + 10 * (k % 60)))
            line += static_cast<char32_t>(c);
    }
    return line;
}

void BM_ParseFareLine_FullRow(benchmark::State& state) {
    const std::u32string line = FullRow();
    for (auto _ : state) {
        benchmark::DoNotOptimize(fare_model::ParseFareLine(line));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_ParseFareLine_FullRow);

// A fare field of n spaces and then a digit: time must grow with n, not with n squared.
void BM_ParseFareLine_LongField(benchmark::State& state) {
    const std::u32string line =
        U"地名,1," + std::u32string(static_cast<size_t>(state.range(0)), U' ') + U"5";
    for (auto _ : state) {
        benchmark::DoNotOptimize(fare_model::ParseFareLine(line));
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_ParseFareLine_LongField)->RangeMultiplier(8)->Range(1 << 10, 1 << 22)->Complexity();

// A long number: every digit changes the value, which is checked after each one.
void BM_ParseFareLine_LongNumber(benchmark::State& state) {
    const std::u32string line =
        U"地名,1,0." + std::u32string(static_cast<size_t>(state.range(0)), U'3');
    for (auto _ : state) {
        benchmark::DoNotOptimize(fare_model::ParseFareLine(line));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseFareLine_LongNumber)->RangeMultiplier(8)->Range(1 << 10, 1 << 22)->Complexity();

// A table of n full rows in code page 932, converted from disk to disk.
class TableFixture : public benchmark::Fixture {
  public:
    void SetUp(const benchmark::State& state) override {
        folder_ = std::make_unique<test_support::ScratchFolder>();
        input_ = folder_->Path("table.txt");
        output_ = folder_->Path("table.hy3");
        // "停留所" in code page 932, then a number to tell rows apart.
        const std::string name = "\x92\xE2\x97\xAF\x8F\x8A";
        std::string fares = ",12";
        for (int k = 0; k < 150; ++k)
            fares += "," + std::to_string(140 + 10 * (k % 60));
        std::string table;
        for (int64_t row = 1; row <= state.range(0); ++row) {
            table += name + std::to_string(row) + fares + "\r\n";
        }
        test_support::WriteBytes(input_, table);
        bytes_ = static_cast<int64_t>(table.size());
    }
    void TearDown(const benchmark::State&) override { folder_.reset(); }

  protected:
    std::unique_ptr<test_support::ScratchFolder> folder_;
    std::string input_, output_;
    int64_t bytes_ = 0;
};

BENCHMARK_DEFINE_F(TableFixture, ConvertFareTable)(benchmark::State& state) {
    for (auto _ : state) {
        conversion::ConversionOutcome outcome = conversion::ConvertFareTable(input_, output_);
        if (outcome.kind != conversion::ConversionOutcome::Kind::kSucceeded) {
            state.SkipWithError("the conversion failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes_);
    state.SetComplexityN(state.range(0));
}
BENCHMARK_REGISTER_F(TableFixture, ConvertFareTable)
    ->Arg(7)
    ->Arg(301)
    ->Arg(3000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
