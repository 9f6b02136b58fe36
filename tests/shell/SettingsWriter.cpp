// Another program on a settings file, for the tests that need a second process (two copies of Kelvarn
// at once, or a user who may not write the file):
//   SettingsWriter race FILE PREFIX COUNT    writes the keys PREFIX1 .. PREFIXCOUNT to section Race,
//                                            each by its own update, as a copy of the program does
//   SettingsWriter set FILE SECTION KEY VALUE   one key, one update
// Prints the first failed update's message and exits with 1; exits with 0 when every update succeeded.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/MemIni.h"

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "race" && argc == 5) {
        kelvarn::TMemIni ini(argv[2]);
        const int count = std::atoi(argv[4]);
        for (int i = 1; i <= count; ++i) {
            ini.WriteString("Race", std::string(argv[3]) + std::to_string(i), std::to_string(i));
            if (const std::string error = ini.UpdateFile(); !error.empty()) {
                std::printf("%s\n", error.c_str());
                return 1;
            }
        }
        return 0;
    }
    if (mode == "set" && argc == 6) {
        kelvarn::TMemIni ini(argv[2]);
        ini.WriteString(argv[3], argv[4], argv[5]);
        const std::string error = ini.UpdateFile();
        std::printf("%s\n", error.c_str());
        return error.empty() ? 0 : 1;
    }
    std::fprintf(stderr, "usage: SettingsWriter race FILE PREFIX COUNT | set FILE SECTION KEY VALUE\n");
    return 2;
}
