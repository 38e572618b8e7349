// Full-capacity snapshots for the benchmarks (1400 pilots, 700 ATC lines,
// or as many as asked for):
// from the demo feed with every controller on a sector of its own, for the
// drawing; from the real IVAO captures, for the interpretation and the
// console's searches.
#pragma once

#include "formats/files.h"
#include "formats/text.h"
#include "real_data.h"

#include <fstream>
#include <iterator>

#include <string>
#include <vector>

namespace benchsupport {

// Network `net`'s snapshot (from the program folder's demo feed); the
// controllers take the sectors of firlist.dat from `sectorOffset` on.
inline std::string FullSnapshot(int net, size_t sectorOffset, int pilotCount = 1400, int atcCount = 700) {
    std::string demo;
    kestrava::ReadWholeFile(kestrava::ProgramPath(net == 0 ? "demo/ivao/whazzup.txt" : "demo/vatsim/whazzup.txt"), demo);
    std::vector<std::string> pilots, atc;
    for (const std::string& line : kestrava::SplitNetworkLines(demo)) {
        const auto fields = kestrava::Split(line, ":");
        if (fields.size() > 3 && fields[3] == "PILOT") pilots.push_back(line);
        if (fields.size() > 3 && fields[3] == "ATC") atc.push_back(line);
    }
    std::vector<std::string> sectors;
    std::vector<std::string> lines;
    kestrava::ReadLines(kestrava::ProgramPath("data/firlist.dat"), lines);
    for (const std::string& line : lines) sectors.push_back(kestrava::Split(line, ":")[0]);
    std::string text = "!GENERAL\r\nVERSION = 1\r\nRELOAD = 1\r\nUPDATE = 20261208143000\r\n"
                       "CONNECTED CLIENTS = 2100\r\n!CLIENTS\r\n";
    for (int i = 0; i < pilotCount && !pilots.empty(); ++i) {
        auto f = kestrava::Split(pilots[static_cast<size_t>(i) % pilots.size()], ":");
        f[0] += "X" + std::to_string(i);
        std::string line;
        for (size_t k = 0; k < f.size(); ++k) line += (k ? ":" : "") + f[k];
        text += line + "\r\n";
    }
    for (int i = 0; i < atcCount && !atc.empty() && !sectors.empty(); ++i) {
        auto f = kestrava::Split(atc[static_cast<size_t>(i) % atc.size()], ":");
        f[0] = sectors[(sectorOffset + static_cast<size_t>(i)) % sectors.size()] + "_CTR";
        std::string line;
        for (size_t k = 0; k < f.size(); ++k) line += (k ? ":" : "") + f[k];
        text += line + "\r\n";
    }
    return text + "!SERVERS\r\n";
}

// The PILOT and ATC lines of the IVAO captures in `realData` (the shared
// realdata folder), repeated where there are too few, under a real header.
// Only the header when the captures cannot be read.
inline std::string CaptureSnapshot(const std::string& realData) {
    static const char* const kIvaoCaptures[] = {
        "ivao-whazzup/IVAO-status@ba46473__whazzup.txt", "ivao-whazzup/IVAO-Library__whazzup.txt",
        "ivao-whazzup/whazzup-parser__whazzup.txt", "ivao-whazzup/IVAO-Atc-Timer__whazzup.txt"};
    std::vector<std::string> pilots, atc;
    for (const char* path : kIvaoCaptures) {
        const std::string capture = ReadAll(realData + "/" + path);
        for (const std::string& line : kestrava::SplitNetworkLines(capture)) {
            const auto fields = kestrava::Split(line, ":");
            if (fields.size() > 3 && fields[3] == "PILOT") pilots.push_back(line);
            if (fields.size() > 3 && fields[3] == "ATC") atc.push_back(line);
        }
    }
    std::string text = "!GENERAL\nVERSION = 6\nRELOAD = 1\nUPDATE = 20200515213030\n"
                       "CONNECTED CLIENTS = 2100\n!CLIENTS\n";
    if (pilots.empty() || atc.empty()) return text;
    for (size_t i = 0; i < 1400; ++i) text += pilots[i % pilots.size()] + "\n";
    for (size_t i = 0; i < 700; ++i) text += atc[i % atc.size()] + "\n";
    return text + "!SERVERS\n";
}

}  // namespace benchsupport
