// The viewer's coastlines and borders as arrays in a vertex buffer, drawn a
// frame at a time leaving out the segments that cannot reach the window:
// runs of them whose box, and then single ones whose two ends, lie wholly
// beyond the far or the near plane or wholly off one side of the window,
// where they would draw no pixel. The segments kept go out in their order as
// separate lines, so the window's pixels are those of the segments drawn one
// after the other (BuildSegmentList).
#pragma once

#include "formats/line_files.h"
#include "globe/geography.h"

#include <vector>

namespace kestrava {

// Keeps `segments` under the number `list` (a display-list name; no list is
// compiled) in a vertex buffer of the current context, at `width`, each in
// the colour of its end point's latitude; what the number had is replaced.
void BuildSegmentArrays(unsigned list, const std::vector<LineSegment>& segments, float width,
                        const LatitudeColour& colourOfEnd);
// The same, all in one colour.
void BuildSegmentArrays(unsigned list, const std::vector<LineSegment>& segments, float width, const Rgb& colour);
bool HasSegmentArrays(unsigned list);
// Forgets every number's arrays (their buffers go with the context).
void ForgetSegmentArrays();

// Draws the segments under `list` in the current transformation into a
// width x height window (pixels): as BuildSegmentList's list of them would,
// leaving the line width and the current colour as it would. Nothing for a
// number without arrays.
void DrawSegmentList(unsigned list, int width, int height);

}  // namespace kestrava
