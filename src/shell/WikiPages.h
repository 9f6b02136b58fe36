// The wiki pages section Wiki of the settings names for the help links: one per asset kind for which
// the reference list of config.txt names gives a documentation page, written as it writes them, and
// the pages of the special cases (mesh tables, effects, trackside scenery). A kind without a page of
// its own (behavior, bridge, engine, environment, industry ...) and the kind hierarchy have none: no
// page is made up, so Help on Tag says the link is empty rather than opening a page that may not
// exist. A help text's "$" page key is looked up here.
#pragma once

#include <array>
#include <string_view>

namespace kelvarn {

class TMemIni;

struct TWikiPageKey {
    std::string_view key;
    std::string_view page;
};

inline constexpr std::array<TWikiPageKey, 31> kDefaultWikiPages = {{
    // the special cases
    {"$mesh-table", "KIND_Mesh"},
    {"$mesh-table-int", "KIND_Interior"},
    {"$effects", "KIND_Mesh"},
    {"$scenery-trackside", "KIND_Scenery-trackside"},
    // asset kinds, by the value of the kind tag
    {"$achievement-category", "KIND_Achievement-category"},
    {"$achievement-group", "KIND_Achievement-group"},
    {"$bogey", "KIND_Bogey"},
    {"$buildable", "KIND_Buildable"},
    {"$consist", "KIND_Consist"},
    {"$drivercommand", "KIND_Drivercommand"},
    {"$enginesound", "KIND_Enginesound"},
    {"$fixedtrack", "KIND_Fixedtrack"},
    {"$groundbrush", "KIND_Groundbrush"},
    {"$groundtexture", "KIND_Groundtexture"},
    {"$interior", "KIND_Interior"},
    {"$library", "KIND_Library"},
    {"$map", "KIND_Map"},
    {"$mesh", "KIND_Mesh"},
    {"$mosignal", "KIND_MOSignal"},
    {"$procedural-track", "KIND_Procedural_track"},
    {"$profile", "KIND_Profile"},
    {"$scenery", "KIND_Scenery"},
    {"$texture", "KIND_Texture"},
    {"$track", "KIND_Track"},
    {"$traincar", "KIND_Traincar"},
    // effect kinds (a kind tag inside effects), described with the mesh table that holds them
    {"$animation", "KIND_Mesh"},
    {"$attachment", "KIND_Mesh"},
    {"$corona", "KIND_Mesh"},
    {"$name", "KIND_Mesh"},
    {"$smoke", "KIND_Mesh"},
    {"$texture-replacement", "KIND_Mesh"},
}};

// Writes each page key section Wiki lacks, keeping every page the user set; true when it wrote one.
bool EnsureDefaultWikiPages(TMemIni& ini);

}  // namespace kelvarn
