#include "kestrav/render/display_lists.h"

namespace kestrava::lists {

namespace {
ViewerNames viewerNames;
}

const ViewerNames& Viewer() { return viewerNames; }

void AllocateViewer() {
    AllocateGlobe();
    ViewerNames& n = viewerNames;
    n.Scenes = NewNames(3 * kSceneListCount);
    n.Popup = NewNames(1);
    n.Panel = NewNames(1);
    n.RouteHighlight = NewNames(2);
    n.WindowFrame = NewNames(1);
    n.StatusLine = NewNames(1);
    n.ClientCountBar = NewNames(1);
    n.NetworkMarks = NewNames(1);
    n.Splash = NewNames(1);
}

}  // namespace kestrava::lists
