// Windows start-up: the library needs no per-thread notifications; all real
// initialisation happens lazily on first use.
#ifdef _WIN32
#include <windows.h>

// Called by the loader only; declared here for the warning about functions
// without a previous declaration.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}
#endif
