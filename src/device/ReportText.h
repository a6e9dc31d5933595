#pragma once

// The text form of a feature report, as the command line prints what a request sends and the
// emulated mouse prints what it received: each byte as two lowercase hex digits, separated by
// single spaces.

#include <cstdint>
#include <span>
#include <string>

namespace veltrix {

std::string ReportHexLine(std::span<const std::uint8_t> report);

}  // namespace veltrix
