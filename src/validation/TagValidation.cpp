#include "validation/TagValidation.h"

#include <algorithm>

#include "catalogue/ConfigPath.h"
#include "catalogue/MeshHelpers.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/SourceList.h"
#include "catalogue/Walnut.h"
#include "shell/CommandBus.h"
#include "shell/ProgramState.h"
#include "shell/ReportLog.h"
#include "shell/Strings.h"
#include "shell/TagTypes.h"
#include "shell/Text.h"
#include "shell/TrainzBuild.h"
#include "shell/MemIni.h"
#include "validation/FileChecks.h"
#include "validation/FormatChecks.h"

namespace kelvarn {

namespace {

constexpr std::size_t kLongValue = 20;
constexpr std::string_view kInvalidContext = "Tag is invalid in this context";
constexpr std::string_view kNoSource = "Source data not found, unable to validate";
// The section of the settings that lists the known builds, as an option source.
constexpr std::string_view kBuildsSource = "@Builds";  // longer memo and string values are shortened in the report

enum TFormatCode : int {
    fcMemo = 14, fcString, fcKuid, fcBool, fcFile, fcPoint, fcEnum, fcSet, fcInt, fcFloat, fcFloatList,
    fcRgb, fcRgba, fcHls
};

// One node's finding: the node part "[path value]" and the message.
struct TFinding {
    std::string node;
    std::string message;
};

// The option lines of a source (empty when it gives none), read once per context.
const std::vector<std::string>& SourceOptions(const TCheckContext& context, std::string_view source) {
    auto it = context.Sources.find(source);
    if (it == context.Sources.end()) {
        std::vector<std::string> lines;
        GetSourceList(context.State, &context.Document, source, lines, context.Walnut.File().get());
        it = context.Sources.emplace(std::string(source), std::move(lines)).first;
    }
    return it->second;
}

// Is a value (case aside) the name of one of the option lines? A scan: a config asks each list only
// a few times, so lower-casing and sorting every option would cost more than it saves.
bool IsListedOption(std::string_view value, const std::vector<std::string>& lines) {
    return !value.empty() && std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
               return SameText(OptionName(line), value);
           });
}

TFormatSet Range(int from, int to) {
    TFormatSet set;
    for (int code = from; code <= to; ++code) set.set(static_cast<std::size_t>(code));
    return set;
}

// A value as the report shows it: long texts as their first 15 characters, "..." and the last one.
std::string ShownValue(const std::string& value, int format) {
    if ((format != fcMemo && format != fcString) || CharCount(value) <= kLongValue) return value;
    const std::u32string points = ToCodePoints(value);
    return FromCodePoints(points.substr(0, 15)) + "..." + FromCodePoints(points.substr(points.size() - 1));
}

std::string FormatCheck(const TCheckContext& context, const TOutlineNode* node, int format, const std::string& name,
                        const std::string& value, const TTagSpec& spec) {
    switch (format) {
        case fcMemo:
        case fcString: return CheckQuotedString(value);
        case fcKuid: return CheckKuid(value);
        case fcBool: return CheckBool(value);
        case fcFile: return CheckFile(context, node, value, spec);
        case fcPoint: {
            std::string reference;
            return CheckPoint(context, node, value, spec, reference);
        }
        case fcEnum: return CheckEnum(context, value, spec);
        case fcSet: return CheckSet(context, name, value, spec);
        case fcInt: return CheckInt(value, spec.Elements);
        case fcFloat: return CheckFloat(value, spec.Elements);
        case fcFloatList: return CheckFloatList(value);
        case fcRgb:
        case fcHls: return CheckColour(value, 3);
        case fcRgba: return CheckColour(value, 4);
        default: return {};
    }
}

// The tables published assets leave empty when the asset has no dependencies, texts or
// predecessors. Every other empty container lacks what it is for: an empty mesh-table shows nothing,
// an empty thumbnails has no picture.
bool MayBeEmpty(const TOutlineNode* node) {
    const std::string name = node->Name();  // a container's as written
    // string-table-<language> as well: the program makes one beside string-table for a translation.
    return SameText(name, "kuid-table") || SameText(name, "string-table") || SameText(name, "obsolete-table") ||
           StartsWith(LowerCase(name), "string-table-");
}

