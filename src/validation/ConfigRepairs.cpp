// The config repairs: legacy KUIDs and the KUID table, category era and region, the user's own tags
// and names, the legacy asset-filename and cameras, the trainz-build, mandatory tags, a passenger
// queue and empty tags.
#include <algorithm>
#include <cstdint>

#include "catalogue/AssetHelpers.h"
#include "catalogue/OutlineCommands.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/Walnut.h"
#include "catalogue/WalnutHooks.h"
#include "shell/Files.h"
#include "shell/Macros.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Strings.h"
#include "shell/TagTypes.h"
#include "shell/Text.h"
#include "validation/CategoryList.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptLists.h"
#include "validation/ScriptSettingsCommands.h"
#include "validation/TableBuilders.h"

namespace kelvarn {

namespace {

constexpr std::string_view kBaseKuidError = ".BaseKUID: Invalid Input: ";

// "%bin%\tags.xml", native.
std::string TagsFile(const TProgramState& state) { return NativePath(ExpandMacros(state, "%bin%\\tags.xml")); }

bool IsSignedNumber(std::string_view text) {
    std::size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// A part of a KUID as a 64-bit number: sign kept, anything else 0.
std::int64_t KuidPart(std::string_view text) {
    long long v = 0;
    return IsSignedNumber(text) && TryParseInt(text, v) ? static_cast<std::int64_t>(v) : 0;
}

struct TKuidKey {
    std::int64_t User = 0, Content = 0, Version = 0;
};

TKuidKey KeyOf(std::string_view kuid) {
    const std::size_t colon = kuid.find(':');
    std::string inner(kuid.substr(colon == std::string_view::npos ? 0 : colon + 1));
    if (!inner.empty() && inner.back() == '>') inner.pop_back();
    const std::vector<std::string> parts = SplitString(inner, ":");
    TKuidKey key;
    if (parts.size() > 0) key.User = KuidPart(parts[0]);
    if (parts.size() > 1) key.Content = KuidPart(parts[1]);
    if (parts.size() > 2) key.Version = KuidPart(parts[2]);
    return key;
}

// Does a FIXKUIDS name match a tag name? A part "N" of the list's name (between "-") stands for a
// number; the rest compares ignoring case.
bool NameMatches(std::string_view pattern, std::string_view name) {
    const std::vector<std::string> want = SplitString(pattern, "-"), have = SplitString(name, "-");
    if (want.size() != have.size()) return false;
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (SameText(want[i], "N") ? !IsDigits(have[i]) : !SameText(want[i], have[i])) return false;
    }
    return true;
}

// The highest number a numbered legacy tag may carry: the sequence of its definition, else 0.
int HighestIndex(TOutlineDocument& config, std::string_view path) {
    bool found = false;
    const TTagSpec spec = config.Hooks().FindSpecNode(path, found);
    long long n = 0;
    if (!found || !TryParseInt(Trim(spec.Sequence), n) || n < 0) return 0;
    return static_cast<int>(std::min<long long>(n, 999));
}

// Era or region: the legacy numbered tags and the present value merged, filtered by the simulator's
// list and set as one value.
std::string UpdateCategory(TBuilderContext& c, std::string_view tag, bool region) {
    std::string missing;
    const std::string source = CategorySourceFile(c.State, tag, missing);
    if (source.empty()) return "." + missing;
    const std::string file = NativePath(source);
    if (ResolveScriptFile(file).empty()) return ".File not found: " + file;
    TOutlineDocument& config = c.Config;
    std::string items;
    const int highest = HighestIndex(config, "config.txt\\" + std::string(tag) + "-0");
    for (int i = 0; i <= highest; ++i) {
        TOutlineNode* node = TopLevel(config, std::string(tag) + "-" + std::to_string(i));
        if (!node) continue;
        std::string value = Trim(TagValueUnquoted(node->Text()));
        if (!region) {
            value = value.substr(0, std::min<std::size_t>(value.size(), 4));
            if (!value.empty() && !EndsWithText(value, "s")) value += "s";
        }
        items += value + ";";
        config.DeleteNodeNow(node, false);
    }
    if (const TOutlineNode* present = TopLevel(config, tag)) items += TagValueUnquoted(present->Text());
    std::vector<std::string> list = CategoryItems(items);
    if (region)
        for (std::string& item : list)
            if (SameText(item, "ALL")) item = "00";
    FilterCategoryItems(c.State, tag, list);
    const std::string value = JoinCategoryItems(list);
    if (!value.empty()) {
        if (TOutlineNode* node = config.SetTagByPath("\\" + std::string(tag), value)) config.MarkModified(node);
    }
    ShowLineCount(c);
    return {};
}

// Several messages as one: the first one's leading "." (informational) speaks for all of them.
std::string JoinMessages(const std::vector<std::string>& messages) {
    std::string text;
    for (const std::string& m : messages) {
        if (text.empty()) text = m;
        else text += "\r\n" + (StartsWith(m, ".") ? m.substr(1) : m);
    }
    return text;
}

// A camera value of five comma-separated fields, padded with `pad`.
std::string FiveFields(std::string value, std::string_view pad) {
    while (SplitString(value, ",").size() < 5) value += pad;
    return value;
}

}  // namespace

// --- KUIDs

std::string BaseKUID(std::string_view kuid) {
    const std::string text = LowerCase(Trim(kuid));
    const bool two = StartsWith(text, "<kuid2:");
    if ((two || StartsWith(text, "<kuid:")) && EndsWith(text, ">")) {
        const std::size_t start = text.find(':') + 1;
        const std::vector<std::string> parts = SplitString(text.substr(start, text.size() - start - 1), ":");
        if (parts.size() == (two ? 3u : 2u) &&
            std::all_of(parts.begin(), parts.end(), [](const std::string& p) { return IsSignedNumber(p); }))
            return "<kuid:" + parts[0] + ":" + parts[1] + ">";
    }
    return std::string(kBaseKuidError) + std::string(kuid);
}

bool IsBaseKUIDError(std::string_view result) { return StartsWith(result, kBaseKuidError); }

std::vector<std::string> CollectConfigKuids(const TOutlineDocument& config) {
    std::vector<std::string> kuids;
    if (!config.Root()) return kuids;
    static constexpr std::string_view kSkipped[] = {"extensions", "kuid", "kuid-table", "obsolete-table",
                                                    "optional-kuid-table"};
    for (std::size_t i = 0; i < config.Root()->ChildCount(); ++i) {
        const TOutlineNode* top = config.Root()->Child(i);
        const std::string name = top->Name();
        if (std::find(std::begin(kSkipped), std::end(kSkipped), name) != std::end(kSkipped)) continue;
        WalkRows(top, [&](TOutlineNode* node, int) {
            if (TOutlineDocument::IsComment(node)) return;
            const std::string value = LowerCase(TagValueUnquoted(node->Text()));
            if (!IsKuidValue(value)) return;  // a text that mentions a KUID needs no table entry
            // Each "<kuid...>" of the value on its own: one value may list several.
            for (std::size_t at = value.find("<kuid"); at != std::string::npos; at = value.find("<kuid", at + 1)) {
                const std::size_t end = value.find('>', at);
                if (end == std::string::npos) break;
                const std::string kuid = value.substr(at, end - at + 1);
                if (!IsBaseKUIDError(BaseKUID(kuid))) kuids.push_back(kuid);
            }
        });
    }
    return kuids;
}

std::string FixLegacyKuids(TBuilderContext& c) {
    std::vector<std::string> names;
    if (std::string error = TWalnut::ListChildElements(TagsFile(c.State), "FIXKUIDS", names); !error.empty())
        return error;
    TOutlineDocument& config = c.Config;
    for (std::size_t i = 0; config.Root() && i < config.Root()->ChildCount(); ++i) {
        TOutlineNode* node = config.Root()->Child(i);
        if (!TOutlineDocument::IsTag(node)) continue;
        const std::string name = node->Name();
        if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return NameMatches(n, name); })) continue;
        const std::string value = Trim(TagValueUnquoted(node->Text()));
        if (!IsDigits(value)) continue;
        if (TOutlineNode* updated = config.UpdateTag(node, node->WrittenName(), "<kuid:-1:" + value + ">"))
            config.MarkModified(updated);
    }
    return {};
}

