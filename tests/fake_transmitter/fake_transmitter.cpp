// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
// A fake paging transmitter behind a hidraw-like file, served with FUSE, so that the
// real hidapi and libudev can be driven end to end on a machine without the device.
// It answers the read-word and write-word reports from an EEPROM file and behaves like
// hidraw where programs can tell: every open file has its own input queue, starting
// empty, and gets every input report; reads return one report; poll wakes on a new
// report; the hidraw ioctls describe the device. Switches make it misbehave.
//
//   fake_transmitter [options] MOUNTPOINT      serves MOUNTPOINT/hidraw0 until SIGTERM
//   fake_transmitter [options] --print-descriptor   writes the report descriptor
//
// Options:
//   --eeprom FILE          the 512-byte EEPROM (created erased, all 0xFF, if missing)
//   --log FILE             appends one line per event: "open", "release", and for every
//                          output report "out" and the bytes the device received in hex
//   --reports IN,OUT       data bytes of the input and output report (default 64,64)
//   --report-id N          numbered reports: both reports carry report ID N
//   --mode OCTAL           the node's permissions (default 0666; owner root)
//   --latency-ms MS        delay between a request and its reply
//   --no-reply-from N      requests N, N+1, ... get no reply (requests count from 1)
//   --unplug-before N      the device is gone when request N arrives: write fails ENODEV
//   --unplug-at-reply N    request N is taken, then the device is gone instead of replying
//   --unsolicited          every open file starts with one input report already queued

#define FUSE_USE_VERSION 312
#include <fuse3/fuse.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr const char* kNodeName = "hidraw0";
constexpr const char* kNodePath = "/hidraw0";
constexpr std::size_t kEepromBytes = 512;
constexpr std::size_t kMaxReportBytes = 4096;  // hidraw's HID_MAX_BUFFER_SIZE
constexpr std::size_t kQueueCapacity = 64;     // hidraw keeps this many reports per file
constexpr auto kLongestRead = std::chrono::seconds(3);
constexpr std::uint8_t kReadWord = 2;
constexpr std::uint8_t kWriteWord = 3;
constexpr std::uint16_t kVendorId = 0x0925;
constexpr std::uint16_t kProductId = 0x1234;
constexpr const char* kDeviceName = "Fake paging transmitter";
constexpr const char* kPhysicalPath = "usb-fake-1/input0";

struct Options {
    std::string mountpoint;
    std::string eepromFile;
    std::string logFile;
    unsigned inputBytes = 64;
    unsigned outputBytes = 64;
    unsigned reportId = 0;
    unsigned mode = 0666;
    unsigned latencyMs = 0;
    unsigned noReplyFrom = 0;
    unsigned unplugBefore = 0;
    unsigned unplugAtReply = 0;
    bool unsolicited = false;
    bool printDescriptor = false;
};

// A vendor-defined device with one input and one output report of bytes.
Bytes reportDescriptor(const Options& options) {
    Bytes descriptor{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};  // vendor page, application collection
    if (options.reportId != 0) descriptor.insert(descriptor.end(), {0x85, std::uint8_t(options.reportId)});
    descriptor.insert(descriptor.end(), {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08});  // 0..255, 8 bits
    const auto addReport = [&descriptor](unsigned count, std::uint8_t mainItem) {
        descriptor.insert(descriptor.end(), {0x09, 0x01, 0x96, std::uint8_t(count & 0xFF), std::uint8_t(count >> 8),
                                             mainItem, 0x02});
    };
    addReport(options.inputBytes, 0x81);
    addReport(options.outputBytes, 0x91);
    descriptor.push_back(0xC0);
    return descriptor;
}

struct OpenFile {
    std::deque<Bytes> queue;
    fuse_pollhandle* pollHandle = nullptr;
    bool nonBlocking = false;
};

class Transmitter {
public:
    explicit Transmitter(Options options)
        : options_(std::move(options)), descriptor_(reportDescriptor(options_)), log_(options_.logFile, std::ios::app) {
        loadEeprom();
        if (options_.latencyMs > 0) deliverer_ = std::jthread([this](std::stop_token stop) { deliverLate(stop); });
    }