// An optional text written as "" is a text left empty on purpose, as published assets leave their
// description; a required one left empty is missing.
bool IsEmptyText(std::string_view value, int format, const TTagSpec& spec) {
    return (format == fcMemo || format == fcString) && value == "\"\"" && !spec.Required;
}

// Where a node's definition stands.
struct TSpecLookup {
    const TSpecNode* spec = nullptr;  // null: the definitions do not describe the node
    bool insideUnknown = false;       // the node's container is not described either
};

// The lookup of one config path. (Paths below "extensions", which the definitions look up in their
// own way, are never checked.)
TSpecLookup LookUpPath(const TWalnut& walnut, std::string_view path) {
    TSpecLookup lookup;
    lookup.spec = walnut.SpecNodeByPath(path);
    if (lookup.spec) return lookup;
    if (EndsWith(path, "\\")) path.remove_suffix(1);
    const std::size_t cut = path.rfind('\\');
    const std::string_view parent = cut == std::string_view::npos ? kConfigRoot : path.substr(0, cut);
    lookup.insideUnknown = parent != kConfigRoot && walnut.SpecNodeByPath(parent) == nullptr;
    return lookup;
}

// `path`: the node's config path.
TFinding CheckNode(const TCheckContext& context, const TOutlineNode* node, const std::string& path,
                   const TSpecLookup& lookup) {
    if (node->HasFlag(nfComment | nfDelete)) return {};
    if (ContainsStr(path, "extensions")) return {};

    std::string name, value;
    SplitTag(node->Text(), name, value);
    const bool found = lookup.spec != nullptr;
    const TTagSpec spec = found ? context.Walnut.ParseTagSpec(*lookup.spec) : DefaultTagSpec();
    const int format = TagTypeIndex(spec.Format);
    std::string message;
    if (!found) {
        // Below a container the definitions do not know, only that container is reported: every
        // node inside it would otherwise repeat the same finding.
        if (lookup.insideUnknown) return {};
        message = kInvalidContext;
    } else if (!InBuildRange(spec, context.Build))
        message = "Tag is invalid in this build";
    else if (LowerCase(name) == "trainz-build" && ParseBuild(RemoveChars(value, "\"")) != context.Build)
        message = "Trainz-Build does not match requested build";
    else
        message = FormatCheck(context, node, format, LowerCase(name), value, spec);
    if (message == kNoSource && (SameText(name, "category-region") || SameText(name, "category-era"))) {
        const std::string tag = LowerCase(name);
        if (std::find(context.UncheckedLists.begin(), context.UncheckedLists.end(), tag) == context.UncheckedLists.end())
            context.UncheckedLists.push_back(tag);
        return {};
    }
    if (message.empty()) {
        if (node->ChildMark() && node->ChildCount() == 0) {
            if (!MayBeEmpty(node)) message = "Container is empty";
        } else if (!node->HasChildren() && value.find_first_not_of('"') == std::string::npos &&
                   !IsEmptyText(value, format, spec)) {
            message = "Tag is empty";
        }
    }
    if (message.empty()) return {};
    // The path without its root "config.txt\".
    std::string part = "[";
    part.append(path, kConfigRoot.size() + 1).append(" ").append(ShownValue(value, format)).append("]");
    return {std::move(part), std::move(message)};
}

// The config paths of the rows and their definitions, found as a walk in row order meets them: each
// row's definition is looked up below its container's rather than from the root.
class TRowWalk {
public:
    explicit TRowWalk(const TWalnut& walnut) : walnut_(walnut) {}

