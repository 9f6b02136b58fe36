// New Asset, Clone and the clone's new identity, on the outline.
#include <filesystem>
#include <system_error>

#include "catalogue/AssetPages.h"
#include "catalogue/ConfigWriter.h"
#include "catalogue/KuidMap.h"
#include "catalogue/OutlineDocument.h"
#include "shell/CommandBus.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr std::string_view kNewNeedsUser = "Options/UserData/TRS User ID\rmust be set before new assets can be created";
constexpr std::string_view kCloneNeedsIds =
    "Options/NextCloneID and Options/UserData/TRS User ID\rmust be set before assets can be cloned";
constexpr int kNewAssetSize = 800170;
constexpr int kCloneSize = 800275;

// A setting read as text, blank when it is no integer (such a value counts as missing).
std::string IntegerSetting(const TProgramState& state, const SettingKey& key) {
    const std::string text = Trim(ReadSetting(state.Settings(), key));
    long long value = 0;
    if (text.empty()) return {};
    const std::string_view digits = text.front() == '-' ? std::string_view(text).substr(1) : std::string_view(text);
    if (digits.empty() || digits.size() > 18 || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return {};
    return TryParseInt(text, value) ? text : std::string();
}

std::string ParentWithSeparator(std::string_view folder) {
    if (folder.empty()) return {};
    return PageTarget(ExtractFileDir(folder), "");
}

// The outermost folder of `target` that does not exist yet: what making `target` creates, and what
// a failure removes again.
std::string FirstMissingFolder(const std::string& target) {
    std::filesystem::path p = FsPath(target);
    std::filesystem::path missing;
    std::error_code ec;
    // A link that names nothing is an entry too: nothing is made through it.
    while (!p.empty() && !std::filesystem::exists(std::filesystem::symlink_status(p, ec))) {
        missing = p;
        if (p == p.parent_path()) break;
        p = p.parent_path();
    }
    return missing.empty() ? std::string() : PathString(missing);
}

// The config of a new asset, written where nothing of that name exists yet.
std::string WriteNewConfig(const std::string& folder, const std::string& kuid, const std::string& kind) {
    TOutlineNode root("config.txt");
    TOutlineBuilder::Append(root, "kuid " + kuid, 0, false);
    TOutlineBuilder::Append(root, "kind " + QuoteValue(kind), 0, false);
    const std::string file = JoinPath(folder, "config.txt");
    const std::string scratch = JoinPath(folder, "config.txt.new");
    if (std::string error = WriteFileAtomic(scratch, WriteConfigBytes(&root, TextEncoding::Utf8, false)); !error.empty())
        return error;
    std::string error = RenameNoReplace(scratch, file);
    if (!error.empty()) DeleteFilePath(scratch);
    return error;
}

}  // namespace

void TOutlineDocument::NewAsset(IAssetPages& pages) {
    IMessageSink& messages = *state_.Messages;
    if (IntegerSetting(state_, keys::UserID).empty()) {
        messages.ShowMessage(kNewNeedsUser, "", MessageKind::Error);
        return;
    }
    TNewAssetFields fields;
    fields.kinds = state_.AssetKinds;
    fields.location = ParentWithSeparator(state_.AssetPath());
    if (!pages.NewAssetDialog(kNewAssetSize, "New Asset ", fields)) return;

    // The disc may have changed since the page checked it.
    const TPageCheck check = NewPageCheck(fields, BackupFolderPath(state_));
    if (!check.enabled) {
        messages.ShowMessage(check.reason, "", MessageKind::Error);
        return;
    }
    const std::string folder = PageTarget(fields.location, fields.folderName);
    const std::string made = FirstMissingFolder(folder);
    if (made.empty() || !ForceDirectories(folder)) {
        messages.ShowMessage("Unable to create the folder " + folder, "", MessageKind::Error);
        return;
    }
    if (std::string error = WriteNewConfig(folder, Trim(fields.kuid), fields.kind); !error.empty()) {
        DeleteFolderTree(made);
        messages.ShowMessage(error, "", MessageKind::Error);
        return;
    }
    state_.SendCommand(ccAddNewAsset, folder);
}

