// The language libraries: the string tables of a package against
// res/lang/texts.tsv, and which library setup.exe takes for the user's
// language, in-process and as the real program.
#include "harness.h"

#include <tlhelp32.h>

#include <map>
#include <sstream>

#include "app/setup_app.h"

namespace {

bool EndsWith(const std::wstring& s, const wchar_t* end) {
    return s.size() >= wcslen(end) && Lower(s.substr(s.size() - wcslen(end))) == end;
}

// Language -> ids 0..31 as the tables must hold them; read here, not by
// the generator under test.
std::map<std::wstring, std::vector<std::wstring>> SourceTexts() {
    std::map<std::wstring, std::vector<std::wstring>> texts;
    std::wstring tsv = Widen(ReadFileText(SourceDir() + L"\\res\\lang\\texts.tsv"));
    for (size_t at = tsv.find(L'\n') + 1, end; at < tsv.size(); at = end + 1) {
        end = std::min(tsv.find(L'\n', at), tsv.size());
        size_t t1 = tsv.find(L'\t', at), t2 = tsv.find(L'\t', t1 + 1);
        auto& ids = texts[tsv.substr(at, t1 - at)];
        ids.resize(32);
        ids.at(std::stoi(tsv.substr(t1 + 1, t2 - t1 - 1))) = tsv.substr(t2 + 1, end - t2 - 1);
    }
    return texts;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR block, WORD lang, LONG_PTR out) {
    *reinterpret_cast<std::wstring*>(out) += std::to_wstring((ULONG_PTR)block) + L":" + std::to_wstring(lang) + L" ";
    return TRUE;
}
BOOL CALLBACK AddBlock(HMODULE h, LPCWSTR type, LPWSTR block, LONG_PTR out) {
    return EnumResourceLanguagesW(h, type, block, AddLanguage, out);
}
// "block:language " of every string block of a module.
std::wstring Blocks(HMODULE h) {
    std::wstring s;
    EnumResourceNamesW(h, RT_STRING, AddBlock, (LONG_PTR)&s);
    return s;
}

// Ids 0..31 of a module's string table in exactly that language.
std::vector<std::wstring> Strings(HMODULE h, LANGID lang) {
    std::vector<std::wstring> s;
    for (int block : {1, 2}) {
        HRSRC r = FindResourceExW(h, RT_STRING, MAKEINTRESOURCEW(block), lang);
        const wchar_t* p = r ? static_cast<const wchar_t*>(LockResource(LoadResource(h, r))) : nullptr;
        for (int i = 0; p && i < 16; ++i, p += 1 + *p)
            s.emplace_back(p + 1, *p);
    }
    return s;
}

WORD Machine(const std::wstring& file) {
    std::string pe = ReadFileText(file);
    DWORD at = pe.size() > 0x40 ? *reinterpret_cast<const DWORD*>(&pe[0x3C]) : 0;
    return pe.size() > at + 6 ? *reinterpret_cast<const WORD*>(&pe[at + 4]) : 0;
}

// A fresh folder holding its first name as a copy of setup.exe, then the
// rest: "*" the whole package, "x!" a file x that is no library, any other
// name the package's library of the three letters before its ".dll".
std::wstring MakeFolder(const std::wstring& files) {
    static int count;
    std::wstring dir = FreshDir((L"lang " + std::to_wstring(++count)).c_str()), name;
    std::wistringstream in(files);
    for (bool exe = true; in >> name; exe = false) {
        if (name.find(L'\\') != std::wstring::npos)
            CreateDirectoryW((dir + name.substr(0, name.find(L'\\'))).c_str(), nullptr);
        if (name == L"*")
            CopyTree(PackageDir(), dir);
        else if (name.back() == L'!')
            REQUIRE(WriteFileText(dir + name.substr(0, name.size() - 1), "not a library"));
        else
            REQUIRE(CopyInto(PackageDir() + (exe ? L"setup.exe" : L"setup" + name.substr(name.size() - 7, 3) + L".dll"),
                             dir + name));
    }
    return dir;
}

// The lowered name below dir of a library the loader gave; "" for none.
std::wstring Loaded(const std::wstring& dir, HMODULE h) {
    wchar_t path[MAX_PATH] = {};
    bool got = h && GetModuleFileNameW(h, path, MAX_PATH) && FreeLibrary(h);
    return got ? Lower(path).substr(dir.size()) : L"";
}

// What the real setup.exe did: the libraries it loaded from its folder by the
// time its window showed, or how it ended without one.
std::wstring Started(const std::wstring& dir, const std::wstring& exe, const wchar_t* args) {
    Proc p(Q(dir + exe) + L" " + args);
    HWND wnd = nullptr;
    WaitUntil([&] { return (wnd = WaitForWindow(p.pid, nullptr, nullptr, 0)) || !p.Running(); }, 30000);
    if (!wnd)
        return L"exit " + std::to_wstring(p.Wait(0));
    std::wstring libs;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, p.pid);
    MODULEENTRY32W me = {};
    me.dwSize = sizeof(me);
    for (BOOL ok = Module32FirstW(snap, &me); ok; ok = Module32NextW(snap, &me))
        if (Lower(me.szExePath).find(Lower(dir)) == 0 && Lower(me.szExePath) != Lower(dir + exe))
            libs += Lower(me.szExePath).substr(dir.size()) + L" ";
    CloseHandle(snap);
    return libs;  // the wizard ends with p
}

}  // namespace

