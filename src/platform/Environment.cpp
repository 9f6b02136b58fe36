#include "platform/Environment.h"

#include <cstdlib>

namespace kelvarn::platform {

bool SetEnvironmentVariable(const std::string& name, const std::string& value) {
    // "=" would cut the name short, and a NUL would end it early; both would set another variable.
    if (name.empty() || name.find('=') != std::string::npos || name.find('\0') != std::string::npos ||
        value.find('\0') != std::string::npos)
        return false;
#ifdef _WIN32
    return _putenv_s(name.c_str(), value.c_str()) == 0;
#else
    if (value.empty()) return unsetenv(name.c_str()) == 0;
    return setenv(name.c_str(), value.c_str(), 1) == 0;
#endif
}

}  // namespace kelvarn::platform
