// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
#include "device/emulator/emulated_transmitter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "device/transmitter.h"
#include "files/whole_file.h"

namespace vostrel::device {

namespace {

// Sleeps for most of the time and spins the rest: a plain sleep overshoots by the
// timer slack on every report, which would swamp a transfer's software cost.
void waitPrecisely(std::chrono::microseconds duration) {
    using Clock = std::chrono::steady_clock;
    constexpr auto kSpinMargin = std::chrono::microseconds(500);
    const auto deadline = Clock::now() + duration;
    if (duration > kSpinMargin) std::this_thread::sleep_for(duration - kSpinMargin);
    while (Clock::now() < deadline) {
    }
}

constexpr std::uint8_t kErasedByte = 0xFF;

std::runtime_error fileError(const std::filesystem::path& file, const std::string& problem) {
    return std::runtime_error("emulated EEPROM file '" + file.string() + "' " + problem);
}

image::EepromImage erasedImage() {
    image::EepromImage image;
    image.bytes.fill(kErasedByte);
    return image;
}

// An empty file is a new device, as a missing one is.
bool isEmpty(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && std::filesystem::file_size(file, error) == 0 && !error;
}

// Checked before reading, so that a FIFO given as the file is refused, never waited on.
// Anything but an image is refused: a configuration given in its place (its text
// can be 512 bytes long) would be overwritten by the first Write.
image::EepromImage loadImage(const std::filesystem::path& file) {
    if (!std::filesystem::exists(file) || isEmpty(file)) return erasedImage();
    if (!std::filesystem::is_regular_file(file)) throw fileError(file, "is not a regular file");
    auto loaded = files::loadImageFile(file);
    if (auto* error = std::get_if<files::FileError>(&loaded)) throw std::runtime_error("emulated EEPROM " + error->what);
    return std::get<image::EepromImage>(loaded);
}

// A missing file is made whole or not at all, so that a program that finds it never
// finds it shorter than an EEPROM.
void createErasedIfMissing(const std::filesystem::path& file) {
    if (std::filesystem::exists(file)) return;
    const auto error = files::writeWholeFile(file, files::imageBytes(erasedImage()), files::IfExists::Refuse);
    if (error && !error->alreadyExists) throw std::runtime_error(error->what);
}

// root may open any file for writing; a file nobody may write is still a device that
// refuses access.
bool mayBeWritten(const std::filesystem::path& file) {
    using std::filesystem::perms;
    const perms writable = perms::owner_write | perms::group_write | perms::others_write;
    return (std::filesystem::status(file).permissions() & writable) != perms::none;
}

}  // namespace

// The backing file while a connection uses it: locked against other programs and
// written in place, word by word. It is never replaced, so the lock always guards the
// file that holds the words and no reader ever sees it truncated.
class EmulatedTransmitter::EepromFile {
public:
    struct Opened {
        OpenStatus status = OpenStatus::Failed;
        std::unique_ptr<EepromFile> file;
    };

    static Opened open(const std::filesystem::path& path, std::chrono::milliseconds wait) {
        createErasedIfMissing(path);
        if (!mayBeWritten(path)) return {OpenStatus::AccessDenied, nullptr};
        ExclusiveLock::Result locked = ExclusiveLock::acquire(path, wait);
        if (locked.status != LockStatus::Locked) return {openStatusOf(locked.status), nullptr};
        std::unique_ptr<EepromFile> file(new EepromFile(path, std::move(locked.lock)));
        if (!file->stream_) return {OpenStatus::AccessDenied, nullptr};
        if (isEmpty(path) && !file->store(0, erasedImage().bytes)) return {OpenStatus::Failed, nullptr};
        return {OpenStatus::Opened, std::move(file)};
    }

    bool store(unsigned firstByte, std::span<const std::uint8_t> bytes) {
        stream_.seekp(firstByte);
        stream_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        stream_.flush();
        return static_cast<bool>(stream_);
    }

private:
    EepromFile(const std::filesystem::path& path, std::unique_ptr<ExclusiveLock> lock)
        : lock_(std::move(lock)), stream_(path, std::ios::in | std::ios::out | std::ios::binary) {}

