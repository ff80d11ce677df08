#include "accessible.h"

#include <new>

namespace {

bool IsSelf(const VARIANT& v) { return v.vt == VT_I4 && v.lVal == CHILDID_SELF; }

// One per request. Calls come on the control's thread; the control is asked
// only while its window is still the one it answered for.
class SkinAccessible final : public IAccessible {
public:
    SkinAccessible(IAccessible* pStandard, CWnd* pOwner, AccessibleSource* pSource)
        : m_pStd(pStandard), m_hWnd(pOwner->GetSafeHwnd()), m_pOwner(pOwner), m_pSource(pSource) {}

    // IUnknown: what this object is not (IEnumVARIANT, IOleWindow and so
    // on), the standard object is.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
            *ppv = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return m_pStd->QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&m_nRef); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = InterlockedDecrement(&m_nRef);
        if (n == 0) {
            m_pStd->Release();
            this->~SkinAccessible();
            HeapFree(GetProcessHeap(), 0, this);
        }
        return (ULONG)n;
    }

    // IDispatch, as the standard object has it.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* p) override { return m_pStd->GetTypeInfoCount(p); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** pp) override {
        return m_pStd->GetTypeInfo(i, lcid, pp);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT n, LCID lcid, DISPID* ids) override {
        return m_pStd->GetIDsOfNames(riid, names, n, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT* arg) override {
        return m_pStd->Invoke(id, riid, lcid, flags, params, result, info, arg);
    }

    // What the control says of itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* p) override {
        AccessibleSource* src = Source(child);
        if (!src)
            return m_pStd->get_accName(child, p);
        const CString name = src->AccName();
        *p = name.IsEmpty() ? nullptr : SysAllocString(name);
        return name.IsEmpty() ? S_FALSE : *p ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* p) override {
        AccessibleSource* src = Source(child);
        if (!src)
            return m_pStd->get_accRole(child, p);
        p->vt = VT_I4;
        p->lVal = src->AccRole();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* p) override {
        AccessibleSource* src = Source(child);
        if (!src)
            return m_pStd->get_accState(child, p);
        VARIANT standard;
        standard.vt = VT_EMPTY;
        const DWORD dw = SUCCEEDED(m_pStd->get_accState(child, &standard)) && standard.vt == VT_I4 ? standard.lVal : 0;
        p->vt = VT_I4;
        p->lVal = (LONG)src->AccState(dw);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* p) override {
        AccessibleSource* src = Source(child);
        if (!src)
            return m_pStd->get_accDefaultAction(child, p);
        const wchar_t* psz = src->AccDefaultAction();
        *p = psz ? SysAllocString(psz) : nullptr;
        return !psz ? S_FALSE : *p ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        AccessibleSource* src = Source(child);
        if (!src)
            return m_pStd->accDoDefaultAction(child);
        return src->AccDoDefaultAction() ? S_OK : DISP_E_MEMBERNOTFOUND;
    }

    // The rest: the standard object's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** pp) override { return m_pStd->get_accParent(pp); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* p) override { return m_pStd->get_accChildCount(p); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** pp) override {
        return m_pStd->get_accChild(child, pp);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* p) override { return m_pStd->get_accValue(child, p); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* p) override {
        return m_pStd->get_accDescription(child, p);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* p) override { return m_pStd->get_accHelp(child, p); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return m_pStd->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* p) override {
        return m_pStd->get_accKeyboardShortcut(child, p);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* p) override { return m_pStd->get_accFocus(p); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* p) override { return m_pStd->get_accSelection(p); }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return m_pStd->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* cx, LONG* cy, VARIANT child) override {
        return m_pStd->accLocation(x, y, cx, cy, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG dir, VARIANT start, VARIANT* p) override {
        return m_pStd->accNavigate(dir, start, p);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* p) override { return m_pStd->accHitTest(x, y, p); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_pStd->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_pStd->put_accValue(child, value);
    }

private:
    ~SkinAccessible() = default;
    AccessibleSource* Source(const VARIANT& child) const {
        return IsSelf(child) && CWnd::FromHandlePermanent(m_hWnd) == m_pOwner ? m_pSource : nullptr;
    }

    LONG m_nRef = 1;
    IAccessible* m_pStd;
    HWND m_hWnd;
    CWnd* m_pOwner;
    AccessibleSource* m_pSource;
};

}  // namespace

BOOL AnswerGetObject(CWnd* pOwner, AccessibleSource* pSource, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if ((LONG)(DWORD)lParam != OBJID_CLIENT)
        return FALSE;
    // Handing the object to another process takes COM on this thread; the
    // first request sets it up, and it stays for the thread's life.
    static bool s_bCom = false;
    if (!s_bCom)
        s_bCom = SUCCEEDED(CoInitialize(nullptr));
    IAccessible* pStd = nullptr;
    if (FAILED(CreateStdAccessibleObject(pOwner->GetSafeHwnd(), OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&pStd))))
        return FALSE;
    // From the heap by hand: the library's operator new would bring its
    // exception support into setup.exe.
    void* pMem = HeapAlloc(GetProcessHeap(), 0, sizeof(SkinAccessible));
    if (!pMem) {
        pStd->Release();
        return FALSE;
    }
    SkinAccessible* pAcc = ::new (pMem) SkinAccessible(pStd, pOwner, pSource);
    *pResult = LresultFromObject(__uuidof(IAccessible), wParam, pAcc);
    pAcc->Release();
    return TRUE;
}

DWORD AccEnabledFocusState(HWND hWnd, DWORD dwStandard, BOOL bFocusable) {
    DWORD dw = dwStandard & ~(STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    if (!::IsWindowEnabled(hWnd))
        return dw | STATE_SYSTEM_UNAVAILABLE;
    if (bFocusable)
        dw |= STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == hWnd)
        dw |= STATE_SYSTEM_FOCUSED;
    return dw;
}

void AccNotify(DWORD dwEvent, HWND hWnd) { ::NotifyWinEvent(dwEvent, hWnd, OBJID_CLIENT, CHILDID_SELF); }

CString AccNameFromCaption(HWND hWnd) {
    const CString caption = CString::FromWindowText(hWnd);
    CString name;
    for (int i = 0; i < caption.GetLength(); ++i) {
        if (caption.GetAt(i) == L'&')
            ++i;
        if (i < caption.GetLength())
            name += caption.GetAt(i);
    }
    return name;
}