std::string UpdateKuidTable(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    const std::string kind = ConfigKind(config);
    if (!kind.empty() && ContainsStr(".profile.map.", "." + kind + ".")) return ".Cannot update this asset";
    if (!config.Root()) return {};
    FixLegacyKuids(c);

    // Named entries stay under their names.
    std::vector<std::pair<std::string, std::string>> named;
    if (const TOutlineNode* table = TopLevel(config, "kuid-table")) {
        for (std::size_t i = 0; i < table->ChildCount(); ++i) {
            const TOutlineNode* entry = table->Child(i);
            const std::string name = entry->WrittenName();
            const bool numbered = IsDigits(name) && name.size() <= 3;
            const std::string value = TagValueUnquoted(entry->Text());
            if (!numbered && !Trim(value).empty() && !TOutlineDocument::IsComment(entry)) named.emplace_back(name, value);
        }
    }

    std::vector<std::string> kuids = CollectConfigKuids(config);
    std::stable_sort(kuids.begin(), kuids.end(), [](const std::string& a, const std::string& b) {
        const TKuidKey x = KeyOf(a), y = KeyOf(b);
        if (x.User != y.User) return x.User < y.User;
        if (x.Content != y.Content) return x.Content < y.Content;
        return x.Version < y.Version;
    });
    std::vector<std::string> kept;
    for (const std::string& kuid : kuids) {
        if (!kept.empty() && BaseKUID(kept.back()) == BaseKUID(kuid)) kept.pop_back();  // the higher version wins
        kept.push_back(kuid);
    }
    std::erase_if(kept, [&](const std::string& kuid) {
        return std::any_of(named.begin(), named.end(),
                           [&](const auto& entry) { return BaseKUID(entry.second) == BaseKUID(kuid); });
    });

    TOutlineNode* last = nullptr;
    {
        TTreeUpdate update(c.Host);
        if (TOutlineNode* table = TopLevel(config, "kuid-table")) {
            while (table->ChildCount() > 0) config.DeleteNodeNow(table->LastChild(), false);
            config.MarkModified(table);
        } else {
            config.SetTagByPath("\\kuid-table\\", "");
        }
        for (const auto& [name, value] : named)
            if (TOutlineNode* node = config.SetTagByPath("\\kuid-table\\" + name, value)) last = node;
        for (std::size_t i = 0; i < kept.size(); ++i)
            if (TOutlineNode* node = config.SetTagByPath("\\kuid-table\\" + std::to_string(i), kept[i])) last = node;
    }
    if (last) config.MakeVisible(last);
    ShowLineCount(c);
    return {};
}

