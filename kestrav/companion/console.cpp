#include "kestrav/companion/console.h"

#include "formats/text.h"
#include "kestrav/companion/commands.h"

#include <vector>

namespace kestrava {

namespace {

using namespace companion;

// The three abbreviations, each tested on the start of the line without
// regard to case; only the prefix is replaced.
std::string ExpandAbbreviations(std::string line) {
    static const struct {
        std::string_view from, to;
    } kAbbreviations[] = {{"inf ", "info "}, {"wx ", "metar "}, {"staf ", "shorttaf "}};
    for (const auto& a : kAbbreviations)
        if (line.size() >= a.from.size() && EqualsNoCase(std::string_view(line).substr(0, a.from.size()), a.from))
            line = std::string(a.to) + line.substr(a.from.size());
    return line;
}

// The text before the first blank, or the whole line when it has none
// (or begins with one), trimmed and in lower case.
std::string VerbOf(const std::string& line) {
    const size_t blank = line.find(' ');
    if (blank == std::string::npos || blank == 0) return ToLower(Trim(line));
    return ToLower(Trim(std::string_view(line).substr(0, blank)));
}

// What follows the verb and its blank, trimmed.
std::string ArgumentOf(const std::string& line) {
    const size_t blank = line.find(' ');
    return blank == std::string::npos ? std::string() : Trim(std::string_view(line).substr(blank + 1));
}

// The last n characters of the line, upper case.
std::string LastCharacters(const std::string& line, size_t n) {
    return UpperText(line.size() <= n ? std::string_view(line) : std::string_view(line).substr(line.size() - n));
}

// The line's words, as runs of characters between blanks.
std::vector<std::string> WordsOf(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(' ', at);
        if (start == std::string::npos) break;
        size_t end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

void Echo(Companion& c, const std::string& text) { c.Output.AddText("> " + text); }

// The commands that work at any time. True when the verb is one of them.
bool AnyTimeCommand(Companion& c, const std::string& verb, const std::string& line) {
    const size_t length = line.size();
    if (verb == "metar" || verb == "taf" || verb == "shorttaf") {
        if (length != verb.size() + 5 || !c.Model.DownloadIdle) return true;
        const std::string code = LastCharacters(line, 4);
        Echo(c, verb + " " + code);
        Weather(c, verb, code);
    } else if (verb == "help") {
        if (length != 4) return true;
        Echo(c, "help");
        Help(c);
    } else if (verb == "icao") {
        if (length != 9) return true;
        const std::string code = LastCharacters(line, 4);
        Echo(c, "icao " + code);
        Icao(c, code);
    } else if (verb == "update") {
        if (!EqualsNoCase(line, "update sectors")) return true;
        Echo(c, "update sectors");
        UpdateSectors(c);
    } else if (verb == "watch" || verb == "unwatch") {
        const std::vector<std::string> words = WordsOf(line);
        if (words.size() > 2) return true;
        const std::string code = words.size() == 2 ? words[1] : std::string();
        Echo(c, verb + (code.empty() ? "" : " " + UpperText(code)));
        if (verb == "watch")
            Watch(c, code);
        else
            Unwatch(c, code);
    } else if (verb == "watches") {
        if (length != 7) return true;
        Echo(c, "watches");
        Watches(c);
    } else if (verb == "dist") {
        const std::vector<std::string> words = WordsOf(line);
        if (words.size() != 3) return true;
        const std::string a = UpperText(words[1]), b = UpperText(words[2]);
        Echo(c, "dist " + a + " " + b);
        Dist(c, a, b);
    } else {
        return false;
    }
    return true;
}

// The commands on the shown network's data; the caller has checked that a
// single network with data is shown.
void DataCommand(Companion& c, const std::string& verb, const std::string& line) {
    const size_t length = line.size();
    const std::string argument = UpperText(ArgumentOf(line));
    // A command that takes a callsign or id: its echo, then the command.
    const auto withArgument = [&](size_t minimum, void (*command)(Companion&, const std::string&)) {
        if (length < minimum) return;
        Echo(c, verb + " " + argument);
        command(c, argument);
    };
    const auto alone = [&](size_t exact, void (*command)(Companion&)) {
        if (length != exact) return;
        Echo(c, verb);
        command(c);
    };
    if (verb == "atis") {
        withArgument(6, Atis);
    } else if (verb == "fp") {
        withArgument(4, FlightPlan);
    } else if (verb == "info") {
        withArgument(6, Info);
    } else if (verb == "prof") {
        withArgument(6, Profile);
    } else if (verb == "vis") {
        withArgument(5, Visible);
    } else if (verb == "stat") {
        alone(4, Stat);
    } else if (verb == "sups") {
        alone(4, Sups);
    } else if (verb == "refresh") {
        if (c.Model.DownloadIdle) alone(7, Refresh);
    } else if (verb == "members") {
        if (length != 10) return;
        const std::string place = LastCharacters(line, 2);
        Echo(c, "members " + place);
        Members(c, place);
    } else if (verb == "find") {
        if (length < 7) return;
        const std::string text = LowerText(ArgumentOf(line));
        Echo(c, "find " + text);
        Find(c, text);
    } else if (verb == "act") {
        if (length != 8) return;
        const std::string code = LastCharacters(line, 4);
        Echo(c, "act " + code);
        Activity(c, code);
    } else if (verb == "traffic") {
        if (length != 10 && length != 12) return;
        const std::string where = LastCharacters(line, length - 8);
        Echo(c, "traffic " + where);
        if (length == 10)
            TrafficInPlace(c, where);
        else
            TrafficAtAirport(c, where);
    }
}

}  // namespace

void ReadText(Companion& c, std::string_view text) {
    c.RecallLine = std::string(text);
    const std::string line = ExpandAbbreviations(std::string(text));
    const std::string verb = VerbOf(line);
    if (AnyTimeCommand(c, verb, line)) return;
    const std::uint8_t net = c.Model.CurrentNetwork;
    if (net > kVatsim || c.Model.ClientTotal[net] == 0) return;
    DataCommand(c, verb, line);
}

std::string WeatherBase(std::string_view setting) {
    std::string base = Trim(setting);
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base.empty() ? std::string(kDefaultWeatherUrl) : base;
}

}  // namespace kestrava