    const Options& options() const { return options_; }
    const Bytes& descriptor() const { return descriptor_; }

    int open(fuse_file_info* info) {
        const std::scoped_lock lock(mutex_);
        if (unplugged_) return -ENODEV;
        info->fh = nextHandle_++;
        info->direct_io = 1;
        info->nonseekable = 1;
        OpenFile& file = files_[info->fh];
        file.nonBlocking = (info->flags & O_NONBLOCK) != 0;
        if (options_.unsolicited) file.queue.push_back(onWire(idFirstReport(options_.inputBytes, 0xA5)));
        logLine("open");
        return 0;
    }

    void release(const fuse_file_info* info) {
        const std::scoped_lock lock(mutex_);
        const auto found = files_.find(info->fh);
        if (found == files_.end()) return;
        if (found->second.pollHandle != nullptr) fuse_pollhandle_destroy(found->second.pollHandle);
        files_.erase(found);
        logLine("release");
    }

    int write(std::span<const std::uint8_t> report) {
        std::unique_lock lock(mutex_);
        const unsigned request = ++requests_;
        if (unplugged_) return -ENODEV;
        if (options_.unplugBefore != 0 && request >= options_.unplugBefore) {
            unplug();
            return -ENODEV;
        }
        if (report.size() < 2 || report.size() > kMaxReportBytes) return -EINVAL;
        // Like the USB HID driver: a leading report ID 0 is not sent to the device.
        const Bytes received = report[0] == 0 ? Bytes(report.begin() + 1, report.end()) : Bytes(report.begin(), report.end());
        logLine("out " + hex(received));
        const std::optional<Bytes> reply = carryOut(received);
        if (options_.unplugAtReply == request) {
            unplug();
        } else if (reply && (options_.noReplyFrom == 0 || request < options_.noReplyFrom)) {
            if (options_.latencyMs == 0) {
                deliver(onWire(*reply));
            } else {
                late_.push_back({Clock::now() + std::chrono::milliseconds(options_.latencyMs), onWire(*reply)});
                changed_.notify_all();
            }
        }
        return static_cast<int>(report.size());
    }

    int read(const fuse_file_info* info, std::span<std::uint8_t> buffer) {
        std::unique_lock lock(mutex_);
        OpenFile* file = fileOf(info);
        if (file == nullptr) return -EBADF;
        const bool arrived = changed_.wait_for(lock, file->nonBlocking ? Clock::duration::zero() : kLongestRead, [&] {
            file = fileOf(info);
            return unplugged_ || file == nullptr || !file->queue.empty();
        });
        if (unplugged_) return -EIO;
        if (!arrived || file == nullptr) return -EAGAIN;  // a read never blocks without bound
        const Bytes report = std::move(file->queue.front());
        file->queue.pop_front();
        const std::size_t copied = std::min(buffer.size(), report.size());
        std::copy_n(report.begin(), copied, buffer.begin());
        return static_cast<int>(copied);
    }

    int poll(const fuse_file_info* info, fuse_pollhandle* handle, unsigned* events) {
        const std::scoped_lock lock(mutex_);
        OpenFile* file = fileOf(info);
        if (file == nullptr) {
            if (handle != nullptr) fuse_pollhandle_destroy(handle);
            return -EBADF;
        }
        if (handle != nullptr) {
            if (file->pollHandle != nullptr) fuse_pollhandle_destroy(file->pollHandle);
            file->pollHandle = handle;
        }
        *events = unplugged_ ? unsigned(POLLERR | POLLHUP) : unsigned(POLLOUT | (file->queue.empty() ? 0 : POLLIN));
        return 0;
    }

