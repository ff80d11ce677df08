#include "engine_world.h"

#include <shlobj.h>
#include <shlwapi.h>

const wchar_t kCompatKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

const wchar_t* const kUninstallFolderFiles[6] = {L"setup.exe",    L"setup.ini",    L"setupCHS.dll",
                                                 L"setupCHT.dll", L"setupENU.dll", L"setupJPN.dll"};
const wchar_t* const kImageFileNames[7] = {L"middle.gif",     L"gauge_left.gif", L"gauge_right.gif", L"Vendor.bmp",
                                           L"ArrayTitle.bmp", L"Arraylogo.png",  L"infoTitle.bmp"};

std::wstring RegBase(bool wow64) {
    return wow64 ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                 : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}

std::wstring ProgramFilesDir(bool wow64) {
    wchar_t win[MAX_PATH];
    GetWindowsDirectoryW(win, MAX_PATH);
    std::wstring parent = win;
    parent.erase(parent.rfind(L'\\') + 1);
    return parent + (wow64 ? L"Program Files (x86)" : L"Program Files");
}

std::wstring InstallDirOf(const AppNames& n, bool wow64) { return ProgramFilesDir(wow64) + L"\\" + n.folder; }
std::wstring UninstallKeyOf(const AppNames& n, bool wow64) { return RegBase(wow64) + L"Uninstall\\" + n.folder; }
std::wstring RunKeyOf(bool wow64) { return RegBase(wow64) + L"Run"; }
std::wstring DesktopLinkOf(const std::wstring& name) {
    return ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + name + L".lnk";
}
std::wstring ProgramsFolderOf(const std::wstring& appName) {
    return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + appName;
}

void Scrub(const AppNames& n) {
    EndWindowProcesses(n.app);
    for (bool wow64 : {false, true}) {
        DeleteTree(InstallDirOf(n, wow64));
        RegDeleteTree(HKEY_LOCAL_MACHINE, UninstallKeyOf(n, wow64));
        RegDeleteValueIn(HKEY_LOCAL_MACHINE, RunKeyOf(wow64), n.app);
        RegDeleteValueIn(HKEY_CURRENT_USER, kCompatKey, InstallDirOf(n, wow64) + L"\\" + n.file);
    }
    DeleteFileW(DesktopLinkOf(n.app).c_str());
    DeleteTree(ProgramsFolderOf(n.app));
}

std::string IniFor(const AppNames& n, bool launchAfterSilentInstall) {
    return "[Customized_Setting]\r\nAPPFolderName=" + Narrow(n.folder) + "\r\nAPPFileName=" + Narrow(n.file) +
           "\r\nLaunchAPInSilentMode=" + (launchAfterSilentInstall ? "1" : "0") +
           "\r\n\r\n[Startup]\r\nAppName=" + Narrow(n.app) +
           "\r\nCompanyName=Tarvex Technology Corp.\r\nVersion=2.10.07\r\n";
}

namespace {

void CopyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    for (const std::wstring& name : ListFolder(from)) {
        if (name.back() == L'\\')
            CopyTree(from + name, to + name);
        else
            CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
    }
}

}  // namespace

std::wstring CopyPackage(const wchar_t* name, const PackageOptions& opt) {
    std::wstring dir = FreshTempDir(name);
    CopyTree(PackageDir(), dir);
    if (!opt.withHelper)
        DeleteFileW((dir + L"Application\\VolSvcInstall.exe").c_str());
    if (!opt.ini.empty())
        WriteTextFile(dir + L"setup.ini", opt.ini);
    if (opt.appendToApp) {
        // Data after the image does not stop it from running; the size tells
        // this copy from the package's.
        HANDLE h = CreateFileW((dir + L"Application\\QXRaidSetup.exe").c_str(), FILE_APPEND_DATA, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        std::string pad(opt.appendToApp, '\0');
        DWORD written = 0;
        WriteFile(h, pad.data(), (DWORD)pad.size(), &written, nullptr);
        CloseHandle(h);
    }
    return dir;
}

std::vector<std::string> HelperLog(const std::wstring& installDir) {
    std::string text = ReadTextFile(installDir + L"\\VolSvcInstall.log");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> WaitForHelperLog(const std::wstring& installDir, size_t count) {
    std::vector<std::string> lines;
    WaitUntil([&] { return (lines = HelperLog(installDir)).size() >= count; }, 10000);
    return lines;
}

std::vector<std::wstring> InstalledFiles(const AppNames& n, bool nt6) {
    std::vector<std::wstring> files;
    for (const wchar_t* f : kUninstallFolderFiles)
        files.push_back(std::wstring(L"Uninstall\\") + f);
    files.push_back(L"mingwm10.dll");
    files.push_back(n.file);
    for (const wchar_t* f : kImageFileNames)
        files.push_back(f);
    if (nt6)
        files.push_back(L"VolSvcInstall.exe");
    return files;
}
