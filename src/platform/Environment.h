// The process environment, which programs started later inherit.
#pragma once

#include <string>

namespace kelvarn::platform {

// Sets the variable; an empty value removes it. False when the name cannot be a variable name.
bool SetEnvironmentVariable(const std::string& name, const std::string& value);

}  // namespace kelvarn::platform
