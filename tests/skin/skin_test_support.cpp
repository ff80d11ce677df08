#include "skin_test_support.h"

#include <vector>

#include "winworld.h"

namespace {

// 32-bit pixels, first row on top.
BITMAPINFO TopDown32(int cx, int cy) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

}  // namespace

Picture::Picture(int cx, int cy) : m_cx(cx), m_cy(cy) {
    BITMAPINFO bi = TopDown32(cx, cy);
    void* bits = nullptr;
    m_hbm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_hdc = CreateCompatibleDC(nullptr);
    m_hOld = SelectObject(m_hdc, m_hbm);
}

Picture::~Picture() { Release(); }

void Picture::Release() {
    if (m_hdc) {
        SelectObject(m_hdc, m_hOld);
        DeleteDC(m_hdc);
    }
    if (m_hbm)
        DeleteObject(m_hbm);
    m_hdc = nullptr;
    m_hbm = nullptr;
    m_bits = nullptr;
    m_cx = m_cy = 0;
}

Picture::Picture(Picture&& o) noexcept { *this = static_cast<Picture&&>(o); }

Picture& Picture::operator=(Picture&& o) noexcept {
    if (this != &o) {
        Release();
        m_cx = o.m_cx;
        m_cy = o.m_cy;
        m_hdc = o.m_hdc;
        m_hbm = o.m_hbm;
        m_hOld = o.m_hOld;
        m_bits = o.m_bits;
        o.m_hdc = nullptr;
        o.m_hbm = nullptr;
        o.m_bits = nullptr;
        o.m_cx = o.m_cy = 0;
    }
    return *this;
}

COLORREF Picture::At(int x, int y) const {
    if (!m_bits || x < 0 || y < 0 || x >= m_cx || y >= m_cy)
        return CLR_INVALID;
    GdiFlush();
    DWORD px = m_bits[(size_t)y * m_cx + x];
    return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
}

void Picture::Fill(COLORREF cr) {
    HBRUSH br = CreateSolidBrush(cr);
    RECT rc = {0, 0, m_cx, m_cy};
    FillRect(m_hdc, &rc, br);
    DeleteObject(br);
}

bool Picture::SameAs(const Picture& other, int x, int y, int cx, int cy, int ox, int oy, POINT* pWhere) const {
    for (int j = 0; j < cy; ++j)
        for (int i = 0; i < cx; ++i)
            if (At(x + i, y + j) != other.At(ox + i, oy + j)) {
                if (pWhere)
                    *pWhere = {x + i, y + j};
                return false;
            }
    return true;
}

int Picture::Count(const std::function<bool(COLORREF)>& pred) const {
    int n = 0;
    for (int y = 0; y < m_cy; ++y)
        for (int x = 0; x < m_cx; ++x)
            if (pred(At(x, y)))
                ++n;
    return n;
}

bool Picture::SaveBmp(const std::wstring& path) const {
    if (!m_bits)
        return false;
    GdiFlush();
    // Bottom-up 24-bit: what every viewer and converter reads.
    const int stride = (m_cx * 3 + 3) & ~3;
    std::vector<unsigned char> data((size_t)stride * m_cy);
    for (int y = 0; y < m_cy; ++y) {
        unsigned char* row = &data[(size_t)(m_cy - 1 - y) * stride];
        for (int x = 0; x < m_cx; ++x) {
            DWORD px = m_bits[(size_t)y * m_cx + x];
            row[x * 3 + 0] = px & 0xFF;
            row[x * 3 + 1] = (px >> 8) & 0xFF;
            row[x * 3 + 2] = (px >> 16) & 0xFF;
        }
    }
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = m_cx;
    bih.biHeight = m_cy;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = (DWORD)data.size();
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
    bfh.bfSize = bfh.bfOffBits + bih.biSizeImage;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD n;
    bool ok = WriteFile(h, &bfh, sizeof(bfh), &n, nullptr) && WriteFile(h, &bih, sizeof(bih), &n, nullptr) &&
              WriteFile(h, data.data(), (DWORD)data.size(), &n, nullptr);
    CloseHandle(h);
    return ok;
}

HBITMAP MakeBitmap(int cx, int cy, const std::function<COLORREF(int, int)>& pixel) {
    std::vector<DWORD> bits((size_t)cx * cy);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x) {
            COLORREF c = pixel(x, y);
            bits[(size_t)y * cx + x] = (DWORD)GetRValue(c) << 16 | (DWORD)GetGValue(c) << 8 | GetBValue(c);
        }
    BITMAPINFO bi = TopDown32(cx, cy);
    HDC screen = GetDC(nullptr);
    HBITMAP hbm = CreateCompatibleBitmap(screen, cx, cy);
    SetDIBits(screen, hbm, 0, cy, bits.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return hbm;
}

Picture PictureOf(HBITMAP hbm) {
    BITMAP bm = {};
    GetObjectW(hbm, sizeof(bm), &bm);
    Picture p(bm.bmWidth, bm.bmHeight);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, hbm);
    BitBlt(p.Dc(), 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    return p;
}

Picture ResourcePicture(UINT id) {
    HBITMAP hbm = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    if (!hbm)
        return Picture();
    Picture p = PictureOf(hbm);
    DeleteObject(hbm);
    return p;
}

Picture CaptureClient(HWND hWnd) {
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    RECT rc;
    GetClientRect(hWnd, &rc);
    Picture p(rc.right, rc.bottom);
    HDC hdc = GetDC(hWnd);
    BitBlt(p.Dc(), 0, 0, rc.right, rc.bottom, hdc, 0, 0, SRCCOPY);
    ReleaseDC(hWnd, hdc);
    return p;
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (GetTickCount() - start >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start >= timeoutMs)
            return pred();
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::wstring ArtifactsDir() {
    std::wstring dir = BuildDir() + L"\\artifacts\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

// The rule itself: GetPixel on every pixel, one rectangle per maximal run
// of non-key pixels, each OR-ed into the result.
HRGN PerPixelRegion(HBITMAP hbm, COLORREF key) {
    BITMAP bm = {};
    GetObjectW(hbm, sizeof(bm), &bm);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, hbm);
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < bm.bmHeight; ++y) {
        int x = 0;
        while (x < bm.bmWidth) {
            int start = x;
            while (x < bm.bmWidth && GetPixel(mem, x, y) != key)
                ++x;
            if (x > start) {
                HRGN r = CreateRectRgn(start, y, x, y + 1);
                CombineRgn(result, result, r, RGN_OR);
                DeleteObject(r);
            }
            ++x;
        }
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    return result;
}
