// The settings reader on any bytes: decoding, parsing, every read path, and a write-back that must
// parse to the same values.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/MemIni.h"
#include "shell/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const kelvarn::DecodedText decoded = kelvarn::DecodeText(bytes);
    kelvarn::TMemIni ini;
    ini.SetText(decoded.text);

    std::vector<std::string> sections, keys, lines;
    ini.ReadSections(sections);
    for (const auto& s : sections) {
        ini.ReadSection(s, keys);
        ini.ReadSectionValues(s, lines);
        for (const auto& k : keys) {
            ini.ReadInteger(s, k, 0);
            ini.ReadBool(s, k, false);
        }
    }
    // What we write must read back as the same values.
    kelvarn::TMemIni again;
    again.SetText(ini.GetText());
    std::vector<std::string> sections2, lines2;
    again.ReadSections(sections2);
    if (sections2.size() > sections.size()) std::abort();
    for (const auto& s : sections) {
        ini.ReadSectionValues(s, lines);
        again.ReadSectionValues(s, lines2);
        if (lines != lines2) std::abort();
    }
    const std::string encoded = kelvarn::EncodeText(decoded.text, decoded.encoding);
    if (kelvarn::DecodeText(encoded).text != decoded.text) std::abort();
    return 0;
}
