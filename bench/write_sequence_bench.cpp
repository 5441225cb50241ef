// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The window's whole Write as it runs under one hold, without the window: build the
// image, read the transmitter, work out what changes, save the backup (flushed to the
// disk, the oldest pruned), write, read back. Each iteration writes other calls than the
// one before, so every word is sent. Against BM_EmulatedWrite with the same latency the
// difference is what the backup's read and the read-back add.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "device/emulator/emulated_transmitter.h"
#include "device/transmitter_hold.h"
#include "files/backups.h"
#include "image/image_builder.h"
#include "image/image_changes.h"

namespace {

using namespace vostrel;

// Sixteen long alphanumeric rows; `variant` changes every text.
image::ProgrammerEntries fullEntries(char variant) {
    image::ProgrammerEntries entries;
    for (unsigned row = 0; row < image::kRowCount; ++row) {
        entries.rows[row] = {std::to_string(8 * (row + 1) + 7), 3, paging::PagerType::Alphanumeric,
                             std::string(40, static_cast<char>(variant + row))};
    }
    return entries;
}

void BM_WholeWindowWrite(benchmark::State& state) {
    device::EmulatorOptions options;
    options.latency = std::chrono::microseconds(state.range(0));
    device::EmulatedTransmitter transmitter(options);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vostrel-bench-backups-" + std::to_string(::getpid()));
    unsigned iteration = 0;
    for (auto _ : state) {
        const auto built = std::get<image::BuiltImage>(image::buildImage(fullEntries(iteration++ % 2 ? 'a' : 'A')));
        const device::WriteOutcome outcome = device::writeUnderOneHold(
            transmitter, built.image, built.usedWords, device::WriteSteps{},
            [&](const image::EepromImage& held, const device::TransmitterHold& hold) {
                benchmark::DoNotOptimize(image::compareImages(held, built.image, built.usedWords).overwritesCalls());
                const auto saved = files::saveBackup(folder, hold.port(), held);
                return std::holds_alternative<std::filesystem::path>(saved) ? device::Proceed::Write
                                                                              : device::Proceed::Cancel;
            });
        if (outcome.end != device::WriteOutcome::End::Written) throw std::runtime_error("the Write did not complete");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WholeWindowWrite)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
