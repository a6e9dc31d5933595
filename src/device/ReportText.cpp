#include "device/ReportText.h"

namespace veltrix {

std::string ReportHexLine(std::span<const std::uint8_t> report) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string line;
    for (const std::uint8_t byte : report) {
        if (!line.empty()) {
            line += ' ';
        }
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line;
}

}  // namespace veltrix
