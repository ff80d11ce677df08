// The real setup.exe as a process: a second copy stays out, and the
// compatibility mark is written on Windows 6.x only.
#include <doctest/doctest.h>

#include <string.h>

#include "winworld.h"

namespace {

const wchar_t kCompatKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

int g_expectNT6 = -1;

// Value names compare without case; read the stored spelling back.
bool HasValueSpelledExactly(const wchar_t* key, const std::wstring& name) {
    HKEY h;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    bool found = false;
    wchar_t buf[1024];
    for (DWORD i = 0;; ++i) {
        DWORD cch = 1024;
        if (RegEnumValueW(h, i, buf, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (name == buf)
            found = true;
    }
    RegCloseKey(h);
    return found;
}

// setup.exe alone in a folder of its own (no language library, so the wizard
// ends at once without a window), under a name in capitals.
std::wstring LonelySetup(const wchar_t* name) {
    std::wstring dir = FreshTempDir(name);
    std::wstring exe = dir + L"SETUP.EXE";
    REQUIRE(CopyInto(PackageDir() + L"setup.exe", exe));
    return exe;
}

}  // namespace

int main(int argc, char** argv) {
    doctest::Context ctx(argc, argv);
    if (const char* nt6 = ArgValue(argc, argv, "--nt6="))
        g_expectNT6 = atoi(nt6);
    return ctx.run();
}

TEST_CASE("the compatibility mark follows the Windows version") {
    REQUIRE(g_expectNT6 != -1);
    std::wstring exe = LonelySetup(L"compat");
    std::wstring valueName = Lower(exe);
    RegDeleteValueIn(HKEY_CURRENT_USER, kCompatKey, valueName);

    DWORD code = 0;
    REQUIRE(RunAndWait(L"\"" + exe + L"\"", 30000, &code));
    CHECK(code == 0);
    DWORD v = 0;
    bool written = RegReadDword(HKEY_CURRENT_USER, kCompatKey, valueName, &v);
    if (g_expectNT6) {
        CHECK(written);
        CHECK(v == 1);
        // Named by the lowered path, not as started.
        CHECK(HasValueSpelledExactly(kCompatKey, valueName));
    } else {
        CHECK_FALSE(written);
    }
}

TEST_CASE("a second copy ends at once with 1618 and writes nothing") {
    std::wstring exe = LonelySetup(L"second");
    std::wstring valueName = Lower(exe);
    RegDeleteValueIn(HKEY_CURRENT_USER, kCompatKey, valueName);

    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"VKP507_INSTALL");
    REQUIRE(mutex != nullptr);
    REQUIRE(GetLastError() != ERROR_ALREADY_EXISTS);
    for (const wchar_t* args : {L"", L" s", L" delpkg"}) {
        DWORD code = 0;
        REQUIRE(RunAndWait(L"\"" + exe + L"\"" + args, 30000, &code));
        CHECK(code == 1618);
    }
    CloseHandle(mutex);
    DWORD v;
    CHECK_FALSE(RegReadDword(HKEY_CURRENT_USER, kCompatKey, valueName, &v));
}
