// The string tables of a package: the thirteen language libraries and the
// executable's own table, read back as data files and compared with
// res/lang/texts.tsv.
//   test_lang_tables [--package=DIR] [--arch=x86_64|i686] [--optional]
// DIR is a Unix or Windows path (default: this build's package). With
// --optional a missing folder ends with 77, which ctest reports as skipped.
#include <doctest/doctest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "winworld.h"

namespace {

const char* const kLanguages[] = {"ENU", "CHT", "CHS", "JPN", "KOR", "FRA", "DEU",
                                  "ITA", "RUS", "ESN", "SVE", "NLD", "PTB"};
const int kFirstId = 1, kLastId = 20;
const LANGID kExeLanguage = 0x0404;  // Traditional Chinese (LCID 1028)

std::wstring g_packageDir;  // ends with a backslash
WORD g_machine = 0;

std::wstring Widen(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), (int)s.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), (int)s.size(), &w[0], n);
    return w;
}

std::wstring ToWindowsPath(const char* p) {
    std::wstring w = Widen(p);
    if (!w.empty() && w[0] == L'/')
        w = L"Z:" + w;
    for (auto& c : w)
        if (c == L'/')
            c = L'\\';
    if (!w.empty() && w.back() != L'\\')
        w += L'\\';
    return w;
}

using Texts = std::map<std::string, std::map<int, std::wstring>>;  // language -> id -> text

// The source table, parsed here rather than by the generator under test.
const Texts& SourceTexts() {
    static Texts texts;
    static bool loaded = false;
    if (loaded)
        return texts;
    loaded = true;
    std::string raw = ReadTextFile(SourceDir() + L"\\res\\lang\\texts.tsv");
    REQUIRE_FALSE(raw.empty());
    size_t pos = 0;
    bool header = true;
    while (pos < raw.size()) {
        size_t end = raw.find('\n', pos);
        if (end == std::string::npos)
            end = raw.size();
        std::string line = raw.substr(pos, end - pos);
        pos = end + 1;
        if (header) {
            header = false;
            continue;
        }
        size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1);
        REQUIRE(t2 != std::string::npos);
        texts[line.substr(0, t1)][atoi(line.substr(t1 + 1, t2 - t1 - 1).c_str())] = Widen(line.substr(t2 + 1));
    }
    return texts;
}

// The wizard reads the button captions into 128 characters, the rest into 1024.
int BufferCharsFor(int id) { return (id == 1 || id == 2 || id == 3 || id == 10) ? 128 : 1024; }

WORD MachineOf(const std::wstring& path) {
    std::string raw = ReadTextFile(path);
    if (raw.size() < 0x40)
        return 0;
    DWORD peOffset;
    memcpy(&peOffset, raw.data() + 0x3C, 4);
    if (raw.size() < peOffset + 6 || memcmp(raw.data() + peOffset, "PE\0\0", 4) != 0)
        return 0;
    WORD machine;
    memcpy(&machine, raw.data() + peOffset + 4, 2);
    return machine;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR param) {
    reinterpret_cast<std::vector<LANGID>*>(param)->push_back(lang);
    return TRUE;
}

std::vector<LANGID> LanguagesOf(HMODULE h, int bundle) {
    std::vector<LANGID> langs;
    EnumResourceLanguagesW(h, RT_STRING, MAKEINTRESOURCEW(bundle), AddLanguage, reinterpret_cast<LONG_PTR>(&langs));
    return langs;
}

BOOL CALLBACK AddBundle(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<int>*>(param)->insert((int)(ULONG_PTR)name);
    return TRUE;
}

std::set<int> BundlesOf(HMODULE h) {
    std::set<int> bundles;
    EnumResourceNamesW(h, RT_STRING, AddBundle, reinterpret_cast<LONG_PTR>(&bundles));
    return bundles;
}

// The sixteen counted strings of one string-table block in one language.
std::vector<std::wstring> ReadBundle(HMODULE h, int bundle, LANGID lang) {
    std::vector<std::wstring> out;
    HRSRC r = FindResourceExW(h, RT_STRING, MAKEINTRESOURCEW(bundle), lang);
    if (!r)
        return out;
    const WCHAR* p = static_cast<const WCHAR*>(LockResource(LoadResource(h, r)));
    const WCHAR* end = p + SizeofResource(h, r) / sizeof(WCHAR);
    for (int i = 0; i < 16 && p < end; ++i) {
        WORD len = *p++;
        if (p + len > end)
            break;
        out.emplace_back(p, len);
        p += len;
    }
    return out;
}