    int ioctl(unsigned command, void* data) {
        const std::scoped_lock lock(mutex_);
        if (unplugged_) return -ENODEV;
        if (command == HIDIOCGRDESCSIZE) {
            *static_cast<int*>(data) = static_cast<int>(descriptor_.size());
            return 0;
        }
        if (command == HIDIOCGRDESC) {
            // The caller's size field does not reach a FUSE daemon: hand over the whole descriptor.
            auto* out = static_cast<hidraw_report_descriptor*>(data);
            out->size = static_cast<std::uint32_t>(descriptor_.size());
            std::copy(descriptor_.begin(), descriptor_.end(), out->value);
            return 0;
        }
        if (command == HIDIOCGRAWINFO) {
            auto* info = static_cast<hidraw_devinfo*>(data);
            info->bustype = 3;  // BUS_USB
            info->vendor = static_cast<std::int16_t>(kVendorId);
            info->product = static_cast<std::int16_t>(kProductId);
            return 0;
        }
        if (_IOC_TYPE(command) == 'H' && _IOC_DIR(command) == _IOC_READ) {
            const unsigned number = _IOC_NR(command);
            if (number == _IOC_NR(HIDIOCGRAWNAME(0))) return copyText(kDeviceName, data, _IOC_SIZE(command));
            if (number == _IOC_NR(HIDIOCGRAWPHYS(0))) return copyText(kPhysicalPath, data, _IOC_SIZE(command));
            if (number == _IOC_NR(HIDIOCGRAWUNIQ(0))) return copyText("", data, _IOC_SIZE(command));
        }
        return -ENOTTY;
    }

private:
    // The input report as programs see it, report-ID byte first (0 when unnumbered).
    Bytes idFirstReport(unsigned dataBytes, std::uint8_t filler = 0) const {
        Bytes report(dataBytes + 1, filler);
        report[0] = static_cast<std::uint8_t>(options_.reportId);
        return report;
    }

    // hidraw hands unnumbered reports over without an ID byte.
    Bytes onWire(const Bytes& idFirst) const {
        return options_.reportId == 0 ? Bytes(idFirst.begin() + 1, idFirst.end()) : idFirst;
    }

    // The device's side of one output report. A report that is not the device's output
    // report (wrong length or report ID) is ignored and gets no reply.
    std::optional<Bytes> carryOut(const Bytes& received) {
        Bytes request = received;
        if (options_.reportId == 0) request.insert(request.begin(), 0);
        if (request.size() != options_.outputBytes + 1 || request[0] != options_.reportId) {
            logLine("ignored");
            return std::nullopt;
        }
        const unsigned address = request[4];
        Bytes reply = idFirstReport(options_.inputBytes);
        if (request[1] == kWriteWord) storeWord(address, request[2], request[3]);
        if (request[1] == kReadWord && reply.size() > 3) {
            reply[2] = eeprom_[2 * address];
            reply[3] = eeprom_[2 * address + 1];
        }
        return reply;
    }

    void storeWord(unsigned address, std::uint8_t low, std::uint8_t high) {
        eeprom_[2 * address] = low;
        eeprom_[2 * address + 1] = high;
        std::fstream file(options_.eepromFile, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(2 * address));
        file.write(reinterpret_cast<const char*>(&eeprom_[2 * address]), 2);
        if (!file) logLine("eeprom file not written");
    }

    void loadEeprom() {
        eeprom_.assign(kEepromBytes, 0xFF);
        std::ifstream in(options_.eepromFile, std::ios::binary);
        if (in) {
            in.read(reinterpret_cast<char*>(eeprom_.data()), kEepromBytes);
            if (in.gcount() != static_cast<std::streamsize>(kEepromBytes)) {
                throw std::runtime_error(options_.eepromFile + ": not a 512-byte EEPROM file");
            }
            return;
        }
        std::ofstream out(options_.eepromFile, std::ios::binary);
        out.write(reinterpret_cast<const char*>(eeprom_.data()), kEepromBytes);
        if (!out) throw std::runtime_error(options_.eepromFile + ": cannot be created");
    }

    OpenFile* fileOf(const fuse_file_info* info) {
        const auto found = files_.find(info->fh);
        return found == files_.end() ? nullptr : &found->second;
    }

