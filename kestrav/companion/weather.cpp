// metar, taf and shorttaf: the NOAA station file of an airport, fetched
// beside the window while DownloadIdle holds other downloads off.
#include "kestrav/companion/commands.h"

#include "formats/text.h"
#include "kestrav/network/fault.h"
#include "kestrav/network/transfer.h"

#include <exception>
#include <functional>

namespace kestrava::companion {

namespace {

constexpr int kNotFound = 404;

std::string StationPath(const std::string& verb) {
    if (verb == "taf") return "/forecasts/taf/stations/";
    if (verb == "shorttaf") return "/forecasts/shorttaf/stations/";
    return "/observations/metar/stations/";
}

bool IsSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

// Every run of six blanks becomes one blank, left to right (twelve blanks
// become two): the station files indent continuation lines by six.
std::string ShortenIndents(const std::string& text) {
    static const std::string kSix(6, ' ');
    std::string out;
    out.reserve(text.size());
    size_t at = 0;
    for (size_t found; (found = text.find(kSix, at)) != std::string::npos; at = found + kSix.size())
        out.append(text, at, found - at).push_back(' ');
    out.append(text, at, std::string::npos);
    return out;
}

// The report of a station file: the text after its date line, trimmed, with
// CR LF line ends. Empty when the file holds no report for the code.
std::string StationReport(const std::string& file, const std::string& code) {
    const size_t dateEnd = file.find('\n');
    if (dateEnd == std::string::npos) return {};
    size_t begin = dateEnd + 1, end = file.size();
    while (begin < end && IsSpace(file[begin])) ++begin;
    while (end > begin && IsSpace(file[end - 1])) --end;
    const std::string report = file.substr(begin, end - begin);
    if (!StartsWith(report, code) && !StartsWith(report, "TAF ")) return {};
    std::string lines;
    lines.reserve(report.size() + report.size() / 32);
    for (size_t i = 0; i < report.size(); ++i) {
        if (report[i] == '\r' && i + 1 < report.size() && report[i + 1] == '\n') continue;
        if (report[i] == '\n') lines += '\r';
        lines += report[i];
    }
    return ShortenIndents(lines);
}

}  // namespace

void Weather(Companion& c, const std::string& verb, const std::string& code) {
    if (!IsAirportCode(code) || !c.Model.Airports.Has(code)) {
        c.Output.AddText("Unrecognized ICAO code\r\n");
        return;
    }
    TransferOptions transfer;
    transfer.Timeout = c.Weather.Timeout;
    transfer.Proxy = c.Weather.Proxy;
    transfer.MaxBytes = kMaxWeatherBytes;
    const std::string address = WeatherBase(c.Weather.WeatherUrl) + StationPath(verb) + code + ".TXT";
    c.Model.DownloadIdle = false;
    // The fetch runs beside the window; the answer is printed when it comes.
    c.Viewer.RunBeside([&c, verb, code, transfer, address]() -> std::function<void()> {
        std::string file, failure;
        bool fetched = false;
        try {
            file = FetchText(address, transfer);
            fetched = true;
        } catch (const Fault& fault) {
            // A station without a file is no fault worth describing.
            if (fault.Number != kNotFound) failure = fault.what();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        std::string report = fetched ? StationReport(file, code) : std::string();
        return [&c, verb, code, failure, report = std::move(report)] {
            c.Model.DownloadIdle = true;
            if (report.empty()) {
                c.Output.AddText("No " + UpperText(verb) + " for " + code +
                                 (failure.empty() ? "" : " (" + failure + ")") + "\r\n");
                return;
            }
            c.Output.AddText(report + "\r\n");
        };
    });
}

}  // namespace kestrava::companion
