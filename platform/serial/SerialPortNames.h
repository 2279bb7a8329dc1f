#pragma once
// Names of serial ports. Programs name a port "COM<n>"; port n is the n-th device
// of the machine's serial ports (/dev/ttyS*, then /dev/ttyUSB*, then /dev/ttyACM*,
// each group in numeric order), unless the environment variable DOX_COM<n> names
// a device path for it (so a test can point COM1 at a pseudo-terminal).

#include <string>
#include <vector>

namespace plat
{

struct SerialPortEntry {
    std::string name; // "COM<n>"
    int number = 0;   // n, from 1
    std::string path; // the device
};

// Device files of serial ports in devDir, in port order (full paths).
std::vector<std::string> ListSerialDevices(const std::string& devDir = "/dev");

// The device path of port n, empty when there is no such port.
std::string SerialPortPath(int number);

// The device path of a port named "COM<n>" (letters in either case); empty for any
// other name or a port that does not exist.
std::string SerialPortPathForName(const std::string& name);

// Every port a program may offer: COM1..COM<k> for the k devices found, plus each
// port named by a DOX_COM<n> variable, ordered by number.
std::vector<SerialPortEntry> EnumerateSerialPorts();

// How long a reader waits for a character: pollCount waits of pollSleepMs each.
// Defaults 100 and 30 ms; DOX_SERIAL_POLL_COUNT and DOX_SERIAL_POLL_MS override
// them (read on every call, so a port object takes the values current when made).
struct SerialPollSettings {
    int pollCount = 100;
    int pollSleepMs = 30;
};
SerialPollSettings CurrentSerialPollSettings();

} // namespace plat