std::wstring AbbreviationOf(LANGID lang) {
    wchar_t abbr[8] = {};
    GetLocaleInfoW(MAKELCID(lang, SORT_DEFAULT), LOCALE_SABBREVLANGNAME, abbr, 8);
    return abbr;
}

// Everything one table must carry in one language: ids 1 to 20 and nothing
// else, texts equal to the source's; through LoadStringW too when the module
// has no other language to pick.
void CheckTable(HMODULE h, const std::string& sourceLang, LANGID lang, bool viaLoadString) {
    const auto& expected = SourceTexts().at(sourceLang);
    REQUIRE(expected.size() == (size_t)(kLastId - kFirstId + 1));

    std::vector<std::wstring> b1 = ReadBundle(h, 1, lang), b2 = ReadBundle(h, 2, lang);
    REQUIRE(b1.size() == 16);
    REQUIRE(b2.size() == 16);
    CHECK(b1[0].empty());  // id 0
    for (int id = 21; id < 32; ++id)
        CHECK_MESSAGE(b2[id - 16].empty(), "unexpected id " << id);

    for (int id = kFirstId; id <= kLastId; ++id) {
        CAPTURE(id);
        const std::wstring& want = expected.at(id);
        CHECK_FALSE(want.empty());
        const std::wstring& raw = id < 16 ? b1[id] : b2[id - 16];
        CHECK(Narrow(raw) == Narrow(want));
        if (!viaLoadString)
            continue;
        // What the wizard does: LoadStringW into its buffer size.
        std::vector<wchar_t> buf(BufferCharsFor(id), L'\xFFFF');
        int n = LoadStringW(h, id, buf.data(), (int)buf.size());
        CHECK(n == (int)want.size());
        CHECK(n < (int)buf.size());  // nothing cut
        CHECK(Narrow(std::wstring(buf.data(), n > 0 ? n : 0)) == Narrow(want));
    }
}

// The scripts the round trip must have gone through, so that a library
// built with the wrong code page cannot pass by accident.
bool HasCharIn(const std::map<int, std::wstring>& texts, wchar_t lo, wchar_t hi) {
    for (const auto& kv : texts)
        for (wchar_t c : kv.second)
            if (c >= lo && c <= hi)
                return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    bool optional = false;
    std::string arch;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (strncmp(argv[i], "--package=", 10) == 0)
            g_packageDir = ToWindowsPath(argv[i] + 10);
        else if (strncmp(argv[i], "--arch=", 7) == 0)
            arch = argv[i] + 7;
        else if (strcmp(argv[i], "--optional") == 0)
            optional = true;
        else
            rest.push_back(argv[i]);
    }
    if (g_packageDir.empty())
        g_packageDir = PackageDir();
#ifdef _WIN64
    g_machine = IMAGE_FILE_MACHINE_AMD64;
#else
    g_machine = IMAGE_FILE_MACHINE_I386;
#endif
    if (arch == "x86_64")
        g_machine = IMAGE_FILE_MACHINE_AMD64;
    else if (arch == "i686")
        g_machine = IMAGE_FILE_MACHINE_I386;
    else if (!arch.empty()) {
        fprintf(stderr, "unknown --arch=%s\n", arch.c_str());
        return 2;
    }

    if (!FileExists(g_packageDir + L"setup.exe")) {
        fprintf(stderr, "no package at %s (setup.exe missing)%s\n", Narrow(g_packageDir).c_str(),
                optional ? ": skipped; build that architecture's package (tools/build.sh) to check it" : "");
        return optional ? 77 : 1;
    }
    printf("checking %s\n", Narrow(g_packageDir).c_str());
    fflush(stdout);
    doctest::Context ctx((int)rest.size(), rest.data());
    return ctx.run();
}

