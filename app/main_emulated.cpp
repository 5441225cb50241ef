// vostrel-programmer-emulated [EEPROM-FILE]: the programmer window on an emulated
// transmitter whose EEPROM is kept in EEPROM-FILE (emulated-eeprom.bin in the working
// directory by default), to try Read and Write without hardware.

#include <QFile>
#include <stdexcept>

#include "app/program_start.h"
#include "device/emulated_transmitter.h"

namespace {

constexpr const char* kDefaultEepromFile = "emulated-eeprom.bin";

std::unique_ptr<vostrel::device::HidTransport> makeEmulatedTransmitter(const QStringList& arguments) {
    if (arguments.size() > 2) throw std::runtime_error("usage: vostrel-programmer-emulated [EEPROM-FILE]");
    const QString file = arguments.value(1, QString::fromLatin1(kDefaultEepromFile));
    vostrel::device::EmulatorOptions options;
#if defined(_WIN32)
    // Windows file names are wide: a narrow one would lose what its code page lacks.
    options.backingFile = std::filesystem::path(file.toStdWString());
#else
    options.backingFile = std::filesystem::path(QFile::encodeName(file).toStdString());
#endif
    return std::make_unique<vostrel::device::EmulatedTransmitter>(options);
}

}  // namespace

int main(int argc, char** argv) { return vostrel::app::runProgrammer(argc, argv, makeEmulatedTransmitter); }
