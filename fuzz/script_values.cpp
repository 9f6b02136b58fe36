// The value commands' readers on bytes: a memory location, a -compute expression, point data and
// three coordinate expressions, a -tokens source and delimiters, split at NUL bytes; and the number
// formatter on the bytes read as a double. Also run as script lines, so the handlers see them.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/OutlineDocument.h"
#include "shell/ProgramState.h"
#include "shell/Strings.h"
#include "shell/Text.h"
#include "validation/ScriptHost.h"
#include "validation/ScriptMemoryCommands.h"
#include "validation/ScriptUnit.h"

namespace {

using namespace kelvarn;

class Host final : public SilentScriptHost {
public:
    TOutlineDocument* main = nullptr;
    TOutlineDocument* MainOutline() override { return main; }
};

struct World {
    TProgramState state;
    Host host;
    TOutlineDocument main{state};
    TScriptUnit unit{state, host};
    World() {
        state.Environment = [](const std::string&) { return std::string(); };
        host.main = &main;
    }
};

// A field for a script line: no line breaks, no field separators.
std::string Field(std::string_view text) { return RemoveChars(text, "\r\n|"); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    static World world;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (int i = 0; i < 7; ++i) {
        const std::size_t end = bytes.find('\0', start);
        parts.emplace_back(bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        start = end == std::string_view::npos ? bytes.size() : end + 1;
    }
    const std::string& location = parts[0];
    const std::string& expression = parts[1];
    const std::string pointData = CutUtf8(parts[2], kPointDataChars);

    (void)MemoryLocation(location);
    std::string result;
    (void)ComputeExpression(expression, result, [](std::string& operand) {
        operand = RemoveChars(operand, "^");
        return true;
    });
    for (int i = 3; i < 6; ++i) {
        (void)EvaluatePointExpression(parts[static_cast<std::size_t>(i)], pointData, false, result);
        (void)EvaluatePointExpression(parts[static_cast<std::size_t>(i)], pointData, true, result);
    }
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        if (FormatG(value, 4).size() > 32 || FormatG(value, 6).size() > 32) __builtin_trap();
    }

    world.main.ClearOutline();
    world.main.SetTagByPath("kind", "scenery");
    const std::vector<std::string> script = {
        "-compute|" + Field(location) + "|" + Field(expression),
        "-tokens|" + Field(parts[6]) + "|" + Field(parts[5]),
        "-store|1|" + Field(parts[3]),
        "-restore|1|value",
        "-pointposition|point|" + Field(parts[3]) + "|" + Field(parts[4]) + "|" + Field(parts[5]),
    };
    world.unit.ExecuteScriptLines("values", script, false);
    return 0;
}
