// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// Software cost of building a full image and reading it back.
#include <benchmark/benchmark.h>

#include <string>

#include "image/image_builder.h"
#include "image/image_reader.h"

namespace {

using namespace vostrel::image;

// Sixteen long alphanumeric rows: the image fills up part way through them.
ProgrammerEntries fullEntries() {
    ProgrammerEntries entries;
    for (unsigned row = 0; row < kRowCount; ++row) {
        entries.rows[row] = {std::to_string(8 * (row + 1) + 7), 3, vostrel::paging::PagerType::Alphanumeric,
                             std::string(40, static_cast<char>('A' + row))};
    }
    return entries;
}

void BM_BuildFullImage(benchmark::State& state) {
    const ProgrammerEntries entries = fullEntries();
    for (auto _ : state) benchmark::DoNotOptimize(buildImage(entries));
}
BENCHMARK(BM_BuildFullImage);

void BM_ReadFullImage(benchmark::State& state) {
    const EepromImage image = std::get<BuiltImage>(buildImage(fullEntries())).image;
    for (auto _ : state) benchmark::DoNotOptimize(decodeImage(image));
}
BENCHMARK(BM_ReadFullImage);

}  // namespace
