// Start-up load of the sector outlines, the airports and the sector list.
#pragma once

#include "formats/colour_theme.h"
#include "formats/file_places.h"
#include "formats/sector_files.h"
#include "globe/sector_lists.h"
#include "kestrav/network/model.h"

#include <string>
#include <vector>

namespace kestrava {

struct AeronauticalLoad {
    int Polygons = 0;                  // handed to the compiler, the supplement included
    std::vector<std::string> Missing;  // files that could not be read
    // What the status line says of them after start-up, one sentence per
    // file: missing, unreadable, or read only in part.
    std::vector<std::string> Problems;
};

// The sentence for a data file that could not be read, naming the layer
// that is missing for it: "coastline.dat not found: no coastlines", or
// "... could not be read: ..." when the file is there.
std::string DataFileProblem(const std::string& path, const std::string& name, const std::string& layer);

// The status line at the end of start-up: "Ready", or the problems with
// the data files.
std::string StartUpStatus(const std::vector<std::string>& problems);

// Reads firdisplay.dat (and firdisplay.sup when present) polygon by polygon
// into `compile`, then airports.dat into Airports and firlist.dat into
// Sectors, with the status messages of each stage. Each file is the
// user's copy in data/ where there is one, else the program folder's. Does
// nothing when either index already holds an entry. A missing file is named
// in the status line and skipped; one with unreadable lines is read in part
// and its problem says how much.
AeronauticalLoad LoadSectorsAndAirports(NetworkModel& model, DisplayHooks& display,
                                        const FilePlaces& places,
                                        const PolygonHandler& compile);

// The sector pair read again while the viewer runs (after a sector update):
// every compiled sector's lists are deleted and forgotten with their
// numbers, the sector list emptied, then firdisplay.dat (and firdisplay.sup)
// compiled anew into `compiled` and firlist.dat read from the same places as
// at start-up; last, every ATC record of both networks' snapshots is placed
// again on the new sectors from its reported position. No status line and
// no frame on the way: the scenes built on the old sectors are the caller's
// to rebuild. Needs the window's OpenGL context current.
AeronauticalLoad ReloadSectors(NetworkModel& model, const FilePlaces& places, CompiledSectors& compiled,
                               const ColourTheme& theme);

}  // namespace kestrava
