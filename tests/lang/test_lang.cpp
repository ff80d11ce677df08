// The language libraries: string tables against texts.tsv, and the one setup.exe takes.
#include "harness.h"

#include <psapi.h>

#include <regex>
#include <sstream>

#include "app/setup_app.h"

// A string block in one language as texts.tsv has it: "ABBR<tab>id<tab>text" lines, for ids with a text.
static BOOL CALLBACK AddLanguage(HMODULE h, LPCWSTR type, LPCWSTR block, WORD lang, LONG_PTR o) {
    wchar_t abbr[8] = {};
    GetLocaleInfoW(MAKELCID(lang, SORT_DEFAULT), LOCALE_SABBREVLANGNAME, abbr, 8);
    auto p = (const wchar_t*)LockResource(LoadResource(h, FindResourceExW(h, type, block, lang)));
    for (int id = ((int)(ULONG_PTR)block - 1) * 16, end = id + 16; p && id < end; p += 1 + *p, ++id)
        *(std::wstring*)o += *p ? abbr + (L"\t" + std::to_wstring(id) + L"\t") + std::wstring(p + 1, *p) + L"\n" : L"";
    return TRUE;
}
static BOOL CALLBACK AddBlock(HMODULE h, LPCWSTR type, LPWSTR block, LONG_PTR o) {
    return EnumResourceLanguagesW(h, type, block, AddLanguage, o);
}
static std::wstring Table(const std::wstring& module, bool asData) {
    std::wstring lines;
    HMODULE h = LoadLibraryExW(module.c_str(), nullptr, asData ? LOAD_LIBRARY_AS_DATAFILE : 0);
    EnumResourceNamesW(h, RT_STRING, AddBlock, (LONG_PTR)&lines);
    return FreeLibrary(h), lines;
}

// Each library (the 32-bit ones read as data) as texts.tsv has it, in its own language and script, and no more.
TEST_CASE("tables of the package against texts.tsv") {
    const std::wstring pkg = getenv("SETUP_PACKAGE") ? EnvPath("SETUP_PACKAGE") + L"\\" : PackageDir();
    if (!FileExists(pkg + L"setup.exe"))
        exit(77);  // not built: skipped
    std::wstring all = L"lang\tid\ttext\n", cht;
    for (std::wstring s : {L"ENU", L"CHT[一-鿿]", L"CHS[一-鿿]", L"JPN[ぁ-ヿ]", L"KOR[가-힣]", L"FRA[À-ſ]",
                           L"DEU[À-ſ]", L"ITA[À-ſ]", L"RUS[Ѐ-ӿ]", L"ESN[À-ſ]", L"SVE[À-ſ]", L"NLD", L"PTB[À-ſ]"}) {
        std::wstring got = Table(pkg + L"setup" + s.substr(0, 3) + L".dll", pkg != PackageDir());
        CHECK_MESSAGE(std::regex_search(got, std::wregex(s.size() > 3 ? s.substr(3) : L".")), Narrow(s));
        all += got;
        cht = s.compare(0, 3, L"CHT") ? cht : got;
    }
    CHECK(all == Widen(ReadFileText(EnvPath("SETUP_SOURCE_DIR") +
                                    L"\\res\\lang\\texts.tsv")));  // read here, not by the generator
    CHECK_FALSE(std::regex_search(all, std::wregex(L"\t([123]|10)\t.{128}|\t\\d+\t.{1024}")));  // the wizard's buffers
    CHECK(std::regex_replace(Table(pkg + L"setup.exe", true), std::wregex(L"ENU.*\n"), L"") == cht);  // its own
}

