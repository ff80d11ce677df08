// What a skin control tells assistive technology (Active Accessibility): an
// accessible object made only when asked for (WM_GETOBJECT), built on the
// standard one, which keeps its place, parent, focus and the rest; the
// control itself answers for its role, state, name and default action.
#pragma once
#include <windows.h>
#include <oleacc.h>

#include "../framework/cstring.h"
#include "../framework/wnd.h"

class AccessibleSource {
public:
    virtual LONG AccRole() = 0;
    // The state over the standard object's.
    virtual DWORD AccState(DWORD dwStandard) = 0;
    virtual CString AccName() = 0;
    // Null: no default action.
    virtual const wchar_t* AccDefaultAction() = 0;
    // What a click does, done later (posted): the caller waits for nothing.
    virtual BOOL AccDoDefaultAction() = 0;

protected:
    ~AccessibleSource() = default;
};

// Answers WM_GETOBJECT for the client area of pOwner's window, which pSource
// describes; FALSE for any other object, which the window's own processing
// answers.
BOOL AnswerGetObject(CWnd* pOwner, AccessibleSource* pSource, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

// The standard bits a control decides for itself: unavailable while disabled,
// focusable while enabled (bFocusable), focused while it has the focus.
DWORD AccEnabledFocusState(HWND hWnd, DWORD dwStandard, BOOL bFocusable);

// Tells listeners that the state or the name of a control's client changed.
void AccNotify(DWORD dwEvent, HWND hWnd);

// A caption as a name: an ampersand marks a mnemonic, two stand for one.
CString AccNameFromCaption(HWND hWnd);
