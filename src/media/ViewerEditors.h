// The descriptor and level-of-detail editors' logic, apart from their frames: what a field change,
// a tick, a text edit, a save and a close do to the file's text. Both keep the file's encoding; both
// fill their fields under a loading flag, so opening a file never marks it changed.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "media/LodFile.h"
#include "media/TextureDescriptor.h"
#include "shell/MessageSink.h"
#include "shell/TextCodec.h"

namespace kelvarn {

// What a frame with unsaved text asks before it closes or the asset changes.
// CloseQuery: "Save File: " + path + "?" (Yes saves, No discards, Cancel keeps); true when it may
// close. QuerySave: "'" + path + "' may have changed." + two CR + "Save file to disc?" (Yes saves).
// `save` returns an empty text on success, else the message to show.
class TEditedFile {
public:
    std::string Path;
    std::string Text;    // the memo
    TTextDocument File;  // the file as read: saving keeps each unchanged line's end and encoding
    bool Modified = false;

    bool CloseQuery(IMessageSink& sink);
    void QuerySave(IMessageSink& sink);
    // Writes the text atomically in the file's encoding, lines that did not change as they were read;
    // clears Modified on success.
    virtual std::string Save();
    virtual ~TEditedFile() = default;
};

class TDescriptorEditor final : public TEditedFile {
public:
    TextureDescriptor Fields;
    std::vector<std::string> Images;  // the image combos' lists
    bool Loading = false;

    // "Unable to load file: " + path on failure (the text is then empty).
    std::string Load(std::string_view path);
    // A combo's new text (fields 0 and 1: any name; the others: a value or "-").
    void ChangeValue(int field, std::string_view value);
    // A box ticked (default image, first value) or unticked (empty, "-"). Ignored while loading.
    void ChangeCheckBox(int field, bool ticked);
    // A hand edit of the text: the fields are read again from it (not while loading).
    void MemoChange(std::string_view text);

    bool CanSave() const { return DescriptorCanSave(Text); }
    bool SaveEnabled() const { return Modified && CanSave(); }
    // "Primary texture must be defined" while the first line is not the Primary line, else empty.
    std::string Alert() const;
    // Refused with "Cannot save file: Primary texture is not defined" unless the text can be saved.
    std::string Save() override;

private:
    void Rewrite();
};

class TLodEditor final : public TEditedFile {
public:
    LodFile Fields;  // Meshes always holds at least six rows (the editor's), more when the file had more
    std::vector<std::string> MeshFiles;  // the ".im" files of the folder, for the mesh combos
    bool Loading = false;

    TLodEditor() { PadRows(); }
    std::string Load(std::string_view path);
    // After any field change (the frame has set Fields): the text is rebuilt and marked modified.
    // Ignored while loading.
    void DataChange();
    // A hand edit of the text: the fields are read again from it (not while loading).
    void MemoChange(std::string_view text);

    std::vector<bool> RedRows() const;  // the six % fields' colour
    // Names the statements the fields do not hold, which a field change leaves out of the text; empty
    // when there are none.
    std::string Alert() const;
    bool VersionRed() const { return !LodValueIsStandard(Fields.Version); }
    bool MultiplierRed() const { return !LodValueIsStandard(Fields.Multiplier); }

private:
    void PadRows();
};

}  // namespace kelvarn
