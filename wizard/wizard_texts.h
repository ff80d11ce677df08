// The wizard's texts by id: from the language library, or, for an id the
// library lacks, the English text built into the executable, so that no
// heading, text or caption is ever left blank.
#pragma once
#include <windows.h>

// Characters written, without the terminator; 0 and an empty buffer when
// neither has the id.
int LoadWizardText(UINT nID, wchar_t* pszBuf, int cchBuf);

template <size_t N>
int LoadWizardText(UINT nID, wchar_t (&buf)[N]) {
    return LoadWizardText(nID, buf, (int)N);
}

// The English text of an id from a module's string table, whatever the
// thread's language; 0 when the module has no English table or no such id.
int LoadEnglishString(HINSTANCE hModule, UINT nID, wchar_t* pszBuf, int cchBuf);

// The character set of the language library's texts (ANSI for English and
// when it cannot be told), so that a label's face is asked for glyphs that
// can show them.
BYTE WizardTextCharset();
