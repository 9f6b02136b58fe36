// The settings reader on any bytes: decoding, parsing, every read path, and a write-back that must
// parse to the same values; as a file, an update with one key added must read back with every value
// it had and the new one.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "shell/MemIni.h"
#include "shell/Text.h"

namespace {

std::vector<std::string> AllValues(const kelvarn::TMemIni& ini) {
    std::vector<std::string> all, sections, lines;
    ini.ReadSections(sections);
    for (const auto& s : sections) {
        ini.ReadSectionValues(s, lines);
        all.push_back("[" + s + "]");
        all.insert(all.end(), lines.begin(), lines.end());
    }
    return all;
}

void CheckFileUpdate(const std::string& bytes) {
    // One file for the whole run, removed when it ends.
    static const struct Scratch {
        std::string path = (std::filesystem::temp_directory_path() /
                            ("kelvarn-fuzz-ini-" + std::to_string(::getpid()) + ".ini")).string();
        ~Scratch() {
            std::error_code ec;
            std::filesystem::remove(path, ec);
        }
    } scratch;
    const std::string& file = scratch.path;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    kelvarn::TMemIni ini(file);
    if (!ini.LoadError().empty()) return;
    ini.WriteString("Fuzz", "added", "caf\xC3\xA9 \xE2\x86\x92");
    if (!ini.UpdateFile().empty()) std::abort();
    const kelvarn::TMemIni again(file);
    if (!again.LoadError().empty() || AllValues(again) != AllValues(ini)) std::abort();
    if (again.ReadString("Fuzz", "added", "") != "caf\xC3\xA9 \xE2\x86\x92") std::abort();
}

}  // namespace

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
    CheckFileUpdate(bytes);
    return 0;
}
