// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// The only file that talks to hidapi. Everything platform-specific stays in here,
// behind preprocessor guards, so that the rest builds on any platform hidapi serves.

#include "device/hid/hidapi_transport.h"

#include <hidapi.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "device/exclusive_lock.h"
#include "device/hid/report_descriptor.h"
#include "device/hid/report_framing.h"
#include "device/transmitter.h"

#if defined(__linux__)
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#endif

namespace vostrel::device {

namespace {

// The kernel and the USB HID class cap a report descriptor at the size they cap a
// report at (kMaxReportLength).
[[maybe_unused]] constexpr std::size_t kMaxDescriptorBytes = kMaxReportLength;
// The kernel keeps at most this many unread input reports per open file.
constexpr std::size_t kMaxQueuedReports = 64;

// hidapi keeps process-wide state: initialise it with the first transport and shut
// it down with the last.
int liveTransports = 0;

struct EnumerationDeleter {
    void operator()(hid_device_info* list) const { hid_free_enumeration(list); }
};
using Enumeration = std::unique_ptr<hid_device_info, EnumerationDeleter>;

[[maybe_unused]] std::optional<ReportLayout> layoutOf(std::span<const std::uint8_t> descriptor) {
    if (descriptor.empty()) return std::nullopt;
    return parseReportLayout(descriptor);
}

#if defined(__linux__)
// hidraw nodes describe themselves in sysfs, readable without opening the device.
std::optional<ReportLayout> reportLayout(const std::string& path) {
    const std::filesystem::path node(path);
    std::ifstream in(std::filesystem::path("/sys/class/hidraw") / node.filename() / "device" / "report_descriptor",
                     std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> descriptor(kMaxDescriptorBytes);
    in.read(reinterpret_cast<char*>(descriptor.data()), static_cast<std::streamsize>(descriptor.size()));
    descriptor.resize(static_cast<std::size_t>(in.gcount()));
    return layoutOf(descriptor);
}

// A USB device's name in sysfs: the bus number, a dash, then the port on each hub on the
// way down, dot-separated ("1-1.3"). Interfaces ("1-1.3:1.0") and root hubs ("usb1")
// have other names.
bool isUsbPortPath(std::string_view name) {
    const auto isNumber = [](std::string_view part) {
        return !part.empty() && std::ranges::all_of(part, [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || !isNumber(name.substr(0, dash))) return false;
    for (std::string_view ports = name.substr(dash + 1);;) {
        const std::size_t dot = ports.find('.');
        if (!isNumber(ports.substr(0, dot))) return false;
        if (dot == std::string_view::npos) return true;
        ports.remove_prefix(dot + 1);
    }
}

// The port a hidraw node's device is plugged into: the USB device above it in sysfs.
// It stays with the socket, while hidraw numbers follow the order devices were found in.
std::string portLocation(const std::string& path) {
    std::error_code error;
    const std::filesystem::path device = std::filesystem::canonical(
        std::filesystem::path("/sys/class/hidraw") / std::filesystem::path(path).filename() / "device", error);
    if (error) return {};
    for (std::filesystem::path folder = device; folder.has_relative_path(); folder = folder.parent_path()) {
        if (isUsbPortPath(folder.filename().string())) return folder.filename().string();
    }
    return {};
}

// A failed open on Linux is almost always the permissions of /dev/hidraw*.
bool accessDenied(const std::string& path) {
    return ::access(path.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
}

// Any number of programs may open a hidraw node at once.
ExclusiveLock::Result lockDevice(const std::string& path) { return ExclusiveLock::acquire(path); }
#else
#if HID_API_VERSION >= HID_API_MAKE_VERSION(0, 14, 0)
// Elsewhere hidapi hands the descriptor over from 0.14 on, for an open device.
std::optional<ReportLayout> reportLayout(const std::string& path) {
    hid_device* device = hid_open_path(path.c_str());
    if (device == nullptr) return std::nullopt;
    std::vector<std::uint8_t> descriptor(kMaxDescriptorBytes);
    const int length = hid_get_report_descriptor(device, descriptor.data(), descriptor.size());
    hid_close(device);
    if (length <= 0) return std::nullopt;
    descriptor.resize(static_cast<std::size_t>(length));
    return layoutOf(descriptor);
}
#else
// Lengths stay unknown (0), and the word transfer refuses the device.
std::optional<ReportLayout> reportLayout(const std::string&) { return std::nullopt; }
#endif

bool accessDenied(const std::string&) { return false; }

// hidapi's paths elsewhere say nothing about the port.
std::string portLocation(const std::string&) { return {}; }

// hidapi's paths name no files here; macOS's hidapi opens devices exclusively itself.
ExclusiveLock::Result lockDevice(const std::string&) { return ExclusiveLock::Result{LockStatus::Locked, nullptr}; }
#endif

// hidapi lists a device with several top-level collections once per collection.
bool alreadyListed(const std::vector<HidDeviceInfo>& devices, const char* path) {
    return std::ranges::any_of(devices, [path](const HidDeviceInfo& device) { return device.path == path; });
}

int timeoutMilliseconds(std::chrono::milliseconds timeout) {
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, INT_MAX));
}

class HidapiConnection final : public HidConnection {
public:
    HidapiConnection(hid_device* device, std::unique_ptr<ExclusiveLock> lock, const ReportLayout& layout)
        : device_(device), lock_(std::move(lock)), layout_(layout) {}
    // The device closes before the lock goes, so the next program never meets it open.
    ~HidapiConnection() override { hid_close(device_); }
    HidapiConnection(const HidapiConnection&) = delete;
    HidapiConnection& operator=(const HidapiConnection&) = delete;

    int writeReport(std::span<const std::uint8_t> report) override {
        if (report.empty()) return -1;
        const std::vector<std::uint8_t> framed = frameOutputReport(report, layout_);
        return hid_write(device_, framed.data(), framed.size());
    }

    // hidapi hands unnumbered reports over without their report-ID byte; put the 0
    // back so callers see every report the same way, ID byte first.
    int readReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
        if (buffer.empty()) return -1;
        const int milliseconds = timeoutMilliseconds(timeout);
        if (layout_.numberedReports) return hid_read_timeout(device_, buffer.data(), buffer.size(), milliseconds);
        buffer[0] = 0;
        const int read = hid_read_timeout(device_, buffer.data() + 1, buffer.size() - 1, milliseconds);
        return read > 0 ? read + 1 : read;
    }

    // Input reports that came before the first request (the device's own, or a late
    // reply meant for the program before) would be taken for the first replies and
    // shift every word after them.
    void discardQueuedInput() {
        std::vector<std::uint8_t> report(kMaxReportLength);
        for (std::size_t drained = 0; drained < kMaxQueuedReports; ++drained) {
            if (hid_read_timeout(device_, report.data(), report.size(), 0) <= 0) return;
        }
    }

private:
    hid_device* device_;
    std::unique_ptr<ExclusiveLock> lock_;  // none where the platform excludes others itself
    ReportLayout layout_;
};

}  // namespace

HidapiTransport::HidapiTransport() {
    if (liveTransports == 0 && hid_init() != 0) throw std::runtime_error("the HID library cannot be initialised");
    ++liveTransports;
}

HidapiTransport::~HidapiTransport() {
    if (--liveTransports == 0) hid_exit();
}

std::vector<HidDeviceInfo> HidapiTransport::enumerate(std::uint16_t vendorId, std::uint16_t productId) {
    std::vector<HidDeviceInfo> devices;
    const Enumeration list(hid_enumerate(vendorId, productId));
    for (const hid_device_info* entry = list.get(); entry != nullptr; entry = entry->next) {
        if (entry->path == nullptr || alreadyListed(devices, entry->path)) continue;
        devices.push_back(HidDeviceInfo{entry->path, entry->vendor_id, entry->product_id,
                                        reportLayout(entry->path).value_or(ReportLayout{}), portLocation(entry->path)});
    }
    return devices;
}

std::optional<texts::Message> HidapiTransport::accessDeniedRemedy() const {
#if defined(__linux__)
    // hidraw nodes belong to root until a udev rule gives them to the user.
    return texts::Message{texts::keys::kDeviceAccessRemedy, texts::Title::Error,
                          {texts::Text{std::string(kUdevRuleFile)}}};
#else
    return std::nullopt;
#endif
}

// The device is locked before it is opened and stays locked while it is open: every
// open file of a HID device receives every input report, so a second program's
// transfer would take this one's replies.
OpenResult HidapiTransport::open(const HidDeviceInfo& device) {
    ExclusiveLock::Result locked = lockDevice(device.path);
    if (locked.status != LockStatus::Locked) return OpenResult{openStatusOf(locked.status), nullptr};
    hid_device* handle = hid_open_path(device.path.c_str());
    if (handle == nullptr) {
        return OpenResult{accessDenied(device.path) ? OpenStatus::AccessDenied : OpenStatus::Failed, nullptr};
    }
    auto connection = std::make_unique<HidapiConnection>(handle, std::move(locked.lock), device.reports);
    connection->discardQueuedInput();
    return OpenResult{OpenStatus::Opened, std::move(connection)};
}

}  // namespace vostrel::device