TEST_CASE("the source table has the thirteen languages, twenty ids each, in their scripts") {
    const Texts& texts = SourceTexts();
    std::set<std::string> wanted(std::begin(kLanguages), std::end(kLanguages)), have;
    for (const auto& kv : texts)
        have.insert(kv.first);
    CHECK(have == wanted);
    for (const auto& kv : texts) {
        CAPTURE(kv.first);
        CHECK(kv.second.size() == 20);
        CHECK(kv.second.begin()->first == kFirstId);
        CHECK(kv.second.rbegin()->first == kLastId);
    }
    CHECK(HasCharIn(texts.at("CHT"), 0x4E00, 0x9FFF));
    CHECK(HasCharIn(texts.at("CHS"), 0x4E00, 0x9FFF));
    CHECK(HasCharIn(texts.at("JPN"), 0x3040, 0x30FF));
    CHECK(HasCharIn(texts.at("KOR"), 0xAC00, 0xD7A3));
    CHECK(HasCharIn(texts.at("RUS"), 0x0400, 0x04FF));
    for (const char* accented : {"FRA", "DEU", "ESN", "SVE", "PTB", "ITA"}) {
        CAPTURE(accented);
        CHECK(HasCharIn(texts.at(accented), 0x00C0, 0x017F));
    }
}

TEST_CASE("every language library carries ids 1 to 20 in its own language, exactly as written") {
    WORD exeMachine = MachineOf(g_packageDir + L"setup.exe");
    CHECK(exeMachine == g_machine);
    std::set<LANGID> seen;
    for (const char* abbr : kLanguages) {
        std::wstring path = g_packageDir + L"setup" + Widen(abbr) + L".dll";
        CAPTURE(Narrow(path));
        REQUIRE(FileExists(path));
        // Loadable by the executable's own processor.
        CHECK(MachineOf(path) == g_machine);

        HMODULE h = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        REQUIRE(h != nullptr);
        // Two blocks (ids 0-15, 16-31), one language for both.
        CHECK(BundlesOf(h) == std::set<int>{1, 2});
        std::vector<LANGID> langs = LanguagesOf(h, 1);
        REQUIRE(langs.size() == 1);
        CHECK(LanguagesOf(h, 2) == langs);
        LANGID lang = langs[0];
        CheckTable(h, abbr, lang, true);
        // The loader names the library by this abbreviation of the language.
        CHECK(Narrow(AbbreviationOf(lang)) == std::string(abbr));
        CHECK(PRIMARYLANGID(lang) != LANG_NEUTRAL);
        CHECK(SUBLANGID(lang) != SUBLANG_NEUTRAL);
        CHECK(seen.insert(lang).second);
        FreeLibrary(h);
    }
    CHECK(seen.size() == 13);
}

TEST_CASE("the libraries of this process's architecture load as modules and give the same texts") {
#ifdef _WIN64
    const WORD own = IMAGE_FILE_MACHINE_AMD64;
#else
    const WORD own = IMAGE_FILE_MACHINE_I386;
#endif
    if (g_machine != own) {
        printf("note: a package of another architecture, read as data files only\n");
        return;
    }
    for (const char* abbr : kLanguages) {
        std::wstring path = g_packageDir + L"setup" + Widen(abbr) + L".dll";
        CAPTURE(Narrow(path));
        HMODULE h = LoadLibraryW(path.c_str());
        REQUIRE(h != nullptr);
        for (int id = kFirstId; id <= kLastId; ++id) {
            CAPTURE(id);
            wchar_t buf[1024];
            int n = LoadStringW(h, id, buf, 1024);
            CHECK(Narrow(std::wstring(buf, n > 0 ? n : 0)) == Narrow(SourceTexts().at(abbr).at(id)));
        }
        FreeLibrary(h);
    }
}

TEST_CASE("the executable's own table is the Traditional Chinese one, language 1028") {
    std::wstring path = g_packageDir + L"setup.exe";
    HMODULE h = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(h != nullptr);
    CHECK(BundlesOf(h) == std::set<int>{1, 2});
    for (int bundle : {1, 2}) {
        std::vector<LANGID> langs = LanguagesOf(h, bundle);
        CHECK(std::find(langs.begin(), langs.end(), kExeLanguage) != langs.end());
        for (LANGID other : langs)
            if (other != kExeLanguage)
                printf("note: the executable also holds string block %d in language %04X\n", bundle, other);
    }
    CHECK(MAKELCID(kExeLanguage, SORT_DEFAULT) == 1028);
    CheckTable(h, "CHT", kExeLanguage, false);
    FreeLibrary(h);
}
