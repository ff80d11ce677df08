// Pixels for the skin tests: pictures read back from GDI, bitmaps made to
// order, captures of real windows, and the message pump.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// A 32-bit top-down DIB section with its own memory context, to draw into
// and to read pixels from.
class Picture {
public:
    Picture() = default;
    Picture(int cx, int cy);
    ~Picture();
    Picture(Picture&& o) noexcept;
    Picture& operator=(Picture&& o) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    HDC Dc() const { return m_hdc; }
    explicit operator bool() const { return m_bits != nullptr; }

    COLORREF At(int x, int y) const;
    void Fill(COLORREF cr);
    // Pixels of this picture at (x, y) .. (x + cx, y + cy) equal those of
    // other at (ox, oy); the first difference goes to *pWhere.
    bool SameAs(const Picture& other, int x, int y, int cx, int cy, int ox, int oy, POINT* pWhere = nullptr) const;
    int Count(const std::function<bool(COLORREF)>& pred) const;
    bool SaveBmp(const std::wstring& path) const;

private:
    void Release();
    int m_cx = 0, m_cy = 0;
    HDC m_hdc = nullptr;
    HBITMAP m_hbm = nullptr;
    HGDIOBJ m_hOld = nullptr;
    DWORD* m_bits = nullptr;
};

// A device-dependent bitmap of the display's kind with the given pixels.
// The region rule itself, for comparison: GetPixel on every pixel, one
// rectangle per maximal run of non-key pixels, each OR-ed into the result.
HRGN PerPixelRegion(HBITMAP hbm, COLORREF key);

HBITMAP MakeBitmap(int cx, int cy, const std::function<COLORREF(int, int)>& pixel);
// A copy of a bitmap's pixels.
Picture PictureOf(HBITMAP hbm);
// A bitmap resource of this program, as a picture.
Picture ResourcePicture(UINT id);

// The client area of a window as it is on the screen, after every pending
// paint of it and its children has run.
Picture CaptureClient(HWND hWnd);

// Runs the messages waiting for this thread; with a time, keeps doing so
// until it has passed.
void Pump(DWORD ms = 0);
// Pumps until pred() holds or timeoutMs has passed; what pred() says last.
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs);

// <build>/artifacts/, created on demand.
std::wstring ArtifactsDir();
