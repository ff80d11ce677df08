// Helpers for tests that run inside the build tree's Wine world: the build's
// folders as Windows paths, processes, files and registry read-back.
#pragma once
#include <windows.h>

#include <string>

// The build tree and the assembled package as Windows paths (Z:\...).
std::wstring BuildDir();
std::wstring PackageDir();  // ends with a backslash
std::wstring SourceDir();

// Starts a command line and waits for it; false when it did not start or did
// not end within the time. The exit code goes to *pExitCode.
bool RunAndWait(const std::wstring& commandLine, DWORD timeoutMs, DWORD* pExitCode);
// Starts a command line without waiting; the process handle (caller closes).
HANDLE Start(const std::wstring& commandLine);

// A fresh, empty folder below the prefix's temporary folder; ends with '\'.
std::wstring FreshTempDir(const wchar_t* name);
void DeleteTree(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool WriteTextFile(const std::wstring& path, const std::string& utf8);
std::string ReadTextFile(const std::wstring& path);
bool CopyInto(const std::wstring& src, const std::wstring& dst);

// Registry read-back; false when absent.
bool RegReadString(HKEY root, const std::wstring& key, const std::wstring& value, std::wstring* out,
                   DWORD* pType = nullptr);
bool RegReadDword(HKEY root, const std::wstring& key, const std::wstring& value, DWORD* out);
bool RegKeyExists(HKEY root, const std::wstring& key);
void RegDeleteTree(HKEY root, const std::wstring& key);
void RegDeleteValueIn(HKEY root, const std::wstring& key, const std::wstring& value);

std::string Narrow(const std::wstring& w);
std::wstring Lower(std::wstring s);