// --- categories

std::string UpdateCategoryEra(TBuilderContext& c) { return UpdateCategory(c, "category-era", false); }
std::string UpdateCategoryRegion(TBuilderContext& c) { return UpdateCategory(c, "category-region", true); }

// --- the user's own tags and names

std::string UpdateUserTags(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    if (!config.Root()) return {};
    // The user number of the context config's own KUID: in a batch that is the asset being worked on,
    // not the one the main window shows.
    const TOutlineNode* kuid = TopLevel(config, "kuid");
    std::string user;
    if (kuid) {
        const std::string base = BaseKUID(TagValueUnquoted(kuid->Text()));
        if (!IsBaseKUIDError(base)) user = std::to_string(KeyOf(base).User);
    }
    const std::string owner = Trim(ExpandMacros(c.State, "%UserID%"));
    if (user.empty() || owner.empty() || user != owner) return {};
    {
        TTreeUpdate update(c.Host);
        for (auto it = UserTagNames.rbegin(); it != UserTagNames.rend(); ++it) {
            const std::string name(*it);
            const std::string value = ReadUserDataValue(c.State.Settings(), name);
            if (!value.empty()) {
                config.SetTagByPath("config.txt\\" + name, value);
            } else if (TOutlineNode* node = TopLevel(config, name)) {
                config.DeleteNodeNow(node, false);
            }
        }
    }
    config.SetModified(true);
    ShowLineCount(c);
    return {};
}

std::string UpdateUsername(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    if (!config.Root()) return {};
    // The base pair first, then each language the settings name.
    std::vector<std::string> suffixes{""};
    for (const std::string& piece : SplitString(ReadSetting(c.State.Settings(), keys::Languages), ",")) {
        const std::string code = Trim(piece);
        const std::string suffix = code.empty() ? std::string() : "-" + LowerCase(code);
        if (std::find(suffixes.begin(), suffixes.end(), suffix) == suffixes.end()) suffixes.push_back(suffix);
    }
    {
        TTreeUpdate update(c.Host);
        for (const std::string& suffix : suffixes) {
            const TOutlineNode* username = TopLevel(config, "username" + suffix);
            TOutlineNode* name = TopLevel(config, "name" + suffix);
            std::string value = username ? TagValueUnquoted(username->Text()) : std::string();
            if (Trim(value).empty() && name) value = TagValueUnquoted(name->Text());
            if (!Trim(value).empty()) config.SetTagByPath("\\username" + suffix, value);
            if ((name = TopLevel(config, "name" + suffix))) config.DeleteNodeNow(name, false);
        }
        ReorderConfig(config, c.State);
    }
    ShowLineCount(c);
    return {};
}

