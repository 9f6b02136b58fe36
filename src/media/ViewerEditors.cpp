#include "media/ViewerEditors.h"

#include <algorithm>

#include "media/TextViewDocument.h"
#include "shell/Files.h"
#include "shell/PathText.h"

namespace kelvarn {
namespace {

constexpr std::uint64_t kMaxEditedBytes = 1ull << 20;

std::string LoadText(std::string_view path, TEditedFile& file) {
    file.Path = std::string(path);
    file.Modified = false;
    std::string bytes;
    if (ReadFileBytes(path, bytes, kMaxEditedBytes).empty() && DecodeDocument(bytes, file.File).empty()) {
        // The text with the file's own line ends, which the frames' memo conversion follows.
        file.Text.clear();
        for (const TTextLine& line : file.File.lines) file.Text.append(line.text).append(LineEndText(line.end));
        return {};
    }
    file.Text.clear();
    file.File = {};
    return "Unable to load file: " + std::string(path);
}

}  // namespace

bool TEditedFile::CloseQuery(IMessageSink& sink) {
    if (!Modified) return true;
    switch (sink.AskYesNoCancel(CloseQueryText(Path))) {
        case Answer::Yes:
            if (std::string error = Save(); !error.empty()) sink.ShowMessage(error, {}, MessageKind::Error);
            break;
        case Answer::No: Modified = false; break;
        case Answer::Cancel: break;
    }
    return !Modified;
}

void TEditedFile::QuerySave(IMessageSink& sink) {
    if (!Modified || !sink.AskYesNo(QuerySaveText(Path))) return;
    if (std::string error = Save(); !error.empty()) sink.ShowMessage(error, {}, MessageKind::Error);
}

std::string TEditedFile::Save() {
    // The memo's line ends, whatever they are, become "\n" for the comparison with the file's lines.
    std::string lines;
    TLineSplitter split{Text};
    std::string_view line;
    TLineEnd end;
    while (split.Next(line, end)) {
        lines.append(line);
        if (end != TLineEnd::None) lines.push_back('\n');
    }
    SetDocumentText(File, lines);
    if (std::string error = WriteFileAtomic(Path, EncodeDocument(File)); !error.empty()) return error;
    Modified = false;
    return {};
}

std::string TDescriptorEditor::Load(std::string_view path) {
    Loading = true;
    Images = DescriptorImageFiles(ExtractFileDir(path));
    std::string error = LoadText(path, *this);
    Fields = TextureDescriptor::Parse(Text);
    Loading = false;
    return error;
}

void TDescriptorEditor::Rewrite() {
    if (Loading) return;
    Text = Fields.Write();
    Modified = true;
}

void TDescriptorEditor::ChangeValue(int field, std::string_view value) {
    if (Loading) return;
    if (field > 1 && value == "-") Fields.ClearField(field);
    else if (!Fields.SetValue(field, value)) return;
    Rewrite();
}

void TDescriptorEditor::ChangeCheckBox(int field, bool ticked) {
    if (Loading || field < 0 || field >= kDescriptorFields) return;
    if (field < 2) {
        const std::string image = ticked ? DescriptorDefaultImage(Path) : std::string();
        const bool listed = std::find(Images.begin(), Images.end(), image) != Images.end();
        Fields.SetValue(field, listed ? image : std::string());
    } else if (ticked) {
        Fields.SetValue(field, DescriptorKeys()[static_cast<std::size_t>(field)].Values.front());
    } else {
        Fields.ClearField(field);
    }
    Rewrite();
}

void TDescriptorEditor::MemoChange(std::string_view text) {
    if (Loading) return;
    Text = std::string(text);
    Modified = true;
    Fields = TextureDescriptor::Parse(Text);
}

std::string TDescriptorEditor::Alert() const {
    return CanSave() ? std::string() : std::string("Primary texture must be defined");
}

std::string TDescriptorEditor::Save() {
    if (!CanSave()) return "Cannot save file: Primary texture is not defined";
    return TEditedFile::Save();
}

std::string TLodEditor::Load(std::string_view path) {
    Loading = true;
    MeshFiles.clear();
    std::vector<std::string> found;
    FindFiles(JoinPath(ExtractFileDir(path), "*.*"), "*.im", found, false);
    for (const std::string& file : found) MeshFiles.push_back(ExtractFileName(file));
    std::string error = LoadText(path, *this);
    Fields = LodFile::Parse(Text);
    if (error.empty() && Trim(Text).empty()) Text = JoinLines(LodFile::DefaultLines(), "\r\n");
    PadRows();
    Loading = false;
    return error;
}

void TLodEditor::DataChange() {
    if (Loading) return;
    Text = Fields.Write();
    Modified = true;
}

void TLodEditor::MemoChange(std::string_view text) {
    if (Loading) return;
    Text = std::string(text);
    Modified = true;
    Fields = LodFile::Parse(Text);
    PadRows();
}

// The frame shows six rows whatever the file holds.
void TLodEditor::PadRows() {
    if (Fields.Meshes.size() < static_cast<std::size_t>(kLodEditorRows)) Fields.Meshes.resize(kLodEditorRows);
}

std::string TLodEditor::Alert() const {
    if (Fields.Unread.empty()) return {};
    return "Not understood, and left out when a field is changed: " + JoinLines(Fields.Unread, "  ");
}

std::vector<bool> TLodEditor::RedRows() const {
    std::vector<std::string> percents;
    for (int i = 0; i < kLodEditorRows; ++i)
        percents.push_back(i < static_cast<int>(Fields.Meshes.size()) ? Fields.Meshes[static_cast<std::size_t>(i)].Percent
                                                                       : std::string());
    return CheckMeshOrder(percents);
}

}  // namespace kelvarn
