// Windows, dialogs and controls: typed message dispatch over plain Win32.
//
// A CWnd is attached to its window in one of two ways: a dialog keeps `this`
// in DWLP_USER (set on WM_INITDIALOG); a control we take over is subclassed
// with SetWindowSubclass and keeps `this` as the subclass data. Both also
// carry a window property naming the object, so that a parent can find its
// children's objects. The links are removed on WM_NCDESTROY.
//
// Dispatch: OnWndMsg returns TRUE when it handled a message (the result in
// *pResult); FALSE goes on to the base class and then to the window's own
// processing (the control's original procedure, or the dialog manager).
// A parent hands WM_DRAWITEM, WM_COMMAND and WM_NOTIFY of its children to
// the child object first (OnChildNotify), then handles what is left.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to a window by this framework, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Gives the object its window without taking over its messages yet:
    // its own methods work, its handlers do not run. Once only.
    BOOL Attach(HWND hWnd);
    // Takes over an existing window (a dialog item), or the one attached.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow() {}
    bool IsSubclassed() const { return m_bSubclassed; }

    // Reflection: a parent offers its child's notifications to the child
    // first. TRUE means the child consumed it and the parent stops.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}

    // Plain window operations.
    DWORD GetStyle() const { return (DWORD)GetWindowLongPtrW(m_hWnd, GWL_STYLE); }
    DWORD GetExStyle() const { return (DWORD)GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void SetWindowText(const wchar_t* psz) { ::SetWindowTextW(m_hWnd, psz); }
    int GetWindowText(wchar_t* psz, int cch) const { return ::GetWindowTextW(m_hWnd, psz, cch); }
    void GetClientRect(RECT* prc) const { ::GetClientRect(m_hWnd, prc); }
    void GetWindowRect(RECT* prc) const { ::GetWindowRect(m_hWnd, prc); }
    BOOL SetWindowPos(HWND hAfter, int x, int y, int cx, int cy, UINT uFlags) {
        return ::SetWindowPos(m_hWnd, hAfter, x, y, cx, cy, uFlags);
    }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::PostMessageW(m_hWnd, msg, wp, lp); }
    UINT_PTR SetTimer(UINT_PTR nID, UINT uElapse) { return ::SetTimer(m_hWnd, nID, uElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nID) { return ::KillTimer(m_hWnd, nID); }

protected:
    // Handles a message; FALSE means "not handled, go on".
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The window's own processing of the message being dispatched: the
    // original procedure of a subclassed control. Handlers call it for
    // "do this, then the default".
    LRESULT Default();
    // Offers a parent's message about a child to that child.
    static BOOL ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Runs OnWndMsg with the message recorded for Default().
    BOOL Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    struct Msg {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    Msg m_current{};
    bool m_bSubclassed = false;
};

class CDataExchange {
public:
    explicit CDataExchange(CWnd* pDlg, bool bAttachOnly = false) : m_pDlgWnd(pDlg), m_bAttachOnly(bAttachOnly) {}
    CWnd* m_pDlgWnd;
    // Attach the controls only; a later exchange subclasses them.
    bool m_bAttachOnly;
};

// Binds a member control to the dialog item of that id (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    CDialog(UINT nIDTemplate, CWnd* pParent) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent) {}

    // Runs the dialog modally from the executable's template.
    virtual INT_PTR DoModal();
    // Creates it modeless instead (tests, tools); DestroyWindow ends it.
    BOOL Create(CWnd* pParent = nullptr);
    void EndDialog(INT_PTR nResult) { ::EndDialog(m_hWnd, nResult); }

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND that no child consumed. TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};

class CButton : public CWnd {
public:
    int GetCheck() const { return (int)::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0); }
    void SetCheck(int nCheck) { ::SendMessageW(m_hWnd, BM_SETCHECK, nCheck, 0); }
};

class CStatic : public CWnd {};

class CProgressCtrl : public CWnd {
public:
    void SetRange(short lo, short hi) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lo, hi)); }
    int SetStep(int n) { return (int)SendMessage(PBM_SETSTEP, n); }
    int SetPos(int n) { return (int)SendMessage(PBM_SETPOS, n); }
    int GetPos() { return (int)SendMessage(PBM_GETPOS); }
    int StepIt() { return (int)SendMessage(PBM_STEPIT); }
};
