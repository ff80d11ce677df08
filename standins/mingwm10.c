/* Stand-in for the runtime library the application ships beside itself. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved) {
    (void)hInstance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) int mingwm10_version(void) { return 10; }
