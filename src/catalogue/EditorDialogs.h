// The editor window's simple tasks as the asset list, the file list and the tool runner use them: the
// one-line input and the text page. The Qt side shows them; tests answer with canned values.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kelvarn {

class IEditorDialogs {
public:
    virtual ~IEditorDialogs() = default;
    // The one-line input: `caption`, `prompt` and the value to edit; `shownPath` is the shortened path
    // the dialog shows beside it. Nothing when cancelled.
    virtual std::optional<std::string> InputLine(const std::string& caption, const std::string& prompt,
                                                 const std::string& value, const std::string& shownPath) = 0;
    // Shows lines in the text page, modally. `size` is width × 1000 + height.
    virtual void ShowText(int size, int flags, const std::vector<std::string>& lines, const std::string& caption) = 0;
};

// The fields of the editor's new-asset page. A call sets `kinds`, `location` and `folderName`; the
// KUID and the kind stay from the page's previous use. On OK the page gives back every field.
struct TNewAssetFields {
    std::vector<std::string> kinds;
    std::string kuid;
    std::string kind;
    std::string location;
    std::string folderName;
};

// The fields of the clone page: a call sets them all, OK gives them back as the user left them.
struct TCloneFields {
    std::string kuid;
    std::string username;
    std::string location;
    std::string name;
    std::string description;
    std::string source;  // the folder being cloned, which the copy may not go inside (not shown)
};

// The editor's new-asset and clone pages, shown modally: true when the user chose OK (the KUID field
// already made whole). `size` is width × 1000 + height.
class IAssetPages {
public:
    virtual ~IAssetPages() = default;
    virtual bool NewAssetDialog(int size, const std::string& caption, TNewAssetFields& fields) = 0;
    virtual bool CloneAssetDialog(int size, const std::string& caption, TCloneFields& fields) = 0;
};

// The folder or file shortened for the one-line input: its first component, "\...\", its last
// component and "\" (with the path's own separator).
std::string ShortenedPath(const std::string& path);

// Whether a name typed for a rename can be one: not empty, not "." or "..", and holding no separator
// (so the folder or file cannot leave its parent). Returns the message, empty when the name is valid.
std::string CheckNewName(const std::string& name);

}  // namespace kelvarn
