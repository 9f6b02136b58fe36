// Which viewer shows a file (callback 220) and which one saves it (callback 202), and where a saved
// file lies relative to its asset folder (callback 235). Pure functions over paths and flags.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvarn {

enum class TViewerChoice {
    TextureDescriptor,  // ".texture.txt"
    LevelOfDetail,      // ".lm.txt"
    Image,
    Mesh,         // ".im", ".pm": checked by the outline first
    TrainzMesh,   // no viewer yet: "trainzmesh viewer not available yet"
    BinaryText,   // ".kin": shown as text through the report library
    Text,
    AudioOnly,    // ".mp3", ".wav": nothing more than the autoplay
    None,         // "No viewer available"
};

// The extension rules test whole extensions (".txt" is not inside ".texture"); a name ending in
// ".texture.txt" or ".lm.txt" goes to its editor, so "film.txt" stays a text file.
TViewerChoice ChooseViewer(std::string_view path);
// Does a lower-case extension occur in a list such as ".mp3.wav"? The list is tested as a text, so a
// shortened extension (".htm" in ".html") is found; an empty extension or a bare "." is not.
bool ExtensionOccursIn(std::string_view lowerExt, std::string_view list);

// What showing a file does, step by step, before the chosen viewer loads it.
struct TShowFileInputs {
    std::string path;
    int layoutMode = 0;
    bool autoplay = false;
    bool activeIsFileViewer = false;   // text, descriptor, LOD or image view in front
    std::string activeShownFile;       // the file that viewer shows
    std::string currentAssetFile;      // folder + "\" + file name
    bool fileExists = true;
};
struct TShowFilePlan {
    bool play = false;          // the file list plays the file
    bool stop = false;          // nothing further
    bool askToSave = false;     // the viewers are asked to save first
    std::string alert;          // the outline's alert ("File not found: ...")
    TViewerChoice viewer = TViewerChoice::None;
    bool configFile = false;    // a text view of "config.txt"
};
TShowFilePlan PlanShowFile(const TShowFileInputs& in);

enum class TSaveTarget { TextureDescriptor, LevelOfDetail, Text, Image, None };
// The viewer that saves a file of that name; None: "Cannot Save this File: " + name.
TSaveTarget SaveTargetFor(std::string_view name);

// Callback 235's text: an asset-relative path with "/" separators, or a full path. Gives the folder
// to mark as edited in the asset list and the file to mark in the file list. The form says who saved:
// a viewer frame names a file of the asset folder relative to it, the outline names its config.txt by
// its full path.
struct TSavedFile {
    std::string assetFolder;
    std::string file;
    bool byViewer = false;  // the text was relative: a viewer frame saved the file
};
TSavedFile FileSavedTarget(std::string_view text, std::string_view assetFolder);

// `path` relative to `assetFolder` with "/" separators, when the file lies inside that folder (both
// compared in their canonical forms); nothing otherwise.
std::optional<std::string> AssetRelativePath(std::string_view path, std::string_view assetFolder);

}  // namespace kelvarn