    void Visit(const TOutlineNode* node) {
        const std::size_t depth = static_cast<std::size_t>(std::max(node->Level() - 1, 0));
        names_.resize(depth);
        specs_.resize(depth);
        names_.push_back(node->Name());
        path_.assign(kConfigRoot);
        for (const std::string& name : names_) path_.append("\\").append(name);
        if (node->HasChildren()) path_.push_back('\\');
        if (names_.size() < kMaxPathParts) {
            const TSpecNode* container = depth == 0 ? walnut_.Root() : specs_.back();
            lookup_.spec = container ? container->FindChild(names_.back()) : nullptr;
            lookup_.insideUnknown = container == nullptr;
        } else {
            lookup_ = LookUpPath(walnut_, path_);  // as deep as a path goes: as a single check finds it
        }
        specs_.push_back(lookup_.spec);
    }
    const std::string& Path() const { return path_; }
    const TSpecLookup& Lookup() const { return lookup_; }

private:
    const TWalnut& walnut_;
    std::vector<std::string> names_;
    std::vector<const TSpecNode*> specs_;
    std::string path_;
    TSpecLookup lookup_;
};

// Does any node of the mesh table (the rows that follow it while their paths hold "mesh-table")
// take its mesh from a library?
bool MeshTableUsesLibrary(const TOutlineDocument& document) {
    const TOutlineNode* table = document.FindNodeByPath("mesh-table");
    if (!table) return false;
    const TOutlineNode* n = table->NextRow();
    for (; n && table->IsAncestorOf(n); n = n->NextRow())
        if (ContainsStr(n->Text(), "mesh-asset")) return true;
    for (; n && ContainsStr(document.NodePath(n), "mesh-table"); n = n->NextRow())
        if (ContainsStr(n->Text(), "mesh-asset")) return true;
    return false;
}

}  // namespace

TFormatSet AllFormats() { return Range(1, 27); }
TFormatSet SyntaxFormats() { return Range(14, 18) | Range(20, 27); }
TFormatSet PointFormats() { return Range(kPointFormat, kPointFormat); }

bool InBuildRange(const TTagSpec& spec, std::int32_t build) {
    return InBuildWindow(ParseBuild(spec.Introduced), ParseBuild(spec.Obsolete), build);
}

std::string CheckEnum(const TCheckContext& context, std::string_view value, const TTagSpec& spec) {
    if (spec.ValueKind == vkQuoted)
        if (std::string message = CheckQuotedString(value); !message.empty()) return message;
    if (SameText(spec.Source, kBuildsSource)) {
        // A build is read as a number, as the Trainz-Build menu reads it: 2 is the build 2.0.
        std::string build = RemoveChars(value, "\"");
        if (SectionKeyCount(context.State.Settings(), kBuildsSource.substr(1)) == 0) return std::string(kNoSource);
        return IsKnownBuild(context.State.Settings(), build) ? std::string() : "Data does not match any valid option";
    }
    const std::vector<std::string>& options = SourceOptions(context, spec.Source);
    if (options.empty()) return std::string(kNoSource);
    return IsListedOption(RemoveChars(value, "\""), options) ? std::string() : "Data does not match any valid option";
}

std::string CheckSet(const TCheckContext& context, std::string_view name, std::string_view value,
                     const TTagSpec& spec) {
    if (std::string message = CheckQuotedString(value); !message.empty()) return message;
    if (name == "category-keyword" || name == "custom-category-list")
        return ContainsStr(value, ",") ? "Comma delimiters found, use semicolons" : std::string();
    const std::vector<std::string>& options = SourceOptions(context, spec.Source);
    if (options.empty()) return std::string(kNoSource);
    const std::string items = RemoveChars(value, "\"");
    if (StartsWith(items, ";") || EndsWith(items, ";")) return "Items are incorrectly separated";
    if (name == "category-region" && ContainsStr(items, "00") && items != "00")
        return "Code 00 cannot be mixed with other region codes";
    for (const std::string& item : SplitString(items, ";"))
        if (!IsListedOption(item, options)) return "An item is empty or does not match any option";
    return {};
}

