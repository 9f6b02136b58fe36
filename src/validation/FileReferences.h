// The file reference check ("Verify Files..."): the files the asset's config names, followed through
// meshes, level-of-detail files and texture descriptors, against the files in the asset folder. It
// logs the referenced files that are missing and the files nothing references.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/AssetCheck.h"

namespace kelvarn {

// Paths relative to the asset folder, "\" separated, compared ignoring case; each path is kept once,
// in the spelling it was first added with.
class TReferenceSet {
public:
    // Turns "/" into "\" first: configs use either, the folder listing "\".
    void Add(std::string_view path);
    bool Contains(std::string_view path) const;
    std::size_t Size() const { return paths_.size(); }
    // Sorted ignoring case.
    std::vector<std::string> Sorted() const;

private:
    std::unordered_map<std::string, std::string> paths_;  // lower case -> as added
};

// Follows a mesh-table or track mesh to the files it uses, by its extension (ignoring case): ".srt" is
// added as it is; ".im" and ".pm" are added and, when the asset holds them, so are the descriptors of
// their textures (mesh folder + name + ".txt") with the images those name; ".lm" adds its ".lm.txt"
// and every mesh that file names (relative to its own folder), followed as an ".im" is.
void ReferenceMeshFile(const TAssetCheck& check, std::string_view path, TReferenceSet& references);
// Adds the descriptor and, when the asset holds it, its non-empty "Primary" and "Alpha" images, which
// lie in the descriptor's folder.
void ReferenceTextureImages(const TAssetCheck& check, std::string_view descriptor, TReferenceSet& references);

// Walks the outline and gathers every file its tags reference, plus "config.txt" (and "anim.kin" for
// a bogey). Sets the two flags when a tag names a mesh library or an alias.
void CollectReferencedFiles(const TAssetCheck& check, TReferenceSet& references, bool& usesMeshLibrary,
                            bool& aliased);

struct TVerifyFilesReport {
    std::string Title;               // "Verify Files (Build 2.5): N lines processed"
    std::vector<std::string> Lines;  // as handed to the log
    std::vector<std::string> Missing;
    std::vector<std::string> Unreadable;  // named and present, but empty or not readable by our readers
    std::vector<std::string> Unreferenced;
    bool Aliased = false;
    bool UsesMeshLibrary = false;
    bool CompressedTextures = false;  // the folder holds ".texture" files
    std::string LogError;             // the log could not be written
};

// Why a file the config names cannot serve: "*** File is empty ***", the mesh header's fault, or for a
// picture no reader decodes the reader's reason ("Couldn't load JPG", a message the image library
// would have shown, else "Not a readable image"); empty when it is sound (or of a kind no reader of
// ours takes).
std::string UnreadableReason(const std::string& file);

// The whole check: collects, lists the folder, compares and hands the report to the log.
TVerifyFilesReport VerifyFiles(const TAssetCheck& check);

}  // namespace kelvarn