    static void wake(OpenFile& file) {
        if (file.pollHandle == nullptr) return;
        fuse_notify_poll(file.pollHandle);
        fuse_pollhandle_destroy(file.pollHandle);
        file.pollHandle = nullptr;
    }

    // Every open file gets every input report; a full queue drops its oldest.
    void deliver(const Bytes& report) {
        for (auto& [handle, file] : files_) {
            if (file.queue.size() == kQueueCapacity) file.queue.pop_front();
            file.queue.push_back(report);
            wake(file);
        }
        changed_.notify_all();
    }

    void unplug() {
        unplugged_ = true;
        logLine("unplugged");
        for (auto& [handle, file] : files_) wake(file);
        changed_.notify_all();
    }

    void deliverLate(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        while (!stop.stop_requested()) {
            if (late_.empty()) {
                changed_.wait(lock, stop, [this] { return !late_.empty(); });
                continue;
            }
            const auto due = late_.front().first;
            if (Clock::now() < due) {
                changed_.wait_until(lock, stop, due, [] { return false; });
                continue;
            }
            if (!unplugged_) deliver(late_.front().second);
            late_.pop_front();
        }
    }

    static int copyText(const std::string& text, void* data, std::size_t capacity) {
        if (capacity == 0) return 0;
        const std::size_t length = std::min(text.size() + 1, capacity);
        std::memcpy(data, text.c_str(), length);
        static_cast<char*>(data)[length - 1] = '\0';
        return static_cast<int>(length);
    }

    static std::string hex(const Bytes& bytes) {
        std::string text;
        char pair[4];
        for (const std::uint8_t byte : bytes) {
            std::snprintf(pair, sizeof pair, "%02x", byte);
            text += pair;
        }
        return text;
    }

    void logLine(const std::string& line) {
        if (log_) log_ << line << std::endl;
    }

    Options options_;
    Bytes descriptor_;
    Bytes eeprom_;
    std::ofstream log_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::map<std::uint64_t, OpenFile> files_;
    std::deque<std::pair<Clock::time_point, Bytes>> late_;
    std::uint64_t nextHandle_ = 1;
    unsigned requests_ = 0;
    bool unplugged_ = false;
    std::jthread deliverer_;
};

Transmitter& transmitter() { return *static_cast<Transmitter*>(fuse_get_context()->private_data); }

int getattr(const char* path, struct stat* attributes, fuse_file_info*) {
    *attributes = {};
    if (std::strcmp(path, "/") == 0) {
        attributes->st_mode = S_IFDIR | 0755;
        attributes->st_nlink = 2;
        return 0;
    }
    if (std::strcmp(path, kNodePath) != 0) return -ENOENT;
    attributes->st_mode = S_IFREG | transmitter().options().mode;
    attributes->st_nlink = 1;
    return 0;
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags) {
    if (std::strcmp(path, "/") != 0) return -ENOTDIR;
    for (const char* name : {".", "..", kNodeName}) fill(buffer, name, nullptr, 0, fuse_fill_dir_flags{});
    return 0;
}

int openNode(const char* path, fuse_file_info* info) {
    if (std::strcmp(path, kNodePath) != 0) return -ENOENT;
    return transmitter().open(info);
}

int releaseNode(const char*, fuse_file_info* info) {
    transmitter().release(info);
    return 0;
}

int readNode(const char*, char* buffer, size_t size, off_t, fuse_file_info* info) {
    return transmitter().read(info, std::span(reinterpret_cast<std::uint8_t*>(buffer), size));
}

int writeNode(const char*, const char* buffer, size_t size, off_t, fuse_file_info*) {
    return transmitter().write(std::span(reinterpret_cast<const std::uint8_t*>(buffer), size));
}

int pollNode(const char*, fuse_file_info* info, fuse_pollhandle* handle, unsigned* events) {
    return transmitter().poll(info, handle, events);
}

int ioctlNode(const char*, unsigned command, void*, fuse_file_info*, unsigned, void* data) {
    return transmitter().ioctl(command, data);
}

