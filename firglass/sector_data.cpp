#include "firglass/sector_data.h"

#include "formats/files.h"
#include "formats/text.h"

#include <filesystem>

namespace kestrava::firglass {

namespace {

std::string Counted(long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

const LineFileInfo& InfoOf(LineFile file) {
    static const LineFileInfo kCoastlines{"coastline.dat", {0.3f, 0.4f, 0.6f}};
    static const LineFileInfo kCountries{"countries.dat", {0.4f, 0.3f, 0.5f}};
    return file == LineFile::Coastlines ? kCoastlines : kCountries;
}

std::string LoadingText(const std::string& fileName) { return "Loading " + fileName + "..."; }

std::string LinesLoadedText(const std::string& fileName, size_t segments) {
    return fileName + " loaded (" + std::to_string(segments) + " lines)";
}

std::string DisplayPathFor(const std::string& listPath) {
    return (std::filesystem::path(listPath).parent_path() / "firdisplay.dat").string();
}

SectorPair SectorPairFromLines(const std::vector<std::string>& displayLines,
                               const std::vector<std::string>& listLines) {
    SectorPair pair;
    ReadPolygonLines(displayLines, [&pair](int number, const std::vector<GeoPoint>& points) {
        if (number <= 0) {
            ++pair.SkippedPolygons;
            return;
        }
        pair.Polygons.push_back(SectorPolygon{number, points});
        pair.Edges += points.size();
    });
    KeyedLine keyed;
    for (const std::string& line : listLines) {
        if (line.empty()) continue;
        if (!SplitKeyedLine(line, keyed)) {
            ++pair.SkippedLines;
            continue;
        }
        SectorLine entry;
        entry.Id = keyed.Key;
        entry.ListNumber = ReadListNumber(keyed.Items[4]);
        entry.Text = keyed.Key + " / " + keyed.Items[0] + " (" + keyed.Items[4] + ")";
        if (!pair.Table.Add(keyed.Key, std::move(keyed.Items))) ++pair.RepeatedIds;
        pair.Lines.push_back(std::move(entry));
    }
    return pair;
}

PairRead ReadSectorPair(const std::string& listPath, SectorPair& pair) {
    const std::string displayPath = DisplayPathFor(listPath);
    if (!FileExists(displayPath)) return PairRead::DisplayMissing;
    std::vector<std::string> displayLines, listLines;
    if (!ReadLines(displayPath, displayLines)) return PairRead::DisplayUnreadable;
    // Only a plain file is read: a folder typed as the list's name is not.
    if (!FileExists(listPath) || !ReadLines(listPath, listLines)) return PairRead::ListUnreadable;
    pair = SectorPairFromLines(displayLines, listLines);
    return PairRead::Read;
}

std::string PairLoadedText(const SectorPair& pair) {
    std::string text = "firdisplay.dat loaded (" + std::to_string(pair.Polygons.size()) + " polygons, " +
                       std::to_string(pair.Edges) + " edges)";
    std::string skipped;
    if (pair.SkippedPolygons > 0)
        skipped = Counted(pair.SkippedPolygons, "polygon", "polygons") + " numbered 0 or below";
    if (pair.SkippedLines > 0) {
        if (!skipped.empty()) skipped += ", ";
        skipped += Counted(pair.SkippedLines, "firlist.dat line", "firlist.dat lines") + " with fewer than six fields";
    }
    if (!skipped.empty()) text += "; skipped " + skipped;
    if (pair.RepeatedIds > 0)
        text += "; " + Counted(pair.RepeatedIds, "repeated id", "repeated ids") + " labelled where first listed";
    return text;
}

std::string UnreadableText(const std::string& path) { return "Could not read " + path; }

}  // namespace kestrava::firglass