TEST_CASE("choice of the library") {
    const LANGID user = GetUserDefaultUILanguage(), ko = 0x0412, pl = 0x0415;
    REQUIRE(((user == ko || user == pl) && GetSystemDefaultUILanguage() == 0x0407));  // or all would be English
    // A folder of setup.exe as exe and the package's libraries of the letters before ".dll" ("x!": x no library):
    // the one loaded for lang (0: as start-up asks) and by setup.exe with each of args; the user's, else English.
    const struct {
        LANGID user, lang;              // user: the run's, 0: any
        std::wstring exe, files, want;  // want: "" none, the wizards ending at once
        std::vector<const wchar_t*> args;
    } rows[] = {
        {ko, 0, L"SETUP.EXE", L"setupKOR.dll setupDEU.dll setupENU.dll", L"setupkor.dll", {L"", L"delpkg"}},
        {ko, 0, L"install.exe", L"installKOR.DLL setupKOR.dll setupENU.dll", L"installkor.dll", {L""}},
        {ko, 0, L"install.exe", L"setupKOR.dll setupENU.dll", L"", {L""}},
        {ko, 0, L"setup.exe", L"setupENU.dll setupDEU.dll", L"setupenu.dll", {L"", L"delpkg"}},
        {pl, 0, L"setup.exe", L"setupENU.dll setupDEU.dll setupKOR.dll", L"setupenu.dll", {L"", L"delpkg"}},
        {0, 0x0807, L"setup.exe", L"setupENU.dll setupDEU.dll", L"setupenu.dll", {}},  // Swiss German: DES
        {0, 0x0007, L"setup.exe", L"setupENU.dll setupDEU.dll", L"setupdeu.dll", {}},  // neutral: the default
        {ko, 0, L"setup.exe", L"setupDEU.dll setupJPN.dll", L"setupdeu.dll", {L""}},
        {ko, 0, L"setup.exe", L"setupENU.dll setupDEU.dll setupKOR.dll!", L"setupdeu.dll", {L""}},
        {0, 0x0407, L"pkg.exe.d\\setup.exe", L"pkgDEU.DLL", L"pkgdeu.dll", {}},
        {0, 0x3FFF, L"setup.exe", L"setupENU.dll", L"", {}},
        {0, 0x0409, L"setup", L"setupENU.dll", L"", {}},
        {0, 0, L"setup.exe", L"setupENU.dll!", L"", {L"", L"delpkg", L"delpkg s"}},
    };
    for (const auto& r : rows) {
        if (r.user && r.user != user)
            continue;
        INFO(Narrow(r.exe) << " " << Narrow(r.files) << " language " << r.lang);
        std::wstring dir = FreshDir((L"lang " + std::to_wstring(&r - rows)).c_str()), exe = Lower(dir + r.exe), f;
        CopyInto(PackageDir() + L"setup.exe", dir + r.exe);
        for (std::wistringstream in(r.files); in >> f;)
            CopyInto(PackageDir() + (f.back() == L'!' ? L"setup.ini" : L"setup" + f.substr(f.size() - 7)),
                     dir + f.substr(0, f.find(L'!')));
        HMODULE h = r.lang ? LoadLangResourceFor(exe.c_str(), r.lang) : SetupApp().LoadLangResourceModule(exe.c_str());
        wchar_t got[MAX_PATH] = {};  // the file of the one mapped as data, or none
        CHECK(Lower(PathFindFileNameW(
                  (h && GetMappedFileNameW(GetCurrentProcess(), h, got, MAX_PATH) && FreeLibrary(h), got))) == r.want);
        for (const wchar_t* args : r.args) {  // what it mapped from its folder once its window showed, or its end
            Proc p(Q(dir + r.exe) + L" " + args);
            WaitUntil([&] { return !p.Running() || WaitForWindow(p.pid, nullptr, nullptr, 0); }, 30000);
            std::wstring libs = p.Running() ? L"" : L"exit " + std::to_wstring(p.Wait(0));
            MEMORY_BASIC_INFORMATION m;
            for (BYTE* at = nullptr; p.Running() && VirtualQueryEx(p.h, at, &m, sizeof(m)); at += m.RegionSize)
                if (m.Type == MEM_MAPPED && GetMappedFileNameW(p.h, at, got, MAX_PATH) &&
                    PathMatchSpecW(got, (L"*\\" + dir.substr(dir.rfind(L"\\setuptest") + 1) + L"*.dll").c_str()))
                    libs += Lower(PathFindFileNameW(got)) + L" ";
            CHECK_MESSAGE(libs == (r.want.empty() ? L"exit 0" : r.want + L" "), Narrow(args));
        }
    }
}

TEST_CASE("the silent install and the quiet uninstall, with the libraries and without") {
    const AppNames n{L"LangSilent", L"Lang Silent"};
    for (const DWORD code : {0u, 1603u}) {  // without, the uninstaller's four are missing: all else is installed
        const std::wstring dir = CopyPackage(L"lang silent", IniFor(n));
        code ? DeleteTree(dir + L"*.dll") : (void)0;
        Scrub(n);
        CHECK((Run(Q(dir + L"setup.exe") + L" s") == code && FileExists(InstallDirOf(n) + L"\\" + n.file)));
        CHECK((Run(Q(dir + L"setup.exe") + L" delpkg quiet") == 0 && !FileExists(InstallDirOf(n) + L"\\" + n.file)));
    }
    Scrub(n);
}
