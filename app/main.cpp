// vostrel-programmer: the programmer window on the transmitter attached by USB.

#include "app/program_start.h"
#include "device/hidapi_transport.h"

int main(int argc, char** argv) {
    return vostrel::app::runProgrammer(argc, argv, [](const QStringList&) {
        return std::make_unique<vostrel::device::HidapiTransport>();
    });
}
