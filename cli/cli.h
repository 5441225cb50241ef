// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#pragma once
// vostrel-cli as a function: the arguments after the program's name and the context to
// write to; returns the exit status (0 success, 1 failure, 2 usage error).

#include <memory>
#include <span>
#include <string>

#include "cli/command.h"
#include "device/hid_transport.h"

namespace vostrel::cli {

int runCli(std::span<const std::string> arguments, CliContext& context);

// The transport to transmitters on the USB bus.
std::unique_ptr<device::HidTransport> makeHardwareTransport();

}  // namespace vostrel::cli
