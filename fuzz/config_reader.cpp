// The config.txt reader on any bytes, answering every question Yes and again as a batch script run
// would load it. Whatever it accepts must write, read back without any bracket repair, and write
// again to the same bytes; its tree must survive an undo snapshot. Unless the load repaired brackets
// or holds comment lines (which the writer leaves out), the first write holds every name and value
// of the file; the encodings of its lines may change only where bytes would read back differently. The snapshot reader gets the raw
// bytes too.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ConfigReader.h"
#include "catalogue/ConfigWriter.h"
#include "catalogue/OutlineNode.h"
#include "catalogue/UndoStack.h"
#include "shell/MessageSink.h"

namespace {

// The file's tokens without its encodings: the level and text of every node.
std::vector<std::string> Texts(const kelvarn::TConfigReader& reader) {
    std::vector<std::string> tokens = reader.Tokens();
    if (!tokens.empty()) tokens.erase(tokens.begin());
    for (std::string& t : tokens) t.erase(t.rfind('|'));
    return tokens;
}

class YesSink final : public kelvarn::IMessageSink {
public:
    void ShowMessage(std::string_view, std::string_view, kelvarn::MessageKind) override {}
    bool AskYesNo(std::string_view, std::string_view) override { return true; }
    kelvarn::Answer AskYesNoCancel(std::string_view, std::string_view) override { return kelvarn::Answer::Yes; }
    void Beep() override {}
};

std::string Write(const kelvarn::TConfigReader& reader) {
    const auto tree = reader.BuildTree();
    if (!tree) std::abort();
    return kelvarn::WriteConfigBytes(tree.get(), reader.Encoding(), reader.HasMark());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    YesSink yes;
    std::string error;
    (void)kelvarn::ReadUndoSnapshot(bytes, error);

    for (const bool scriptMode : {false, true}) {
        kelvarn::TConfigReader reader(&yes);
        reader.ScriptMode = scriptMode;
        if (!reader.LoadConfigBytes(bytes, "fuzz")) {
            if (reader.LastError().empty()) std::abort();  // a refusal always says why
            continue;
        }
        std::string text;
        if (!reader.ConfigText("fuzz", text)) std::abort();

        const auto tree = reader.BuildTree();
        const auto back = kelvarn::ReadUndoSnapshot(kelvarn::WriteUndoSnapshot(tree.get()), error);
        if (!back || !error.empty() ||
            kelvarn::WriteUndoSnapshot(back.get()) != kelvarn::WriteUndoSnapshot(tree.get()))
            std::abort();

        const std::string first = Write(reader);
        kelvarn::TConfigReader again(&yes);
        if (!again.LoadConfigBytes(first, "fuzz")) std::abort();
        if (again.AddedClosingBrackets() != 0 || again.AddedHeaders() != 0) std::abort();
        if (Write(again) != first) std::abort();
        bool kept = reader.AddedClosingBrackets() == 0 && reader.AddedHeaders() == 0;
        for (const std::string& t : Texts(reader)) kept = kept && t.find("|;") == std::string::npos;
        if (kept && Texts(again) != Texts(reader)) std::abort();
    }
    return 0;
}
