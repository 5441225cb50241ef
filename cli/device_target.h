// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// The transmitter a device command talks to, as its options name it: an emulated one
// (--emulator FILE), one of several on the USB bus (--device D), or the first found.

#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "device/eeprom_programmer.h"
#include "device/hid_transport.h"
#include "files/transmitter_names.h"

namespace vostrel::cli {

inline constexpr OptionSpec kEmulatorOption = {
    "emulator", "FILE",
    "use an emulated transmitter whose EEPROM is kept in FILE (512 bytes; a missing file is an erased EEPROM, made "
    "only by write) instead of the USB bus"};
inline constexpr OptionSpec kDeviceOption = {
    "device", "D",
    "use the transmitter D: its name (see 'name'), its path as 'devices' prints it, or the USB port it is plugged "
    "into (Linux: the port path such as 1-1.3; Windows: its location path); without it, the first one found"};

struct DeviceTarget {
    std::unique_ptr<device::HidTransport> transport;
    std::optional<std::string> device;  // --device
    bool emulated = false;
    // The names given to transmitters, as the settings file keeps them.
    files::TransmitterNames names;
};

// The usage error for an empty --emulator or --device, which names nothing.
std::optional<int> refuseEmptyTarget(const Arguments& arguments, CliContext& context, std::string_view command);

// Whether the command changes what the transmitter holds. One that only looks never
// makes a file: --emulator naming a missing file is an erased transmitter.
enum class TargetUse { Looks, Writes };

// The emulator named by --emulator, or the transport to real hardware, narrowed to the
// transmitter --device names (a name given to a port stands for that port). Both throw
// std::runtime_error when they cannot start; runCli reports it.
DeviceTarget openTarget(const Arguments& arguments, CliContext& context, TargetUse use);

// The transmitter as the results name it: "Erdgeschoss (port 1-1.2)", "port 1-1.2", or
// its path where the system names no port.
std::string transmitterText(const DeviceTarget& target, std::string_view path, std::string_view location);

// Reports the failure on stderr: its message, the remedy beneath it, and when --device
// found nothing, which name that was. Returns the failure exit status.
int reportDeviceFailure(CliContext& context, const DeviceTarget& target, const device::DeviceFailure& failure);

}  // namespace vostrel::cli
