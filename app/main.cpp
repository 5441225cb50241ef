// vostrel-programmer: the programmer window on the transmitter attached by USB.

#include "app/program_start.h"
#include "device/system_hid_transport.h"

int main(int argc, char** argv) {
    return vostrel::app::runProgrammer(argc, argv, [](const QStringList&) {
        return vostrel::device::makeSystemHidTransport();
    });
}
