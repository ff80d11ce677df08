/* Planted beside setup.exe under a system DLL's or a language library's name: leaves "<its path>.loaded"
   when something loads it, then refuses, so that the loader goes on to the real one. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hinst, DWORD reason, LPVOID reserved) {
    wchar_t path[MAX_PATH + 8];
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameW(hinst, path, MAX_PATH) < MAX_PATH)
        CloseHandle(CreateFileW(lstrcatW(path, L".loaded"), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return reason != DLL_PROCESS_ATTACH;
}
