// Throughput of the note cipher: whole runs through Transform, and a file read in chunks through
// NoteCipherStream. Run with `make bench && build/bench/bench/tolvarinth_bench`.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "crypto/note_cipher.h"

namespace tolvarinth {
namespace {

constexpr std::int32_t kNotePrefix = 100;

void BM_Transform(benchmark::State& state) {
    const CipherState base = BaseState("benchmark password");
    const KeyTextBytes keyText = KeyText("benchmark password");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(state.range(0)), 0x5a);
    for (auto _ : state) {
        Transform(base, keyText, kNotePrefix, kNotePrefix, bytes.data(), bytes.size());
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Transform)->Arg(100)->Arg(4096)->Arg(64 << 10)->Arg(1 << 20)->Arg(16 << 20);

// A run at the far end of a large file: the cost of reaching its block words.
void BM_TransformFarPosition(benchmark::State& state) {
    const CipherState base = BaseState("benchmark password");
    const KeyTextBytes keyText = KeyText("benchmark password");
    std::vector<std::uint8_t> bytes(4096, 0x5a);
    const auto position = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        Transform(base, keyText, kNotePrefix, position, bytes.data(), bytes.size());
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_TransformFarPosition)->Arg(1 << 20)->Arg(256 << 20)->Arg(0x7fffe000);

// 16 MiB processed in chunks of the given size, as a streaming reader or writer does.
void BM_NoteCipherStream(benchmark::State& state) {
    const CipherState base = BaseState("benchmark password");
    const KeyTextBytes keyText = KeyText("benchmark password");
    const std::size_t total = 16 << 20;
    const auto chunk = static_cast<std::size_t>(state.range(0));
    std::vector<std::uint8_t> bytes(chunk, 0x5a);
    for (auto _ : state) {
        NoteCipherStream stream(base, keyText, kNotePrefix, kNotePrefix);
        for (std::size_t done = 0; done < total; done += chunk) {
            stream.Apply(bytes.data(), chunk);
            benchmark::DoNotOptimize(bytes.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(total));
}
BENCHMARK(BM_NoteCipherStream)->Arg(512)->Arg(4096)->Arg(64 << 10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvarinth
