// A small wide-character string with value semantics: what the controls
// need for captions, face names and link targets, nothing more.
#pragma once
#include <windows.h>

class CString {
public:
    CString() = default;
    CString(const wchar_t* psz);  // NOLINT: implicit, like the framework's
    CString(const wchar_t* pch, int nLength);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const wchar_t* psz);

    CString& operator+=(const CString& other) { return Append(other.m_psz, other.m_nLength); }
    CString& operator+=(const wchar_t* psz);
    CString& operator+=(wchar_t ch) { return Append(&ch, 1); }

    // Never null: an empty string reads as L"".
    operator const wchar_t*() const { return m_psz ? m_psz : L""; }
    const wchar_t* GetString() const { return *this; }
    int GetLength() const { return m_nLength; }
    bool IsEmpty() const { return m_nLength == 0; }
    void Empty();
    wchar_t GetAt(int i) const { return (i >= 0 && i < m_nLength) ? m_psz[i] : L'\0'; }

    // Index of the first occurrence at or after nStart, or -1.
    int Find(wchar_t ch, int nStart = 0) const;
    int Find(const wchar_t* pszSub, int nStart = 0) const;

    // The window text of hWnd as the window keeps it (no WM_GETTEXT),
    // whatever its length.
    static CString FromWindowText(HWND hWnd);

    friend bool operator==(const CString& a, const wchar_t* b);
    friend bool operator==(const CString& a, const CString& b) { return a == b.GetString(); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }

private:
    CString& Append(const wchar_t* pch, int n);
    // Makes room for nLength characters plus the terminator; false when the
    // memory is not there (the string is then unchanged).
    bool Reserve(int nLength);

    wchar_t* m_psz = nullptr;
    int m_nLength = 0;
    int m_nCapacity = 0;  // characters, without the terminator
};

CString operator+(const CString& a, const CString& b);
CString operator+(const wchar_t* a, const CString& b);
CString operator+(const CString& a, const wchar_t* b);
