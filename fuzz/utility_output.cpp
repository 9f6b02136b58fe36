// The utility runner's parsing on any bytes as the utility's output (and as "KUID-Range" values):
// item lines, KUID comparison, the status lookup, the details page, the generated KUIDs and the
// texture-group count never fail, and what they give holds together.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/UtilityRunner.h"
#include "shell/Text.h"

using namespace kelvarn;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> output = SplitLines(DecodeText(bytes).text);
    for (const std::string& line : output) {
        const auto item = ParseOutputLine(line);
        if (item.has_value() != (!line.empty() && line.front() == '+')) std::abort();
        if (item && item->fields.empty()) std::abort();
        if (const auto kuid = ParseKuid(line)) {
            if (kuid->version < -1 || kuid->version > 127 || kuid->number < 0) std::abort();
            if (!CompareKuids(line, line)) std::abort();
        }
    }
    const std::string kuid = output.empty() ? std::string("<kuid:1:2>") : output.front();
    if (const auto installed = FindInstalled(output, kuid)) {
        if (!CompareKuids(installed->Field(1), kuid)) std::abort();
        if (AssetDetailsLines(*installed).size() < 4) std::abort();
    }
    for (const std::string& line : GeneratedKuidLines(output))
        if (line.empty()) std::abort();
    if (CountTextureGroups(output) > static_cast<int>(output.size())) std::abort();
    const TKuidRangeBatch batch = KuidRangeBatch(output);
    if (batch.error.empty() == batch.lines.empty()) std::abort();
    if (!batch.lines.empty() && batch.lines.size() % 3 != 1) std::abort();
    return 0;
}