// --- legacy tags

std::string UpdateAssetFilename(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    TOutlineNode* tag = TopLevel(config, "asset-filename");
    if (!tag) return ".asset-filename tag not present";
    const std::string value = Trim(TagValueUnquoted(tag->Text()));
    const std::string kind = ConfigKind(config);
    std::vector<std::string> messages;
    if (kind == "groundtexture") {
        config.SetTagByPath("\\texture", value + ".texture");
    } else {
        if (std::string none = NoAssetFolderMessage(ExcludeTrailingSeparator(c.AssetFolder)); !none.empty()) return none;
        const std::string folder = ExcludeTrailingSeparator(c.AssetFolder);
        if (!TopLevel(config, "mesh-table")) {
            const std::string made = CreateMeshTable(c, "");
            if (!made.empty() && KindInherits(c, "MESH-ASSET")) messages.push_back(made);
            // Without a mesh table the legacy tag is the asset's only mesh reference.
            if (!TopLevel(config, "mesh-table") && KindInherits(c, "MESH-ASSET")) {
                messages.push_back(".asset-filename tag retained: no mesh-table could be made");
                ShowLineCount(c);
                return JoinMessages(messages);
            }
        }
        std::vector<std::string> tgas;
        ListFolderFiles(folder + "\\", "*.tga", tgas);
        const bool icon = std::any_of(tgas.begin(), tgas.end(), [](const std::string& f) { return ContainsStr(LowerCase(f), "art_icon"); });
        const bool alphanumber =
            std::any_of(tgas.begin(), tgas.end(), [](const std::string& f) { return ContainsStr(LowerCase(f), "alphanumber"); });
        if (icon && !TopLevel(config, "thumbnails"))
            if (std::string made = UpdateThumbnailTable(c); !made.empty()) messages.push_back(made);
        if (KindInherits(c, "ITRACK") || KindInherits(c, "BRIDGE")) {
            for (const char* ext : {".im", ".pm"}) {
                const std::string mesh = ResolveScriptFile(NativePath(folder + "\\" + value + ext));
                if (mesh.empty()) continue;
                const std::string target = JoinPath(ExtractFilePath(mesh), std::string("default") + ext);
                if (!RenameNoReplace(mesh, target).empty()) messages.push_back(".File already exists: " + target);
            }
        }
        if (alphanumber) {
            config.SetTagByPath("\\fonts-path", value);
            if (!TopLevel(config, "fonts")) messages.push_back(".'fonts' tag is missing");
        }
    }
    if ((tag = TopLevel(config, "asset-filename"))) config.DeleteNodeNow(tag, false);
    ShowLineCount(c);
    return JoinMessages(messages);
}

