#include "platform/ConsoleProgram.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <csignal>
#include <unistd.h>
#endif

namespace kelvarn::platform {

bool IsRunnableFile(const std::string& program) {
    if (program.empty()) return false;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::path(program), ec)) return false;
#ifdef _WIN32
    return true;  // a file there is a program when its name says so; the caller names an .exe
#else
    return ::access(program.c_str(), X_OK) == 0;
#endif
}

void StartOwnProcessGroup() {
#ifndef _WIN32
    ::setpgid(0, 0);
#endif
}

void StopProcessGroup(long long leader) {
#ifndef _WIN32
    if (leader > 0) ::kill(-static_cast<pid_t>(leader), SIGKILL);
#else
    (void)leader;
#endif
}

}  // namespace kelvarn::platform
