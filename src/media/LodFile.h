// Level-of-detail files (".lm.txt"): a few settings and the list of detail meshes, each shown from a
// "% of screen" size on. The one reader and writer of their text; the LOD editor, the mesh helpers and
// the reference checks all pick their mesh names from here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/Text.h"

namespace kelvarn {

inline constexpr int kLodEditorRows = 6;

struct TLodMeshRow {
    std::string Percent;  // the "% of screen" as the file writes it
    std::string File;     // the mesh file, as named
    bool Ticked = false;  // a "name" line gave the row its file
    bool operator==(const TLodMeshRow&) const = default;
};

class LodFile {
public:
    // Fields keep the file's text (trimmed): "1.0" stays "1.0"; numbers are parsed only to compare.
    std::string Version, Offset, CalcPoint, Multiplier, AnimationCutOff, RenderCutOff, AttachmentCutOff;
    std::vector<TLodMeshRow> Meshes;  // every row of the file, in order (the editor shows six)
    std::vector<std::string> Unread;  // statements the parser did not understand (Lines() leaves them out)

    // The text is read as statements: each line split after ";" and at braces outside quotes. A
    // statement's key is its leading letters, ignoring case; its value is the text between the first
    // pair of double quotes, else after "=" up to ";", else (version) the second word. "mesh" starts a
    // row; "name" gives the current row its file. A name before any mesh, and any statement of another
    // key, goes to Unread. An empty text reads as the default lines.
    static LodFile Parse(std::string_view text);
    // The seven lines a new, empty file gets.
    static std::vector<std::string> DefaultLines();

    // The file's layout from the fields: the seven settings, an empty line, then each row that is
    // ticked, in order among the first six, not out of order (CheckMeshOrder) and names a file, then
    // every row after the sixth as it was read. An empty number field writes "0.0".
    std::vector<std::string> Lines() const;
    std::string Write() const;  // Lines() with CR LF after each

    // Mesh names of the rows that name one, in order: all, the first, the last.
    std::vector<std::string> MeshNames() const;
    std::string FirstMeshName() const;
    std::string LastMeshName() const;

    bool operator==(const LodFile&) const = default;
};

// The rows coloured light red: from the second row on, the first whose % is not greater than the row
// above, and every row after it. Unreadable numbers count as 0.
std::vector<bool> CheckMeshOrder(const std::vector<std::string>& percents);
// The version and multiplier fields are marked unless their text is exactly "1.0".
inline bool LodValueIsStandard(std::string_view text) { return text == "1.0"; }

// Reads and parses a file; a message on failure.
std::string ReadLodFile(std::string_view path, LodFile& lod, DecodedText* text = nullptr);

}  // namespace kelvarn
