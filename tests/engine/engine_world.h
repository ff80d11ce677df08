// What the engine tests share: where an installation lands, copies of the
// built package to install from, and the scrubbing of every trace of an
// installation so that the tests run in any order.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include <doctest/doctest.h>

#include "winworld.h"

// The names an installation is known by (setup.ini's APPFolderName and
// AppName); the executable keeps the package's name.
struct AppNames {
    std::wstring folder;
    std::wstring app;
    std::wstring file = L"QXRaidSetup.exe";
};

extern const wchar_t kCompatKey[];

std::wstring RegBase(bool wow64);  // ends with a backslash
std::wstring ProgramFilesDir(bool wow64);
std::wstring InstallDirOf(const AppNames& n, bool wow64);  // no trailing backslash
std::wstring UninstallKeyOf(const AppNames& n, bool wow64);
std::wstring RunKeyOf(bool wow64);
std::wstring DesktopLinkOf(const std::wstring& name);
std::wstring ProgramsFolderOf(const std::wstring& appName);

// Ends the application's processes and removes both install folders, both
// uninstall keys, both Run values, the shortcuts and the compatibility
// values of an installation.
void Scrub(const AppNames& n);

// setup.ini text for these names.
std::string IniFor(const AppNames& n, bool launchAfterSilentInstall);

struct PackageOptions {
    bool withHelper = true;
    std::string ini;         // empty: the package's own setup.ini
    size_t appendToApp = 0;  // bytes appended to the application executable
};
// A copy of the built package in a fresh folder whose name holds a blank;
// ends with a backslash.
std::wstring CopyPackage(const wchar_t* name, const PackageOptions& opt);

// The helper's log beside it in an install folder, one option a line.
std::vector<std::string> HelperLog(const std::wstring& installDir);
// Waits until the log holds `count` lines (the helper is not waited for by
// the setup).
std::vector<std::string> WaitForHelperLog(const std::wstring& installDir, size_t count);

// The files an installation puts into its folder, relative to it.
std::vector<std::wstring> InstalledFiles(const AppNames& n, bool nt6);
extern const wchar_t* const kUninstallFolderFiles[6];
extern const wchar_t* const kImageFileNames[7];

// Lists shown in full when a check fails.
namespace doctest {
template <>
struct StringMaker<std::vector<std::string>> {
    static String convert(const std::vector<std::string>& v) {
        String s = "{";
        for (size_t i = 0; i < v.size(); ++i)
            s += (i ? ", \"" : "\"") + String(v[i].c_str()) + "\"";
        return s + "}";
    }
};
template <>
struct StringMaker<std::vector<std::wstring>> {
    static String convert(const std::vector<std::wstring>& v) {
        String s = "{";
        for (size_t i = 0; i < v.size(); ++i)
            s += (i ? ", \"" : "\"") + String(Narrow(v[i]).c_str()) + "\"";
        return s + "}";
    }
};
}  // namespace doctest
