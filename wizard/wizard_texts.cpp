#include "wizard_texts.h"

#include "../engine/flags.h"
#include "../framework/app.h"

int LoadEnglishString(HINSTANCE hModule, UINT nID, wchar_t* pszBuf, int cchBuf) {
    if (cchBuf <= 0)
        return 0;
    pszBuf[0] = L'\0';
    // String tables are stored in blocks of sixteen, each string a length
    // word followed by its characters, not terminated.
    HRSRC hRes = FindResourceExW(hModule, RT_STRING, MAKEINTRESOURCEW(nID / 16 + 1),
                                 MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!hRes)
        return 0;
    HGLOBAL hData = LoadResource(hModule, hRes);
    const WORD* p = hData ? static_cast<const WORD*>(LockResource(hData)) : nullptr;
    if (!p)
        return 0;
    const WORD* end = p + SizeofResource(hModule, hRes) / sizeof(WORD);
    for (UINT i = 0; i < nID % 16; ++i) {
        if (p >= end)
            return 0;
        p += 1 + *p;
    }
    if (p >= end || p + 1 + *p > end)
        return 0;
    int n = *p;
    if (n > cchBuf - 1)
        n = cchBuf - 1;
    for (int i = 0; i < n; ++i)
        pszBuf[i] = (wchar_t)p[1 + i];
    pszBuf[n] = L'\0';
    return n;
}

int LoadWizardText(UINT nID, wchar_t* pszBuf, int cchBuf) {
    if (cchBuf <= 0)
        return 0;
    pszBuf[0] = L'\0';
    int n = g_hLangModule ? LoadStringW(g_hLangModule, nID, pszBuf, cchBuf) : 0;
    if (n > 0)
        return n;
    return LoadEnglishString(AfxGetResourceHandle(), nID, pszBuf, cchBuf);
}

namespace {

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD wLanguage, LONG_PTR lParam) {
    *reinterpret_cast<LANGID*>(lParam) = wLanguage;
    return FALSE;
}

}  // namespace

BYTE WizardTextCharset() {
    LANGID lang = 0;
    if (g_hLangModule)
        EnumResourceLanguagesW(g_hLangModule, RT_STRING, MAKEINTRESOURCEW(1), TakeFirstLanguage,
                               reinterpret_cast<LONG_PTR>(&lang));
    DWORD codePage = 0;
    if (!lang || !GetLocaleInfoW(MAKELCID(lang, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                                 reinterpret_cast<LPWSTR>(&codePage), sizeof(codePage) / sizeof(wchar_t)))
        return ANSI_CHARSET;
    CHARSETINFO csi;
    if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>((UINT_PTR)codePage), &csi, TCI_SRCCODEPAGE))
        return ANSI_CHARSET;
    return (BYTE)csi.ciCharset;
}