std::string UpdateCameraList(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    if (ConfigKind(config) != "interior") return ".Update camera not applicable to this asset kind";
    TTreeUpdate update(c.Host);
    if (!TopLevel(config, "cameralist")) {
        const int highest = HighestIndex(config, "config.txt\\cameralist\\");
        for (int i = 0; i <= highest; ++i) {
            TOutlineNode* legacy = TopLevel(config, "camera" + std::to_string(i));
            if (!legacy) continue;
            config.SetTagByPath("\\cameralist\\camera" + std::to_string(i), TagValueUnquoted(legacy->Text()));
            config.DeleteNodeNow(legacy, false);
        }
    }
    long long index = -1;
    if (const TOutlineNode* node = TopLevel(config, "cameradefault"))
        if (!TryParseInt(Trim(TagValueUnquoted(node->Text())), index)) index = -1;
    std::vector<std::string> values;
    TOutlineNode* list = TopLevel(config, "cameralist");
    for (std::size_t i = 0; list && i < list->ChildCount(); ++i)
        if (!TOutlineDocument::IsComment(list->Child(i)))
            values.push_back(FiveFields(Trim(TagValueUnquoted(list->Child(i)->Text())), ",0"));
    TOutlineNode* camera = TopLevel(config, "camera");
    if (camera) {
        const std::string value = Trim(TagValueUnquoted(camera->Text()));
        long long number = 0;
        if (ContainsStr(value, ",")) values.push_back(FiveFields(value, ",0.0"));
        else if (index < 0 && TryParseInt(value, number)) index = number;
    }
    if (values.empty()) return ".No camera data to process";
    if (camera) config.DeleteNodeNow(camera, false);
    if (index < 0 || index >= static_cast<long long>(values.size())) index = 0;
    config.SetTagByPath("\\cameradefault", std::to_string(index));
    if ((list = TopLevel(config, "cameralist"))) {
        while (list->ChildCount() > 0) config.DeleteNodeNow(list->LastChild(), false);
        config.MarkModified(list);
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        config.SetTagByPath("\\cameralist\\camera" + std::to_string(i), values[i]);
    if ((list = TopLevel(config, "cameralist"))) config.ExpandNode(list, false);
    ShowLineCount(c);
    return {};
}

// --- builds and mandatory tags

// The menu item names the active build in its caption ("Update Trainz-Build (3.5)"), and that is the
// build it writes: the default build unless the Trainz-Build menu chose another.
std::string SetDefaultTrainzBuild(TBuilderContext& c) {
    const std::int32_t active = c.State.ActiveBuild();
    if (active <= 0) return "Trainz-build value not set";
    if (TOutlineNode* node = c.Config.SetTagByPath("\\trainz-build", FormatBuild(active))) c.Config.MarkModified(node);
    ShowLineCount(c);
    return {};
}

std::string AddMandatoryTags(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    if (!config.Root()) return {};
    // The mandatory tags come from the tag definitions the config's hooks load; without them none.
    const auto* definitions = dynamic_cast<const TWalnutHooks*>(&config.Hooks());
    if (!definitions) return {};
    std::vector<TOutlineNode*> containers;
    WalkRows(config.Root(), [&](TOutlineNode* node, int) {
        if (node == config.Root() || (TOutlineDocument::IsContainer(node) && node->HasChildren()))
            containers.push_back(node);
    });
    {
        TTreeUpdate update(c.Host);
        for (TOutlineNode* container : containers) {
            std::string path = config.NodePath(container);
            if (path.empty() || path.back() != '\\') path += '\\';
            std::vector<std::string> wanted;
            definitions->Walnut().ListMandatoryTags(path, wanted);
            for (const std::string& name : wanted) {
                if (config.FindChildByName(container, name)) continue;
                bool found = false;
                TTagSpec spec = config.Hooks().FindSpecNode(path + name, found);
                const bool isContainer = spec.Format == "container";
                spec.Path = path + name + (isContainer ? "\\" : "");
                spec.Name = name;
                spec.Value = isContainer ? std::string() : (spec.Default.empty() ? std::string("$") : spec.Default);
                if (TOutlineNode* created = config.CreateTag(spec, container, cmLastChild))
                    config.SetNodeFlags(created, nfError, 0);
            }
        }
    }
    ShowLineCount(c);
    return {};
}

std::string AddPassengerQueue(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    if (!KindInherits(c, "MAP-OBJECT")) return ".Not applicable to " + ConfigKind(config) + " assets";
    if (TopLevel(config, "queues")) return ".Queues container already present";
    {
        TTreeUpdate update(c.Host);
        config.SetTagByPath("\\queues\\passengers\\size", "40");
        config.SetTagByPath("\\queues\\passengers\\initial-count", "0");
        config.SetTagByPath("\\queues\\passengers\\passenger-queue", "1");
        config.SetTagByPath("\\queues\\passengers\\product-kuid", "<kuid:-3:10060>");
        config.SetTagByPath("\\queues\\passengers\\allowed-categories\\0", "<kuid:-3:10091>");
    }
    if (TOutlineNode* queues = TopLevel(config, "queues")) config.ExpandNode(queues, true);
    ShowLineCount(c);
    return {};
}

std::string DeleteEmptyTags(TBuilderContext& c) {
    TOutlineDocument& config = c.Config;
    if (!config.Root()) return {};
    std::vector<TOutlineNode*> rows;
    for (TOutlineNode* node = config.Root()->NextRow(); node; node = node->NextRow()) rows.push_back(node);
    TTreeUpdate update(c.Host);
    // From the last row back: a container whose contents all went is empty when its turn comes.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        TOutlineNode* node = *it;
        if (TOutlineDocument::IsComment(node)) continue;
        const bool emptyTag = TOutlineDocument::IsTag(node) && Trim(TagValueUnquoted(node->Text())).empty();
        const bool emptyContainer = TOutlineDocument::IsContainer(node) && node->ChildCount() == 0;
        if (!emptyTag && !emptyContainer) continue;
        TOutlineNode* parent = node->Parent();
        if (config.DeleteNodeNow(node, false) && parent && parent != config.Root()) config.MarkModified(parent);
    }
    ShowLineCount(c);
    return {};
}

}  // namespace kelvarn
