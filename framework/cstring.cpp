#include "cstring.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace {
int Length(const wchar_t* psz) { return psz ? (int)wcslen(psz) : 0; }
}  // namespace

CString::CString(const wchar_t* psz) { Append(psz, Length(psz)); }

CString::CString(const wchar_t* pch, int nLength) {
    if (pch && nLength > 0)
        Append(pch, nLength);
}

CString::CString(const CString& other) { Append(other.m_psz, other.m_nLength); }

CString::CString(CString&& other) noexcept
    : m_psz(other.m_psz), m_nLength(other.m_nLength), m_nCapacity(other.m_nCapacity) {
    other.m_psz = nullptr;
    other.m_nLength = other.m_nCapacity = 0;
}

CString::~CString() { free(m_psz); }

CString& CString::operator=(const CString& other) {
    if (this != &other) {
        Empty();  // terminated too, for an empty other
        Append(other.m_psz, other.m_nLength);
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept {
    if (this != &other) {
        free(m_psz);
        m_psz = other.m_psz;
        m_nLength = other.m_nLength;
        m_nCapacity = other.m_nCapacity;
        other.m_psz = nullptr;
        other.m_nLength = other.m_nCapacity = 0;
    }
    return *this;
}

CString& CString::operator=(const wchar_t* psz) {
    // psz may point into this string's own buffer.
    CString copy(psz);
    return *this = static_cast<CString&&>(copy);
}

CString& CString::operator+=(const wchar_t* psz) { return Append(psz, Length(psz)); }

void CString::Empty() {
    m_nLength = 0;
    if (m_psz)
        m_psz[0] = L'\0';
}

bool CString::Reserve(int nLength) {
    if (nLength <= m_nCapacity)
        return true;
    int cap = m_nCapacity ? m_nCapacity : 15;
    while (cap < nLength)
        cap = cap * 2 + 1;
    wchar_t* p = static_cast<wchar_t*>(realloc(m_psz, ((size_t)cap + 1) * sizeof(wchar_t)));
    if (!p)
        return false;
    m_psz = p;
    m_nCapacity = cap;
    return true;
}

CString& CString::Append(const wchar_t* pch, int n) {
    if (n <= 0) {
        if (!m_psz)
            Reserve(0);
        return *this;
    }
    // pch may lie inside our own buffer, which Reserve can move.
    bool inside = m_psz && pch >= m_psz && pch < m_psz + m_nLength;
    size_t offset = inside ? (size_t)(pch - m_psz) : 0;
    if (!Reserve(m_nLength + n))
        return *this;
    if (inside)
        pch = m_psz + offset;
    memmove(m_psz + m_nLength, pch, (size_t)n * sizeof(wchar_t));
    m_nLength += n;
    m_psz[m_nLength] = L'\0';
    return *this;
}

int CString::Find(wchar_t ch, int nStart) const {
    for (int i = nStart < 0 ? 0 : nStart; i < m_nLength; ++i)
        if (m_psz[i] == ch)
            return i;
    return -1;
}

int CString::Find(const wchar_t* pszSub, int nStart) const {
    int n = Length(pszSub);
    if (nStart < 0)
        nStart = 0;
    if (n == 0)
        return nStart <= m_nLength ? nStart : -1;
    for (int i = nStart; i + n <= m_nLength; ++i)
        if (wmemcmp(m_psz + i, pszSub, (size_t)n) == 0)
            return i;
    return -1;
}

CString CString::FromWindowText(HWND hWnd) {
    // Read where the window keeps it rather than asked for with messages:
    // every paint of a control reads its caption, and under Wine a message
    // to a subclassed control costs a few calls to the server.
    CString s;
    for (int cap = 255; s.Reserve(cap); cap = cap * 2 + 1) {
        const int n = InternalGetWindowText(hWnd, s.m_psz, cap + 1);
        s.m_nLength = n > 0 ? n : 0;
        s.m_psz[s.m_nLength] = L'\0';
        if (s.m_nLength < cap)
            break;
    }
    return s;
}

bool operator==(const CString& a, const wchar_t* b) {
    int n = Length(b);
    return a.m_nLength == n && (n == 0 || wmemcmp(a.m_psz, b, (size_t)n) == 0);
}

CString operator+(const CString& a, const CString& b) {
    CString s(a);
    s += b;
    return s;
}

CString operator+(const wchar_t* a, const CString& b) {
    CString s(a);
    s += b;
    return s;
}

CString operator+(const CString& a, const wchar_t* b) {
    CString s(a);
    s += b;
    return s;
}
