// Help links on any bytes: the input, split at NUL bytes, gives a definition's help text, the config
// path asked about, the Wiki section's base address and page, and a tag value opened as a link. Only
// absolute http or https addresses may reach the desktop's opener, and no program is ever run.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFolder.h"
#include "catalogue/ConfigPath.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/WikiHelp.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

namespace {

using namespace kelvarn;

class GuardRunner final : public IProcessRunner {
public:
    ProcessResult Run(const ProcessRequest&) override { std::abort(); }
    bool OpenWithDefault(const std::string& url) override {
        if (!StartsWithText(url, "http://") && !StartsWithText(url, "https://")) std::abort();
        for (const char c : url)
            if (static_cast<unsigned char>(c) < 0x20) std::abort();
        return true;
    }
};

class AnyHelp final : public IOutlineHooks {
public:
    std::string help;
    TTagSpec FindSpecNode(std::string_view, bool& found) override {
        found = true;
        TTagSpec spec;
        spec.Help = help;
        spec.Sequence = help.size() % 2 ? "3" : "0";
        spec.Format = help.size() % 3 ? "string" : "user-table";
        return spec;
    }
    std::string KindChain() const override { return help.size() % 5 ? "SCENERY,MESH-ASSET" : "TRACK"; }
};

struct Bed {
    TProgramState state;
    GuardRunner runner;
    AnyHelp hooks;
    TOutlineDocument doc{state};
    Bed() {
        state.Runner = &runner;
        // The run's own folder, removed when it ends.
        const auto& folder = fuzz::Folder(
            "wiki-help", "config.txt",
            "kind \"scenery\"\r\nkuid <kuid:1:2>\r\ninfo-url \"wiki://x\"\r\ntrackside 1\r\nmesh-table\r\n{\r\n"
            "  default\r\n  {\r\n    mesh \"a.im\"\r\n    effects\r\n    {\r\n      0\r\n      {\r\n        kind \"name\"\r\n"
            "      }\r\n    }\r\n  }\r\n}\r\n");
        doc.SetHooks(&hooks);
        doc.LoadConfig(folder.string());
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Bed bed;
    std::vector<std::string> parts(6);
    std::size_t at = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && at + 1 < parts.size()) {
            ++at;
            continue;
        }
        parts[at].push_back(static_cast<char>(data[i]));
    }
    // Settings and values hold text: make them UTF-8 as a read would.
    for (std::string& p : parts) p = DecodeText(p).text;
    bed.hooks.help = parts[0];
    TMemIni& ini = bed.state.Settings();
    ini.WriteString("Wiki", "URL", parts[2]);
    ini.WriteString("Wiki", parts[3].empty() ? "page" : parts[3], parts[4]);
    ini.WriteString("Wiki", "debug", parts[1].size() % 7 == 0 ? "1" : "0");
    for (const char* path : {"kind", "mesh-table", "mesh-table\\default\\mesh", "mesh-table\\default\\effects\\0\\kind"})
        ExpandWikiMacro(bed.state, bed.doc, path, parts[5]);
    ExpandWikiMacro(bed.state, bed.doc, parts[1], parts[5]);
    (void)ExpandWikiAnchor(bed.doc, parts[1], parts[0]);
    const std::string checked = CheckedWebAddress(parts[5]);
    if (!checked.empty() && !StartsWithText(checked, "http")) std::abort();
    OpenWebAddress(bed.state, parts[5]);
    WikiLinkUrl(bed.state, bed.doc, "info-url");
    return 0;
}
