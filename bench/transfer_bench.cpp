// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// A whole-image Read and Write through the emulated transmitter: with no latency the
// figure is the software cost of the exchanges; with a fixed per-report latency it
// shows how close a transfer comes to 256 x latency.
#include <benchmark/benchmark.h>

#include <chrono>

#include "device/eeprom_programmer.h"
#include "device/transmitter_hold.h"
#include "device/emulator/emulated_transmitter.h"
#include "device/word_transfer.h"

namespace {

using namespace vostrel;

device::EmulatorOptions emulatorWithLatency(std::chrono::microseconds latency) {
    device::EmulatorOptions options;
    options.latency = latency;
    return options;
}

void BM_EmulatedRead(benchmark::State& state) {
    device::EmulatedTransmitter transmitter(emulatorWithLatency(std::chrono::microseconds(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(device::readEeprom(transmitter));
    state.counters["per_exchange"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * image::kImageWords,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EmulatedRead)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_EmulatedWrite(benchmark::State& state) {
    device::EmulatedTransmitter transmitter(emulatorWithLatency(std::chrono::microseconds(state.range(0))));
    const image::EepromImage image;
    // The words alone, without the Write's read before and read-back after.
    const device::WriteSteps wordsOnly{false, false};
    for (auto _ : state) {
        benchmark::DoNotOptimize(device::writeUnderOneHold(transmitter, image, image::kImageWords, wordsOnly, {}));
    }
    // The table is emptied first and written last: more reports than words.
    const auto reports = static_cast<double>(device::crashConsistentOrder(image, image::kImageWords).size());
    state.counters["per_exchange"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * reports,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EmulatedWrite)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
