// Command-line switches and the choice of the way to run.
#include <doctest/doctest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "../../app/setup_app.h"

namespace {

RunMode ModeOf(std::initializer_list<const wchar_t*> args, SetupCommandLineInfo* out = nullptr) {
    std::vector<wchar_t*> argv{const_cast<wchar_t*>(L"setup.exe")};
    for (const wchar_t* a : args)
        argv.push_back(const_cast<wchar_t*>(a));
    SetupCommandLineInfo info;
    CWinApp::ParseArguments(info, (int)argv.size(), argv.data());
    if (out)
        *out = info;
    return DecideRunMode(info);
}

struct Recorder : CCommandLineInfo {
    void ParseParam(const wchar_t* p, BOOL flag, BOOL last) override {
        seen.push_back(std::wstring(p) + (flag ? L"|f" : L"|-") + (last ? L"|l" : L"|-"));
    }
    std::vector<std::wstring> seen;
};

}  // namespace

TEST_CASE("switches choose the mode") {
    CHECK(ModeOf({}) == RunMode::InstallWizard);
    CHECK(ModeOf({L"delpkg"}) == RunMode::UninstallWizard);
    CHECK(ModeOf({L"DelPkg"}) == RunMode::UninstallWizard);
    CHECK(ModeOf({L"s"}) == RunMode::SilentInstall);
    CHECK(ModeOf({L"/S"}) == RunMode::SilentInstall);
    CHECK(ModeOf({L"-s"}) == RunMode::SilentInstall);
    CHECK(ModeOf({L"delpkg", L"s"}) == RunMode::UninstallWizard);
    CHECK(ModeOf({L"s", L"/delpkg"}) == RunMode::UninstallWizard);
    CHECK(ModeOf({L"install"}) == RunMode::InstallWizard);
    CHECK(ModeOf({L"ss"}) == RunMode::InstallWizard);
    CHECK(ModeOf({L"--s"}) == RunMode::InstallWizard);
}

TEST_CASE("every argument is counted, the program name is not") {
    SetupCommandLineInfo info;
    ModeOf({L"x", L"s", L"y"}, &info);
    CHECK(info.m_nParamCount == 3);
    CHECK(info.m_bSilent);
    CHECK_FALSE(info.m_bDelPkg);
}

TEST_CASE("ParseParam gets the text without its switch mark, the flag and the last flag") {
    Recorder r;
    wchar_t* argv[] = {const_cast<wchar_t*>(L"setup.exe"), const_cast<wchar_t*>(L"/a"), const_cast<wchar_t*>(L"b"),
                       const_cast<wchar_t*>(L"-c")};
    CWinApp::ParseArguments(r, 4, argv);
    REQUIRE(r.seen.size() == 3);
    CHECK(r.seen[0] == L"a|f|-");
    CHECK(r.seen[1] == L"b|-|-");
    CHECK(r.seen[2] == L"c|f|l");
}
