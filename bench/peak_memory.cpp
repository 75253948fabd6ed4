#include "peak_memory.h"

#include <fstream>
#include <string>

namespace bench {

namespace {

// A "Name:  1234 kB" line of /proc/self/status, in bytes; 0 when it is not there.
std::size_t StatusBytes(std::string const& name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name + ":", 0) == 0) {
            return std::stoull(line.substr(name.size() + 1)) * 1024;
        }
    }
    return 0;
}

} // namespace

bool ResetPeakMemory() {
    // Writing 5 to clear_refs resets the peak resident size (Linux 4.0 and later).
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

std::size_t PeakMemory() {
    return StatusBytes("VmHWM");
}

} // namespace bench