unsigned number(const std::string& text, int base = 10) {
    std::size_t used = 0;
    const unsigned long value = std::stoul(text, &used, base);
    if (used != text.size()) throw std::invalid_argument("not a number: " + text);
    return static_cast<unsigned>(value);
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(option + " needs a value");
            return argv[++i];
        };
        if (option == "--eeprom") options.eepromFile = value();
        else if (option == "--log") options.logFile = value();
        else if (option == "--report-id") options.reportId = number(value());
        else if (option == "--mode") options.mode = number(value(), 8);
        else if (option == "--latency-ms") options.latencyMs = number(value());
        else if (option == "--no-reply-from") options.noReplyFrom = number(value());
        else if (option == "--unplug-before") options.unplugBefore = number(value());
        else if (option == "--unplug-at-reply") options.unplugAtReply = number(value());
        else if (option == "--unsolicited") options.unsolicited = true;
        else if (option == "--print-descriptor") options.printDescriptor = true;
        else if (option == "--reports") {
            const std::string lengths = value();
            const std::size_t comma = lengths.find(',');
            if (comma == std::string::npos) throw std::invalid_argument("--reports takes IN,OUT");
            options.inputBytes = number(lengths.substr(0, comma));
            options.outputBytes = number(lengths.substr(comma + 1));
        } else if (!option.starts_with("-") && options.mountpoint.empty()) options.mountpoint = option;
        else throw std::invalid_argument("unknown argument " + option);
    }
    if (options.reportId > 255 || options.inputBytes == 0 || options.outputBytes == 0 ||
        options.inputBytes >= kMaxReportBytes || options.outputBytes >= kMaxReportBytes) {
        throw std::invalid_argument("report ID or report lengths out of range");
    }
    if (!options.printDescriptor && (options.mountpoint.empty() || options.eepromFile.empty())) {
        throw std::invalid_argument("usage: fake_transmitter [options] --eeprom FILE MOUNTPOINT");
    }
    return options;
}

int serve(Transmitter& device) {
    fuse_operations operations{};
    operations.getattr = getattr;
    operations.readdir = readdir;
    operations.open = openNode;
    operations.release = releaseNode;
    operations.read = readNode;
    operations.write = writeNode;
    operations.poll = pollNode;
    operations.ioctl = ioctlNode;
    // Without allow_other no other user gets in; without default_permissions the mode is ignored.
    char* arguments[] = {const_cast<char*>("fake_transmitter"), const_cast<char*>("-o"),
                         const_cast<char*>("allow_other,default_permissions")};
    fuse_args args = FUSE_ARGS_INIT(3, arguments);
    fuse* session = fuse_new(&args, &operations, sizeof operations, &device);
    fuse_opt_free_args(&args);  // fuse_new copied what it keeps into arguments of its own
    if (session == nullptr) return 1;
    int status = 1;
    if (fuse_mount(session, device.options().mountpoint.c_str()) == 0) {
        if (fuse_set_signal_handlers(fuse_get_session(session)) == 0) {
            fuse_loop_config* config = fuse_loop_cfg_create();
            // The loop gives the number of the signal that ended it: the end asked for.
            const int ended = fuse_loop_mt(session, config);
            status = ended == 0 || ended == SIGTERM || ended == SIGINT || ended == SIGHUP ? 0 : 1;
            fuse_loop_cfg_destroy(config);
            fuse_remove_signal_handlers(fuse_get_session(session));
        }
        fuse_unmount(session);
    }
    fuse_destroy(session);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = parseOptions(argc, argv);
        if (options.printDescriptor) {
            const Bytes descriptor = reportDescriptor(options);
            std::cout.write(reinterpret_cast<const char*>(descriptor.data()), std::streamsize(descriptor.size()));
            return std::cout ? 0 : 1;
        }
        Transmitter device(options);
        return serve(device);
    } catch (const std::exception& error) {
        std::cerr << "fake_transmitter: " << error.what() << '\n';
        return 2;
    }
}