    std::unique_ptr<ExclusiveLock> lock_;
    std::fstream stream_;
};

class EmulatedTransmitter::Connection final : public HidConnection {
public:
    explicit Connection(EmulatedTransmitter& device) : device_(&device) {}
    ~Connection() override { device_->connectionClosed(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int writeReport(std::span<const std::uint8_t> report) override { return device_->acceptReport(report); }

    // Never waits: with no reply pending the time-out is reported at once.
    int readReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds) override {
        return device_->deliverReply(buffer);
    }

private:
    EmulatedTransmitter* device_;
};

EmulatedTransmitter::EmulatedTransmitter(EmulatorOptions options)
    : options_(std::move(options)),
      eeprom_(options_.backingFile ? loadImage(*options_.backingFile) : erasedImage()) {}

std::vector<HidDeviceInfo> EmulatedTransmitter::enumerate(std::uint16_t vendorId, std::uint16_t productId) {
    const bool listed = presence_ != EmulatorPresence::Absent && !unplugged_ &&
                        vendorId == options_.vendorId && productId == options_.productId;
    if (!listed) return {};
    return {HidDeviceInfo{path(), options_.vendorId, options_.productId,
                          ReportLayout{options_.inputReportLength, options_.outputReportLength}, {}}};
}

EmulatedTransmitter::~EmulatedTransmitter() = default;
EmulatedTransmitter::EmulatedTransmitter(EmulatedTransmitter&&) noexcept = default;
EmulatedTransmitter& EmulatedTransmitter::operator=(EmulatedTransmitter&&) noexcept = default;

OpenResult EmulatedTransmitter::open(const HidDeviceInfo& device) {
    if (device.path != path() || presence_ == EmulatorPresence::Absent || unplugged_) return {};
    if (presence_ == EmulatorPresence::AccessDenied) return OpenResult{OpenStatus::AccessDenied, nullptr};
    if (presence_ == EmulatorPresence::Busy) return OpenResult{OpenStatus::Busy, nullptr};
    if (options_.backingFile && (options_.makeMissingFile || std::filesystem::exists(*options_.backingFile))) {
        EepromFile::Opened opened = EepromFile::open(*options_.backingFile, options_.lockWait);
        if (!opened.file) return OpenResult{opened.status, nullptr};
        // Another program may have written it since this one last looked.
        eeprom_ = loadImage(*options_.backingFile);
        file_ = std::move(opened.file);
    }
    ++openCount_;
    pendingReplies_.clear();
    return OpenResult{OpenStatus::Opened, std::make_unique<Connection>(*this)};
}

std::string EmulatedTransmitter::path() const {
    return "emulated:" + (options_.backingFile ? options_.backingFile->string() : std::string("memory"));
}

void EmulatedTransmitter::setPresence(EmulatorPresence presence) { presence_ = presence; }

void EmulatedTransmitter::injectFault(unsigned reportIndex, EmulatorFault fault) { faults_[reportIndex] = fault; }

const image::EepromImage& EmulatedTransmitter::eeprom() const { return eeprom_; }

void EmulatedTransmitter::setEeprom(const image::EepromImage& contents) {
    eeprom_ = contents;
    if (!options_.backingFile) return;
    std::unique_ptr<EepromFile> untilDone;
    EepromFile* file = file_.get();
    if (file == nullptr) {
        untilDone = EepromFile::open(*options_.backingFile, options_.lockWait).file;
        file = untilDone.get();
    }
    if (file == nullptr || !file->store(0, contents.bytes)) throw fileError(*options_.backingFile, "cannot be written");
}

unsigned EmulatedTransmitter::openCount() const { return openCount_; }

unsigned EmulatedTransmitter::closeCount() const { return closeCount_; }

const std::vector<std::vector<std::uint8_t>>& EmulatedTransmitter::receivedReports() const {
    return receivedReports_;
}

int EmulatedTransmitter::acceptReport(std::span<const std::uint8_t> report) {
    const std::optional<EmulatorFault> fault = faultAt(sendCount_++);
    if (fault == EmulatorFault::Unplug) unplugged_ = true;
    // Like the HID class driver, the device takes only whole output reports.
    if (unplugged_ || fault == EmulatorFault::RefuseSend || report.size() != options_.outputReportLength) {
        return -1;
    }
    const int sent = static_cast<int>(report.size());
    if (fault == EmulatorFault::ShortSend) return sent - 1;
    if (options_.latency.count() > 0) waitPrecisely(options_.latency);
    std::optional<std::vector<std::uint8_t>> reply = handleRequest(report);
    // A word the EEPROM could not keep fails the send, as a device that stopped would.
    if (!reply) return -1;
    receivedReports_.emplace_back(report.begin(), report.end());
    if (fault == EmulatorFault::ShortReply && !reply->empty()) reply->pop_back();
    if (fault != EmulatorFault::NoReply) pendingReplies_.push_back(std::move(*reply));
    return sent;
}

int EmulatedTransmitter::deliverReply(std::span<std::uint8_t> buffer) {
    if (unplugged_) return -1;
    if (pendingReplies_.empty()) return 0;
    const std::vector<std::uint8_t> reply = std::move(pendingReplies_.front());
    pendingReplies_.pop_front();
    const std::size_t copied = std::min(buffer.size(), reply.size());
    std::copy_n(reply.begin(), copied, buffer.begin());
    return static_cast<int>(copied);
}

void EmulatedTransmitter::connectionClosed() {
    ++closeCount_;
    file_.reset();
}

// Carries out one request and builds its reply: report ID 0, then for a read-word
// the word in bytes 2 and 3. Requests it does not know are answered with zeros.
// Nothing when a written word could not be kept in the backing file.
std::optional<std::vector<std::uint8_t>> EmulatedTransmitter::handleRequest(std::span<const std::uint8_t> report) {
    std::vector<std::uint8_t> reply(options_.inputReportLength, 0);
    if (report.size() < kMinOutputReportLength) return reply;
    const unsigned address = report[kAddressByte];
    const auto command = static_cast<WordCommand>(report[kCommandByte]);
    if (command == WordCommand::WriteWord) {
        // The word's two bytes travel in file order: low byte first.
        if (file_ && !file_->store(2 * address, report.subspan(kLowByte, 2))) return std::nullopt;
        eeprom_.setWord(address, static_cast<std::uint16_t>(report[kLowByte] | (report[kHighByte] << 8)));
    }
    if (command == WordCommand::ReadWord && reply.size() >= kMinInputReportLength) {
        const std::uint16_t word = eeprom_.word(address);
        reply[kLowByte] = static_cast<std::uint8_t>(word & 0xFFU);
        reply[kHighByte] = static_cast<std::uint8_t>(word >> 8);
    }
    return reply;
}

std::optional<EmulatorFault> EmulatedTransmitter::faultAt(unsigned reportIndex) const {
    const auto found = faults_.find(reportIndex);
    if (found == faults_.end()) return std::nullopt;
    return found->second;
}

}  // namespace vostrel::device
