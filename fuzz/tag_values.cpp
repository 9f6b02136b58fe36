// Any bytes as the values and names of tag edits, of the table page's rows and of a new asset's KUID
// field: whatever an edit accepts, the config written and read back holds as many tags as the tree
// did, so no pasted line break or control character can make a value into a tag of its own; and a
// KUID is told alike by the table rows' quick check and the full reading.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/AssetPages.h"
#include "catalogue/ConfigReader.h"
#include "catalogue/ConfigWriter.h"
#include "catalogue/OutlineDocument.h"
#include "catalogue/TagEditing.h"
#include "catalogue/UtilityRunner.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"

namespace {

using namespace kelvarn;

std::size_t Rows(const TOutlineNode* root) { return root ? root->SubtreeRows() : 0; }

// The tree written and read back has as many rows as the tree itself.
void CheckRoundTrip(const TOutlineDocument& document) {
    const std::string text = document.ConfigFileText();
    TConfigReader reader;
    if (!reader.LoadConfigBytes(text, "fuzz")) std::abort();
    if (Rows(reader.BuildTree().get()) != Rows(document.Root())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > 16 * 1024) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    // The quick KUID check of table rows says what the full reading says.
    if (IsKuidText(bytes) != ParseKuid(bytes).has_value()) std::abort();
    if (IsUsualKuidText(bytes) && !ParseKuid(bytes)) std::abort();
    // The first byte picks the value kind; the rest splits at its first 0xFF into a name and a value.
    const int kind = data[0] % 3;
    const std::size_t cut = bytes.find('\xFF');
    const std::string name(bytes.substr(0, cut == std::string_view::npos ? 0 : cut));
    const std::string value(cut == std::string_view::npos ? bytes : bytes.substr(cut + 1));

    TProgramState state;
    TOutlineDocument document(state);
    document.SetTagByPath("config.txt\\kind", "scenery");
    document.SetTagByPath("config.txt\\list\\0", "<kuid:1:2>");
    TOutlineNode* kindNode = document.FindNodeByPath("config.txt\\kind");
    if (!kindNode) std::abort();

    // A tag edit of the value (and the name, when there is one).
    TTagSpec spec = DefaultTagSpec();
    spec.Path = "config.txt\\kind";
    spec.Name = name.empty() ? std::string("kind") : name;
    spec.Value = value;
    spec.ValueKind = kind;
    document.ApplyTagEdit(spec, kindNode);
    document.SetTagByPath("config.txt\\note", value);
    CheckRoundTrip(document);

    // The value as the table page's cells, in every list format.
    for (const char* format : {"kuid-list", "string-list", "camera-list"}) {
        TTagSpec record;
        record.Format = format;
        std::vector<std::string> cells{name.empty() ? std::string("1") : name, value};
        CsvToContainer(document, document.FindNodeByPath("config.txt\\list"), {JoinCsvLine(cells)}, record);
        CheckRoundTrip(document);
    }

    // A KUID field completed as the new-asset page completes it is a KUID or stays as typed; as the
    // kuid tag it must still be one tag.
    const std::string kuid = NewKuidExit(value, "77");
    if (kuid != value && kuid.rfind("<kuid:77:", 0) != 0) std::abort();
    TNewAssetFields fields{{"scenery"}, kuid, "scenery", ".", "x"};
    const bool breaks = kuid.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos;
    if (breaks && NewPageCheck(fields, "").reason != kNewIdentityReason) std::abort();
    if (document.SetTagByPath("config.txt\\kuid", kuid)) CheckRoundTrip(document);
    return 0;
}
