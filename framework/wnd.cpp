#include "wnd.h"

#include "app.h"

namespace {
// One subclass id for every control this framework takes over.
constexpr UINT_PTR kSubclassId = 0x4658;  // "FX"
// The window property that leads from a window to its object, for
// reflection (a control's own user data stays the control's).
const wchar_t kObjectProp[] = L"FxWndObject";
}  // namespace

CWnd::~CWnd() {
    if (m_bSubclassed && m_hWnd && IsWindow(m_hWnd))
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd)
        return nullptr;
    return static_cast<CWnd*>(GetPropW(hWnd, kObjectProp));
}

BOOL CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd)
        return FALSE;
    m_hWnd = hWnd;
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!hWnd || m_bSubclassed || (m_hWnd && m_hWnd != hWnd))
        return FALSE;
    const bool bAttachedHere = !m_hWnd;
    if (bAttachedHere)
        Attach(hWnd);
    if (!SetWindowSubclass(hWnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        if (bAttachedHere)
            m_hWnd = nullptr;
        return FALSE;
    }
    SetPropW(hWnd, kObjectProp, this);
    m_bSubclassed = true;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    return pParent ? SubclassWindow(::GetDlgItem(pParent->m_hWnd, (int)nID)) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    HWND h = m_hWnd;
    if (m_bSubclassed) {
        RemoveWindowSubclass(h, SubclassProc, kSubclassId);
        RemovePropW(h, kObjectProp);
    }
    m_bSubclassed = false;
    m_hWnd = nullptr;
    return h;
}

namespace {

BOOL ModifyLong(HWND hWnd, int index, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD old = (DWORD)GetWindowLongPtrW(hWnd, index);
    DWORD now = (old & ~dwRemove) | dwAdd;
    if (now == old)
        return FALSE;
    SetWindowLongPtrW(hWnd, index, (LONG_PTR)now);
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        *pResult = TRUE;
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    HWND child = nullptr;
    switch (message) {
    case WM_DRAWITEM:
        child = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem;
        break;
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<LPNMHDR>(lParam)->hwndFrom;
        break;
    default:
        return FALSE;
    }
    CWnd* p = FromHandlePermanent(child);
    return p ? p->OnChildNotify(message, wParam, lParam, pResult) : FALSE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectToChild(message, wParam, lParam, pResult);
}

BOOL CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    Msg saved = m_current;  // messages nest: keep the outer one for Default()
    m_current = {message, wParam, lParam};
    BOOL handled = OnWndMsg(message, wParam, lParam, pResult);
    m_current = saved;
    return handled;
}

LRESULT CWnd::Default() {
    if (!m_bSubclassed)
        return 0;
    return DefSubclassProc(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    CWnd* self = reinterpret_cast<CWnd*>(ref);
    if (message == WM_NCDESTROY) {
        LRESULT r = DefSubclassProc(hWnd, message, wParam, lParam);
        RemoveWindowSubclass(hWnd, SubclassProc, kSubclassId);
        RemovePropW(hWnd, kObjectProp);
        self->m_bSubclassed = false;
        self->m_hWnd = nullptr;
        return r;
    }
    LRESULT result = 0;
    if (self->Dispatch(message, wParam, lParam, &result))
        return result;
    return DefSubclassProc(hWnd, message, wParam, lParam);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (pDX->m_bAttachOnly) {
        if (!rControl.m_hWnd)
            rControl.Attach(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    } else if (rControl.m_hWnd) {  // attached by an earlier exchange: not looked up again
        rControl.SubclassWindow(rControl.m_hWnd);
    } else {
        rControl.SubclassDlgItem((UINT)nIDC, pDX->m_pDlgWnd);
    }
}

INT_PTR CDialog::DoModal() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    return DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(CWnd* pParent) {
    if (pParent)
        m_pParentWnd = pParent;
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    return CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

BOOL CDialog::OnInitDialog() {
    CDataExchange dx(this);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (CWnd::OnWndMsg(message, wParam, lParam, pResult))
        return TRUE;
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam);
    return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        SetPropW(hWnd, kObjectProp, self);
        return self->OnInitDialog();
    }
    self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hWnd, DWLP_USER, 0);
        RemovePropW(hWnd, kObjectProp);
        self->m_hWnd = nullptr;
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == self)
            app->m_pMainWnd = nullptr;
        return FALSE;
    }
    LRESULT result = 0;
    if (!self->Dispatch(message, wParam, lParam, &result))
        return FALSE;
    // Messages whose answer is the procedure's own return value.
    switch (message) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return (INT_PTR)result;
    }
    SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
