#include "flags.h"

BOOL g_bWow64 = FALSE;
BOOL g_bNT6 = FALSE;
HMODULE g_hLangModule = nullptr;
BOOL g_bLaunchApp = FALSE;

const wchar_t kCompatAssistantKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

BOOL IsWow64() {
    typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
    // Looked up at run time: older systems do not export it.
    auto fn = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    if (!fn)
        return FALSE;
    BOOL bWow64 = FALSE;
    fn(GetCurrentProcess(), &bWow64);
    return bWow64;
}

BOOL IsNT6() {
    OSVERSIONINFOW vi = {};
    vi.dwOSVersionInfoSize = sizeof(vi);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&vi))
        return FALSE;
#pragma GCC diagnostic pop
    return vi.dwPlatformId == VER_PLATFORM_WIN32_NT && vi.dwMajorVersion == 6;
}

LONG WriteCompatAssistantFlag(const wchar_t* pszProgramPath) {
    HKEY hKey = nullptr;
    LONG status =
        RegCreateKeyExW(HKEY_CURRENT_USER, kCompatAssistantKey, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    DWORD one = 1;
    LONG set = RegSetValueExW(hKey, pszProgramPath, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
    LONG closed = RegCloseKey(hKey);
    return set != ERROR_SUCCESS ? set : closed;
}
