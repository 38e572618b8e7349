// Run-time faults of the download and interpretation: a number and a
// description, reported as "No data to display (Overflow)" while the data
// already shown stays.
#pragma once

#include "kestrav/network/model.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrava {

class Fault : public std::runtime_error {
public:
    Fault(int number, const std::string& description)
        : std::runtime_error(description), Number(number) {}
    int Number;  // positive for every fault the status line describes
};

// The faults the interpretation and the download raise themselves.
constexpr int kFaultOverflow = 6;
constexpr int kFaultOutOfMemory = 7;
constexpr int kFaultTypeMismatch = 13;
constexpr int kFaultFileNotFound = 53;
// A body that is no feed of either network ("Invalid JSON at byte 81234").
constexpr int kFaultInvalidData = 31002;

// Nearest 16-bit integer (halves to even); an "Overflow" fault outside
// -32768..32767.
std::int16_t CheckedInt16(double value);

// The whole text (blanks around it allowed) as a 16-bit integer: a "Type
// mismatch" fault when it is not a number, "Overflow" when out of range.
std::int16_t TextToInt16(std::string_view text);

// A single-precision value; an "Overflow" fault beyond its range.
float CheckedSingle(double value);

// The ending of a download or interpretation that hit a fault: the network's
// DownloadFailed is set and the status line reads "No data to display",
// followed by " (", the description and ")" when the fault number is
// positive.
void EndWithFault(NetworkModel& model, DisplayHooks& display, std::uint8_t net, const Fault& fault);

}  // namespace kestrava