std::string CheckTag(const TCheckContext& context, const TOutlineNode* node) {
    if (!node) return {};
    const std::string path = context.Document.NodePath(node);
    TFinding finding = CheckNode(context, node, path, LookUpPath(context.Walnut, path));
    if (finding.message.empty()) return {};
    if (finding.message.front() == '.') return "." + finding.node + " " + finding.message.substr(1);
    return finding.node + " " + finding.message;
}

TVerifyReport VerifyConfig(TProgramState& state, TOutlineDocument& document, const TWalnut& walnut,
                           std::string_view assetFolder, const TVerifyRequest& request) {
    TVerifyReport report;
    const TCheckContext context{state, document, walnut, std::string(assetFolder), state.ActiveBuild()};
    const DateTime start = state.Clock->Now();
    std::vector<TVerifyFinding>& findings = report.Findings;
    const auto warn = [&](std::string text) { findings.push_back({{}, std::move(text), false}); };

    if (!walnut.Root()) {
        // Without a definition every node would be "invalid in this context": say why instead.
        warn(walnut.LoadError().empty() ? std::string("No tag specification loaded") : walnut.LoadError());
    } else {
        // Warnings first: what makes the findings incomplete.
        if (!walnut.LoadError().empty()) warn(walnut.LoadError());
        if (!document.GetValueByPath("alias").empty())
            warn("*Warning* This asset is aliased, results will not be complete");
        if (MeshTableUsesLibrary(document))
            warn("*Warning* This assets uses mesh library references, these cannot be verified");
        const std::size_t notices = findings.size();  // where a notice found during the walk goes
        // Loading no longer gives a config without a kind one: the fault is reported here.
        if (document.Root() && !document.FindChildByName(document.Root(), "kind"))
            findings.push_back({"[kind]", "Tag is missing: the asset has no kind", true});
        if (request.Formats.test(kPointFormat)) {
            state.AttachmentPoints.clear();
            for (std::string& refused : ListMeshTable(state, document, assetFolder)) warn(std::move(refused));
        }

        const std::size_t total = document.LineCount();
        std::size_t done = 0;
        TRowWalk walk(walnut);
        for (TOutlineNode* node = document.Root() ? document.Root()->NextRow() : nullptr; node;
             node = node->NextRow()) {
            walk.Visit(node);
            const TFinding finding = CheckNode(context, node, walk.Path(), walk.Lookup());
            const bool fault = !finding.message.empty() && finding.message.front() != '.';
            document.SetNodeFlags(node, fault ? nfError : 0, fault ? 0 : nfError);
            if (!finding.message.empty())
                findings.push_back({std::move(finding.node),
                                    fault ? std::move(finding.message) : finding.message.substr(1), fault});
            ++done;
            if (request.Progress && !request.Progress(done, total) &&
                state.Messages->AskYesNo("Cancel Validation?")) {
                state.SendStatusText(stPanel2, "");
                report.Cancelled = true;
                report.Findings.clear();
                return report;
            }
        }
        state.SendStatusText(stPanel2, "");
        if (!context.UncheckedLists.empty()) {
            std::string tags;
            for (const std::string& tag : context.UncheckedLists) tags += (tags.empty() ? "" : ", ") + tag;
            findings.insert(findings.begin() + static_cast<std::ptrdiff_t>(notices),
                            TVerifyFinding{{}, "*Notice* " + std::string(kNoSource) + " " + tags, false});
        }
    }

    std::vector<std::string> lines;
    for (const TVerifyFinding& f : findings) {
        if (f.Node.empty()) {
            lines.push_back("\t" + f.Message);
            continue;
        }
        // The node part and the message stand on two lines.
        lines.push_back("\t" + f.Node);
        lines.push_back("\t\t " + f.Message);
    }
    if (lines.empty()) lines.emplace_back("\tNo problems found");

    report.Title = "Verify Config (Build " + FormatBuild(state.ActiveBuild()) + "): " +
                   std::to_string(document.LineCount()) + " lines processed";
    report.LogError = AddToLog(state, assetFolder, report.Title, lines, start);
    report.Lines = std::move(lines);
    return report;
}

}  // namespace kelvarn
