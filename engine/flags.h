// Process-wide start-up flags and the platform queries behind them. Written
// on the main thread before any worker exists, read-only afterwards (except
// g_bLaunchApp, which the wizard's Finish writes on the main thread).
#pragma once
#include <windows.h>

extern BOOL g_bWow64;          // 32-bit process on 64-bit Windows
extern BOOL g_bNT6;            // NT platform with major version exactly 6
extern HMODULE g_hLangModule;  // the language resource library
extern BOOL g_bLaunchApp;      // start the application after the wizard

BOOL IsWow64();
BOOL IsNT6();
// Marks a program path in the compatibility assistant's list so that it does
// not ask about the program afterwards. Returns the registry status.
LONG WriteCompatAssistantFlag(const wchar_t* pszProgramPath);

extern const wchar_t kCompatAssistantKey[];
