// Loading a config.txt into the outline and saving the outline back.
#include <filesystem>

#include "catalogue/ConfigPath.h"
#include "catalogue/ConfigWriter.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Backups.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"

namespace kelvarn {

namespace {

constexpr std::string_view kNoKindAlert =
    "Unable to validate this config: this will usually be due to an empty or corrupt config or an empty or "
    "missing asset 'kind'. \rPlease ensure that a 'kind' tag is correctly defined and then save and reload the "
    "asset";

// Lines beginning with ";" are commented out: they carry the comment mark instead of the ";".
void MarkComments(TOutlineNode* root) {
    WalkRows(root, [](TOutlineNode* node, int) {
        if (!node->Text().empty() && node->Text().front() == ';') {
            TOutlineBuilder::SetText(*node, node->Text().substr(1));
            TOutlineBuilder::SetFlags(*node, nfComment);
        }
    });
}

// An existing file that differs only in case is written in place, never beside it.
std::string SaveTarget(std::string_view fileName) {
    if (FileExists(fileName)) return std::string(fileName);
    const std::string found = FindFileIgnoreCase(ExtractFileDir(fileName), ExtractFileName(fileName));
    return !found.empty() && FileExists(found) ? found : std::string(fileName);
}

}  // namespace

void TOutlineDocument::ClearOutline() {
    ReplaceTree(nullptr, TResetReason::Clear);
    shownFolder_.clear();
    configFile_.clear();
    encoding_ = TextEncoding::Utf8;
    mark_ = false;
    modified_ = false;
}

void TOutlineDocument::CopyTreeFrom(const TOutlineDocument& source) {
    if (&source == this) return;
    std::unique_ptr<TOutlineNode> copy;
    if (const TOutlineNode* from = source.Root()) {
        copy = std::make_unique<TOutlineNode>(from->Text());
        TOutlineBuilder::SetFlags(*copy, from->Flags());
        TOutlineBuilder::SetMark(*copy, from->ChildMark());
        std::vector<TOutlineNode*> path;  // the copies from the root down to the last one made
        WalkRows(from, [&](const TOutlineNode* node, int level) {
            if (node == from) {
                path.assign(1, copy.get());
                return;
            }
            path.resize(static_cast<std::size_t>(level));
            path.push_back(TOutlineBuilder::Append(*path.back(), node->Text(), node->Flags(), node->ChildMark()));
            if (const TNodeOrigin* origin = node->Origin())
                TOutlineBuilder::SetOrigin(*path.back(), std::make_unique<TNodeOrigin>(*origin));
        });
    }
    ReplaceTree(std::move(copy), TResetReason::Load);
    shownFolder_ = source.shownFolder_;
    configFile_ = source.configFile_;
    encoding_ = source.encoding_;
    mark_ = source.mark_;
    Changed();
}

std::string TOutlineDocument::LoadConfig(std::string_view folder) {
    if (folder.empty()) return "No path specified";
    if (!DirectoryExists(folder)) return "Asset Folder Deleted";
    ClearUndo();

    const std::string file = FindFileIgnoreCase(folder, kConfigRoot);
    std::string error;
    bool readerFailed = false;
    if (file.empty() || !FileExists(file)) {
        error = "Invalid asset or config.txt has been deleted";
    } else {
        reader_.SetMessages(state_.Messages);
        reader_.ScriptMode = ScriptMode;
        if (!shownFolder_.empty()) reader_.UnloadConfig(shownFolder_);
        if (reader_.LoadConfigFile(folder)) {
            std::unique_ptr<TOutlineNode> tree = reader_.BuildTree();
            MarkComments(tree.get());
            // Set before the reset, so that a view can tell a reload from another asset.
            shownFolder_ = folder;
            configFile_ = reader_.LoadedFile();
            encoding_ = reader_.Encoding();
            mark_ = reader_.HasMark();
            ReplaceTree(std::move(tree), TResetReason::Load);
            hooks_->ReorderConfig(*this);
            CountMarks();
            // A repaired bracket fault changed the tree from the file: saving is the user's call.
            modified_ = reader_.AddedClosingBrackets() > 0 || reader_.AddedHeaders() > 0;
        } else {
            error = reader_.LastError();
            readerFailed = true;
        }
        reader_.UnloadConfig(folder);
    }
    if (!error.empty()) {
        // Nothing of the previous asset stays behind to be saved over this one.
        ClearOutline();
        if (readerFailed && !ScriptMode) Alert(error);
        state_.CurrentKuid.clear();
        Changed();
        return error;
    }

    // Viewing changes nothing: a config without a kind is reported (here and by validation), not
    // given one.
    if (!FindChildByName(root_.get(), "kind") && !ScriptMode) Alert(kNoKindAlert);
    hooks_->AnalyseKindAndLoadSpec(*this);

    state_.CurrentKuid.clear();
    if (const TOutlineNode* kuid = FindChildByName(root_.get(), "kuid")) {
        TTokens tokens;
        SplitByCharSet(kuid->Text(), tokens, ":");
        state_.CurrentKuid = tokens[1];
    }
    Changed();
    return {};
}

std::string SaveConfigurationQuestion(std::string_view file) { return "Save Configuration: " + std::string(file) + "?"; }

std::string TOutlineDocument::ConfigFileText() const { return WriteConfigText(root_.get()); }

std::string TOutlineDocument::ConfigFileBytes() const { return WriteConfigBytes(root_.get(), encoding_, mark_); }

std::string TOutlineDocument::SaveConfig(std::string_view fileName, bool reload) {
    if (!root_) return "No config to save: " + std::string(fileName);
    const std::string target = SaveTarget(fileName);
    const std::string bytes = ConfigFileBytes();
    // A file the reader would refuse cannot be opened again: the one on disc stays.
    if (bytes.size() > kMaxConfigBytes) return "Unable to save file: " + target + std::string(kConfigTooLarge);
    if (std::string error = WriteFileAtomic(target, bytes); !error.empty())
        return error;
    // Only now that the file is safely written do the snapshots go.
    ClearUndo();
    state_.SendCommand(ccFileSaved, ExtractFilePath(fileName) + ExtractFileName(target));
    std::string result;
    if (reload) result = LoadConfig(ExtractFileDir(fileName));
    modified_ = false;
    Changed();
    return result;
}

TTextSaveVerdict TOutlineDocument::SettleTextSave(std::string_view path, std::string_view textBytes) {
    std::error_code ec;
    if (!modified_ || configFile_.empty() || !std::filesystem::equivalent(FsPath(path), FsPath(configFile_), ec) || ec)
        return {};
    const std::string file = configFile_;
    if (state_.Messages->AskYesNo("The outline holds unsaved edits of " + file + ", which saving this text replaces.\n\n"
                                  "Yes: save this text; the outline's edits go to the backups.\n"
                                  "No: save the outline's edits; this text goes to the backups.")) {
        if (std::string error = BackupFileVersion(state_, file, ConfigFileBytes()); !error.empty()) return {false, error};
        SetModified(false);  // kept in the backups: the reload after the text's save asks nothing
        Changed();
        TTextSaveVerdict verdict;
        verdict.writeFailed = [this] {
            // The text did not take the file: the outline's edits are still the ones to save.
            SetModified(true);
            Changed();
        };
        return verdict;
    }
    if (std::string error = BackupFileVersion(state_, file, textBytes); !error.empty()) return {false, error};
    if (std::string error = SaveConfig(file, false); !error.empty()) return {false, error};
    return {false, {}};
}

}  // namespace kelvarn
