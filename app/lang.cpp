// Choice of the language resource library. The libraries hold texts and
// nothing else: they are mapped as data, so that no code in one ever runs.
#include <wchar.h>

#include "../engine/bounded.h"
#include "setup_app.h"

HMODULE LoadLangResourceFor(const wchar_t* pszModulePath, LANGID langId) {
    wchar_t abbr[4];
    LCID lcid = ConvertDefaultLocale(MAKELCID(langId, SORT_DEFAULT));
    if (!GetLocaleInfoW(lcid, LOCALE_SABBREVLANGNAME, abbr, 4))
        return nullptr;
    const wchar_t* dotExe = wcsstr(pszModulePath, L".exe");
    if (!dotExe)
        return nullptr;
    int baseLen = (int)(dotExe - pszModulePath);

    wchar_t wanted[kPathChars];
    if (FormatBounded(wanted, kPathChars, L"%.*ls%ls.DLL", baseLen, pszModulePath, abbr)) {
        WIN32_FIND_DATAW fd;
        HANDLE hFind = FindFirstFileW(wanted, &fd);
        if (hFind != INVALID_HANDLE_VALUE) {
            FindClose(hFind);
            return LoadLibraryExW(wanted, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        }
    }
    wchar_t fallback[kPathChars];
    if (!FormatBounded(fallback, kPathChars, L"%.*lsENU.DLL", baseLen, pszModulePath))
        return nullptr;
    return LoadLibraryExW(fallback, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

HMODULE SetupApp::LoadLangResourceModule(const wchar_t* pszModulePath) {
    typedef LANGID(WINAPI * GetLangFn)();
    HMODULE hKernel = GetModuleHandleW(L"kernel32.dll");
    auto getUserUi =
        reinterpret_cast<GetLangFn>(reinterpret_cast<void*>(GetProcAddress(hKernel, "GetUserDefaultUILanguage")));
    auto getSystemUi =
        reinterpret_cast<GetLangFn>(reinterpret_cast<void*>(GetProcAddress(hKernel, "GetSystemDefaultUILanguage")));

    GetLangFn sources[4] = {nullptr, nullptr, GetUserDefaultLangID, GetSystemDefaultLangID};
    if (getUserUi) {
        sources[0] = getUserUi;
        sources[1] = getSystemUi;
    }
    for (GetLangFn source : sources) {
        if (!source)
            continue;
        if (HMODULE h = LoadLangResourceFor(pszModulePath, source()))
            return h;
    }
    return nullptr;
}
