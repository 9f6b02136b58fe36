// Whether the simulator's command-line utility can be run: the program file is there and the user may
// execute it. The program takes that as the sign that the content database is available.
#pragma once

#include <string>

namespace kelvarn::platform {

// True when `program` (a native path) is a regular file (a link to one counts) that the user may run.
bool IsRunnableFile(const std::string& program);

// Run in a child just started: gives it a process group of its own, so that the tool and whatever it
// starts itself can be stopped together. Nothing where the platform has no such groups.
void StartOwnProcessGroup();
// Stops every process of the group a child started with StartOwnProcessGroup leads.
void StopProcessGroup(long long leader);

}  // namespace kelvarn::platform
