// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "cli/device_target.h"

#include "device/device_selection.h"
#include "device/emulator/emulated_transmitter.h"
#include "files/utf8_path.h"
#include "texts/message_format.h"

namespace vostrel::cli {

std::optional<int> refuseEmptyTarget(const Arguments& arguments, CliContext& context, std::string_view command) {
    // An empty --emulator would emulate a transmitter that keeps nothing.
    if (arguments.value(kEmulatorOption.name) == "") {
        return usageError(context, command, "--emulator needs a file name");
    }
    if (arguments.value(kDeviceOption.name) == "") return usageError(context, command, "--device needs a path or port");
    return std::nullopt;
}

DeviceTarget openTarget(const Arguments& arguments, CliContext& context, TargetUse use) {
    DeviceTarget target;
    target.names = files::rememberedTransmitterNames();
    target.device = arguments.value(kDeviceOption.name);
    if (const auto file = arguments.value(kEmulatorOption.name)) {
        device::EmulatorOptions options;
        // Its path is its port, which its name is kept by: the same from any folder.
        options.backingFile = std::filesystem::absolute(files::pathFromUtf8(*file));
        options.makeMissingFile = use == TargetUse::Writes;
        target.transport = std::make_unique<device::EmulatedTransmitter>(std::move(options));
        target.emulated = true;
    } else {
        target.transport = context.hardware();
    }
    if (target.device) {
        const std::string port = target.names.portNamed(*target.device).value_or(*target.device);
        target.transport = std::make_unique<device::SelectedDevice>(std::move(target.transport), port);
    }
    return target;
}

std::string transmitterText(const DeviceTarget& target, std::string_view path, std::string_view location) {
    return files::transmitterText(target.names, path, location, [](const texts::Message& message) {
        // Inside the sentences the commands print, not at the start of a line.
        if (message.key == texts::keys::kTransmitterPort) return texts::formatMessage("port %s", message);
        return texts::formatMessage(message);
    });
}

int reportDeviceFailure(CliContext& context, const DeviceTarget& target, const device::DeviceFailure& failure) {
    printMessage(context.err, failure.message);
    if (failure.remedy) printMessage(context.err, *failure.remedy);
    if (target.device && failure.message.key == texts::keys::kDeviceNotFound) {
        context.err << "No transmitter is attached as '" << terminalText(*target.device) << "'; '" << kProgramName
                    << " devices' lists those that are.\n";
    }
    return kExitFailure;
}

}  // namespace vostrel::cli