void TOutlineDocument::CloneAsset(IAssetPages& pages) {
    const std::string source = !state_.AssetPath().empty() ? state_.AssetPath() : shownFolder_;
    if (source.empty() || !root_) return;
    IMessageSink& messages = *state_.Messages;
    const std::string user = IntegerSetting(state_, keys::UserID);
    const std::string next = IntegerSetting(state_, keys::NextCloneID);
    if (user.empty() || next.empty()) {
        messages.ShowMessage(kCloneNeedsIds, "", MessageKind::Error);
        return;
    }
    auto topValue = [this](std::string_view name) {
        const TOutlineNode* node = FindChildByName(root_.get(), name);
        return node ? TagValueUnquoted(node->Text()) : std::string();
    };
    TCloneFields fields;
    fields.kuid = "<kuid:" + user + ":" + next + ">";
    fields.username = "CLONE OF: " + topValue("username");
    fields.description = "CLONE OF " + UpperCase(RemoveChars(topValue("kuid"), "<>")) + ": " + topValue("description");
    fields.location = ParentWithSeparator(source);
    fields.name = "CLONE OF " + ExtractFileName(source);
    fields.source = source;
    if (!pages.CloneAssetDialog(kCloneSize, "Clone: " + source, fields)) return;

    const TPageCheck check = ClonePageCheck(fields, BackupFolderPath(state_), source);
    if (!check.enabled) {
        messages.ShowMessage(check.reason, "", MessageKind::Error);
        return;
    }
    const std::string target = PageTarget(fields.location, fields.name);
    const std::string made = FirstMissingFolder(target);
    // A clone is a copy of its own: linked files and folders are copied as what they hold, so that
    // nothing the clone saves lands in its source.
    const std::string error = made.empty() ? "Unable to create the folder " + target + ": it exists"
                                           : CopyFolder(source, target, FolderLinks::Follow);
    if (!error.empty()) {
        // Nothing half-copied stays behind.
        if (!made.empty()) DeleteFolderTree(made);
        messages.ShowMessage("File error copying folder\n" + error, "", MessageKind::Error);
        return;
    }
    clone_ = fields;
    cloneFolder_ = target;
    state_.SendCommand(ccAddClonedAsset, target);
}

void TOutlineDocument::FinishClone(std::string_view folder, TKuidMap& kuidMap) {
    auto same = [](std::string_view a, std::string_view b) {
        return !a.empty() && ExcludeTrailingSeparator(NativePath(a)) == ExcludeTrailingSeparator(NativePath(b));
    };
    // Only the clone itself, loaded here, is rewritten: another asset shown (a refused load, a
    // cancelled save question) keeps its identity.
    if (!root_ || !same(folder, cloneFolder_) || !same(shownFolder_, folder)) {
        state_.Messages->ShowMessage("Clone not finished: " + std::string(folder), "", MessageKind::Error);
        return;
    }
    const TCloneFields fields = clone_;
    const std::string cloneFolder = cloneFolder_;
    clone_ = {};
    cloneFolder_.clear();

    TTokens parts;
    SplitByCharSet(fields.kuid, parts, ":>");
    TMemIni& settings = state_.Settings();
    const std::string next = Trim(ReadSetting(settings, keys::NextCloneID));
    long long number = 0;
    if (!next.empty() && Trim(parts[2]) == next && TryParseInt(next, number)) {
        settings.WriteInteger(keys::NextCloneID.section, keys::NextCloneID.key, number + 1);
        if (std::string error = settings.UpdateFile(); !error.empty())
            state_.Messages->ShowMessage(error, "", MessageKind::Error);
    }

    SetTagByPath("\\kuid", fields.kuid);
    SetTagByPath("\\username", fields.username);
    if (!fields.description.empty()) SetTagByPath("\\description", ReplaceAll(ReplaceAll(fields.description, "\r\n", kPilcrow), "\n", kPilcrow));
    if (!state_.Paths.Build.empty()) SetTagByPath("\\trainz-build", state_.Paths.Build);

    SetNodeFlags(root_.get(), 0, nfModified);
    SetChildFlags(root_.get(), 0, nfModified);
    modified_ = false;
    Changed();

    const std::string file = configFile_.empty() ? JoinPath(cloneFolder, "config.txt") : configFile_;
    if (std::string error = SaveConfig(file, false); !error.empty()) {
        state_.Messages->ShowMessage(error, "", MessageKind::Error);
        return;
    }
    kuidMap.Add(LowerCase(fields.kuid), ExcludeTrailingSeparator(cloneFolder));
    // As a load of the clone's config would have set them.
    state_.SetAssetKuid(GetValueByPath("config.txt\\kuid"));
    TTokens tokens;
    SplitByCharSet(fields.kuid, tokens, ":");
    state_.CurrentKuid = tokens[1];
}

}  // namespace kelvarn