// Run once for this build's package and once, as data only, for the 32-bit
// package named by SETUP_PACKAGE.
TEST_CASE("tables of the package against texts.tsv") {
    const bool other = getenv("SETUP_PACKAGE") != nullptr;
    const std::wstring pkg = other ? EnvPath("SETUP_PACKAGE") + L"\\" : PackageDir();
    if (!FileExists(pkg + L"setup.exe")) {
        printf("no package at %s: skipped (tools/build.sh builds it)\n", Narrow(pkg).c_str());
        exit(77);
    }
    auto texts = SourceTexts();
    std::vector<std::wstring> libs, want;
    for (const auto& f : ListFolder(pkg))
        if (EndsWith(f, L".dll"))
            libs.push_back(f);
    for (const auto& t : texts) {
        want.push_back(L"setup" + t.first + L".dll");
        for (int id = 0; id < 32; ++id)
            CHECK_MESSAGE(t.second[id].empty() == (id < 1 || id > 20), Narrow(t.first) << " " << id);
    }
    CHECK(texts.size() == 13);
    CHECK(libs == want);

    // Each language in its own script, so that a table saved through the
    // wrong code page cannot pass.
    const struct {
        const wchar_t* lang;
        wchar_t lo, hi;
    } scripts[] = {{L"CHT", 0x4E00, 0x9FFF}, {L"CHS", 0x4E00, 0x9FFF}, {L"JPN", 0x3040, 0x30FF},
                   {L"KOR", 0xAC00, 0xD7A3}, {L"RUS", 0x0400, 0x04FF}, {L"FRA", 0xC0, 0x17F},
                   {L"DEU", 0xC0, 0x17F},    {L"ITA", 0xC0, 0x17F},    {L"ESN", 0xC0, 0x17F},
                   {L"SVE", 0xC0, 0x17F},    {L"PTB", 0xC0, 0x17F}};
    for (const auto& s : scripts) {
        std::wstring all;
        for (const auto& t : texts[s.lang])
            all += t;
        CHECK_MESSAGE(std::any_of(all.begin(), all.end(), [&](wchar_t c) { return c >= s.lo && c <= s.hi; }),
                      Narrow(s.lang));
    }

    for (const auto& t : texts) {
        std::wstring path = pkg + L"setup" + t.first + L".dll";
        INFO(Narrow(path));
        CHECK(Machine(path) == Machine(pkg + L"setup.exe"));
        HMODULE h =
            other ? LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE) : LoadLibraryW(path.c_str());
        REQUIRE(h != nullptr);
        // Two blocks in one language, whose abbreviation names the file.
        std::wstring blocks = Blocks(h);
        REQUIRE(blocks.size() > 2);
        std::wstring lang = std::to_wstring(_wtoi(blocks.c_str() + 2));
        CHECK(blocks == L"1:" + lang + L" 2:" + lang + L" ");
        wchar_t abbr[8] = {};
        GetLocaleInfoW(MAKELCID(_wtoi(lang.c_str()), SORT_DEFAULT), LOCALE_SABBREVLANGNAME, abbr, 8);
        CHECK(std::wstring(abbr) == t.first);
        CHECK(Strings(h, (LANGID)_wtoi(lang.c_str())) == t.second);
        // As the wizard reads them: buttons into 128 characters, the rest 1024.
        for (int id = 1; id <= 20; ++id) {
            wchar_t buf[1024];
            int n = LoadStringW(h, id, buf, id <= 3 || id == 10 ? 128 : 1024);
            CHECK(std::wstring(buf, std::max(n, 0)) == t.second[id]);
        }
        FreeLibrary(h);
    }

    // The executable's own table is the Traditional Chinese one.
    HMODULE exe = LoadLibraryExW((pkg + L"setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    CHECK(Blocks(exe).find(L"1:1028 ") != std::wstring::npos);
    CHECK(Blocks(exe).find(L"2:1028 ") != std::wstring::npos);
    CHECK(Strings(exe, 1028) == texts[L"CHT"]);
    FreeLibrary(exe);
}

// Run per user language (--user=ko_KR) on a German system.
TEST_CASE("choice of the library") {
    const LANGID ko = 0x0412, pl = 0x0415;
    std::wstring name = Widen(Arg("--user=") ? Arg("--user=") : "");
    std::replace(name.begin(), name.end(), L'_', L'-');
    const LANGID user = LANGIDFROMLCID(LocaleNameToLCID(name.c_str(), 0));
    // Else every row would run in English and prove nothing.
    REQUIRE(GetUserDefaultUILanguage() == user);
    REQUIRE(GetSystemDefaultUILanguage() == 0x0407);
    const struct {
        LANGID user;                       // the run; 0: every run
        const wchar_t* files;              // see MakeFolder()
        LANGID lang;                       // 0: as start-up asks, for the user's language
        std::vector<const wchar_t*> args;  // the real setup.exe started so, each
        const wchar_t* want;               // "": none
    } rows[] = {
        // The user's library, not the system's, whatever the name's case.
        {ko, L"setup.exe *", 0, {L"", L"delpkg"}, L"setupkor.dll"},
        {ko, L"SETUP.EXE setupKOR.dll", 0, {L""}, L"setupkor.dll"},
        // The executable's name is the libraries' base.
        {ko, L"install.exe installKOR.DLL setupKOR.dll setupENU.dll", 0, {L""}, L"installkor.dll"},
        {ko, L"install.exe setupKOR.dll setupENU.dll", 0, {L""}, L""},
        // No library of the user's: English, though the system's is there.
        {ko,
         L"setup.exe setupENU.dll setupCHT.dll setupCHS.dll setupJPN.dll setupDEU.dll",
         0,
         {L"", L"delpkg"},
         L"setupenu.dll"},
        {pl, L"setup.exe *", 0, {L"", L"delpkg"}, L"setupenu.dll"},
        // The system's only when nothing loaded for the user's.
        {ko, L"setup.exe setupDEU.dll setupJPN.dll", 0, {L""}, L"setupdeu.dll"},
        {ko, L"setup.exe setupENU.dll setupDEU.dll setupKOR.dll!", 0, {L""}, L"setupdeu.dll"},
        {0, L"setup.exe setupENU.dll setupDEU.dll setupKOR.dll!", ko, {}, L""},
        {0, L"setup.exe setupENU.dll setupDEU.dll setupRUS.dll", 0x0407, {}, L"setupdeu.dll"},
        {0, L"setup.exe setupENU.dll setupDEU.dll setupRUS.dll", 0x0419, {}, L"setuprus.dll"},
        {0, L"setup.exe setupENU.dll setupDEU.dll setupRUS.dll", ko, {}, L"setupenu.dll"},
        {0, L"setup.exe setupENU.dll setupDEU.dll setupRUS.dll", pl, {}, L"setupenu.dll"},
        {0, L"setup.exe setupENU.dll setupDEU.dll setupRUS.dll", 0x0007, {}, L"setupdeu.dll"},  // neutral
        {0, L"setup.exe setupENU.dll setupDEU.dll setupRUS.dll", 0x0807, {}, L"setupenu.dll"},  // Swiss: DES
        // Cut at the first ".exe", even in a folder's name.
        {0, L"pkg.exe.d\\setup.exe pkg.exe.d\\setupENU.dll pkgDEU.DLL", 0x0407, {}, L"pkgdeu.dll"},
        {0, L"pkg.exe.d\\setup.exe pkg.exe.d\\setupENU.dll pkgDEU.DLL", ko, {}, L""},
        {0, L"install.exe installENU.DLL", 0x0407, {}, L"installenu.dll"},
        {0, L"install.exe installENU.DLL installDEU.DLL", 0x0407, {}, L"installdeu.dll"},
        // Nothing loads: both wizards end at once.
        {0, L"setup.exe setupENU.dll", 0x00FF, {}, L""},
        {0, L"setup.exe setupENU.dll", 0x3FFF, {}, L""},
        {0, L"setup setupENU.dll", 0x0409, {}, L""},
        {0, L"setup.ex setupENU.dll", 0x0409, {}, L""},
        {0, L"setup.exe", 0x0407, {}, L""},
        {0, L"setup.exe", 0, {L"", L"delpkg", L"delpkg s"}, L""},
        {0, L"setup.exe setupENU.dll!", 0, {}, L""},
    };
    SetupApp app;
    for (const auto& r : rows) {
        if (r.user && r.user != user)
            continue;
        INFO(Narrow(r.files) << " language " << r.lang);
        std::wstring dir = MakeFolder(r.files), exe(r.files, wcscspn(r.files, L" ")), path = Lower(dir + exe);
        CHECK(Loaded(dir, r.lang ? LoadLangResourceFor(path.c_str(), r.lang)
                                 : app.LoadLangResourceModule(path.c_str())) == r.want);
        for (const wchar_t* args : r.args)
            CHECK_MESSAGE(Started(dir, exe, args) == (*r.want ? r.want + std::wstring(L" ") : L"exit 0"), Narrow(args));
    }
}

TEST_CASE("the silent install needs no library") {
    const AppNames n{L"LangSilent", L"Lang Silent"};
    Scrub(n);
    std::wstring dir = CopyPackage(L"lang silent", IniFor(n));
    for (const auto& f : ListFolder(dir))
        if (EndsWith(f, L".dll"))
            REQUIRE(DeleteFileW((dir + f).c_str()));
    // Stopping for want of a library would end with 0 too, installing nothing.
    CHECK(Run(Q(dir + L"setup.exe") + L" s") == 0);
    CHECK(FileExists(InstallDirOf(n) + L"\\Uninstall\\setup.exe"));
    CHECK(FileExists(InstallDirOf(n) + L"\\" + n.file));
    Scrub(n);
}
