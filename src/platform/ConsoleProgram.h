// Whether the simulator's command-line utility can be run: the program file is there and the user may
// execute it. The program takes that as the sign that the content database is available.
#pragma once

#include <string>

namespace kelvarn::platform {

// True when `program` (a native path) is a regular file (a link to one counts) that the user may run.
bool IsRunnableFile(const std::string& program);

}  // namespace kelvarn::platform
