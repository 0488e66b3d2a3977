// Plasma generation at 256 x 256: the per-column/per-row sine evaluation
// against the formula evaluated per pixel. Prints the speed-up at the end.
#include "render/PlasmaGenerator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int side = 256;

void runPlasma(benchmark::State& state, void (*generator)(std::int32_t, std::int32_t, std::int32_t, unsigned char*,
                                                         void*)) {
    std::vector<unsigned char> pixels(side * side * 4);
    PlasmaColour colour{10, 20, 30};
    std::int32_t time = 0;
    for (auto _ : state) {
        generator(time, side, side, pixels.data(), &colour);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
        time += 16;
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

void BM_PlasmaDirect(benchmark::State& state) { runPlasma(state, generatePlasmaDirect); }
void BM_PlasmaFast(benchmark::State& state) { runPlasma(state, generatePlasma); }
BENCHMARK(BM_PlasmaDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlasmaFast)->Unit(benchmark::kMicrosecond);

// Median time per frame of `frames` frames, in seconds.
double secondsPerFrame(void (*generator)(std::int32_t, std::int32_t, std::int32_t, unsigned char*, void*),
                       int frames) {
    std::vector<unsigned char> pixels(side * side * 4);
    PlasmaColour colour{10, 20, 30};
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        generator(i * 16, side, side, pixels.data(), &colour);
        benchmark::DoNotOptimize(pixels.data());
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + frames / 2, times.end());
    return times[static_cast<std::size_t>(frames / 2)];
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // The same frames from both must be byte-identical for the figure to count.
    std::vector<unsigned char> a(side * side * 4), b(side * side * 4);
    PlasmaColour colour{10, 20, 30};
    bool identical = true;
    for (std::int32_t t : {0, 16, 123456, 86400000}) {
        generatePlasma(t, side, side, a.data(), &colour);
        generatePlasmaDirect(t, side, side, b.data(), &colour);
        identical = identical && a == b;
    }
    const double direct = secondsPerFrame(generatePlasmaDirect, 41);
    const double fast = secondsPerFrame(generatePlasma, 401);
    std::printf("plasma %dx%d: direct %.3f ms, optimised %.3f ms per frame, speed-up %.1fx, output %s\n", side, side,
                direct * 1e3, fast * 1e3, direct / fast, identical ? "byte-identical" : "DIFFERENT");
    return identical ? 0 : 1;
}
