// The POSIX environment calls the tests use, for Windows hosts (forced into
// every test program there). On Windows an empty value removes the variable;
// the library counts an empty variable as unset anyway.
#pragma once

#ifdef _WIN32
#include <stdlib.h>

inline int setenv(const char *name, const char *value, int overwrite) {
    if (!overwrite && getenv(name) != nullptr)
        return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char *name) { return _putenv_s(name, "") == 0 ? 0 : -1; }
#endif
