// Benchmark: from process start to the wizard visible and painted, beside a
// bare Win32 dialog program as the floor, and the peak working set of each.
// Prints figures; fails only when a program does not come up at all.
#include <windows.h>
#include <psapi.h>
#include <stdio.h>

#include <algorithm>
#include <vector>

#include "wizard_driver.h"
#include "winworld.h"

namespace {

constexpr int kRuns = 7;

double NowMs() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

struct Sample {
    double ms;
    SIZE_T peak;
};

// Screen pixels of a window in client coordinates that must read as given
// once the window has painted.
struct Probe {
    int x, y;
    uint32_t rgb;
};

bool Painted(HWND hWnd, const std::vector<Probe>& probes) {
    HDC hdc = GetDC(nullptr);
    bool ok = true;
    for (const Probe& p : probes) {
        POINT pt = ClientToScreenPt(hWnd, p.x, p.y);
        COLORREF c = GetPixel(hdc, pt.x, pt.y);
        uint32_t rgb = ((uint32_t)GetRValue(c) << 16) | ((uint32_t)GetGValue(c) << 8) | GetBValue(c);
        if (rgb != p.rgb) {
            ok = false;
            break;
        }
    }
    ReleaseDC(nullptr, hdc);
    return ok;
}

bool Measure(const std::wstring& cmd, const wchar_t* title, const std::vector<Probe>& probes, Sample* s) {
    Process p;
    double t0 = NowMs();
    StartProcess(cmd, &p);
    if (!p.pid)
        return false;
    HWND hWnd = nullptr;
    bool up = WaitUntil([&] { return (hWnd = FindProcessWindow(p.pid, L"#32770", title)) != nullptr; }, 30000, 1) &&
              WaitUntil([&] { return Painted(hWnd, probes); }, 30000, 1);
    s->ms = NowMs() - t0;
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof(pmc);
    s->peak = GetProcessMemoryInfo(p.hProcess, &pmc, sizeof(pmc)) ? pmc.PeakWorkingSetSize : 0;
    if (hWnd)
        PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (!p.WaitExit(10000))
        p.Kill();
    return up;
}

void Report(const char* what, std::vector<Sample> v) {
    std::sort(v.begin(), v.end(), [](const Sample& a, const Sample& b) { return a.ms < b.ms; });
    SIZE_T peak = 0;
    for (const Sample& s : v)
        peak = std::max(peak, s.peak);
    printf("%-12s start to painted: median %7.1f ms, min %7.1f ms, max %7.1f ms (%d runs); peak working set %u KiB\n",
           what, v[v.size() / 2].ms, v.front().ms, v.back().ms, (int)v.size(), (unsigned)(peak / 1024));
}

}  // namespace

int main() {
    Package pkg = MakePackage(L"wizard_bench", SetupIni("Wizard Bench Console", "WizBench709"));
    Image skin = LoadBmp(ArtPath(L"skin.bmp"));
    Image button = LoadBmp(ArtPath(L"btn_normal.bmp"));
    if (skin.w == 0 || button.w == 0) {
        printf("no artwork in the build tree\n");
        return 1;
    }
    // The face in the picture panel and in the content area, and the Install
    // button's bitmap: the dialog has erased and its buttons have drawn.
    const std::vector<Probe> wizardProbes = {
        {100, 150, skin.At(100, 150)}, {400, 300, skin.At(400, 300)}, {584 - 272 + 4, 380 + 4, button.At(4, 4)}};
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::vector<Probe> bareProbes = {
        {8, 8, ((uint32_t)GetRValue(face) << 16) | ((uint32_t)GetGValue(face) << 8) | GetBValue(face)}};

    const std::wstring bare = BuildDir() + L"\\tests\\wizard\\bare_dialog.exe";
    std::vector<Sample> wiz, floor;
    // One unmeasured start of each warms the file cache and Wine's own DLLs.
    Sample warm;
    if (!Measure(L"\"" + bare + L"\"", L"Bare Dialog", bareProbes, &warm) ||
        !Measure(L"\"" + pkg.Exe() + L"\"", L"Wizard Bench Console - Installation Wizard", wizardProbes, &warm)) {
        printf("a program did not come up\n");
        return 1;
    }
    for (int i = 0; i < kRuns; ++i) {
        Sample s;
        if (!Measure(L"\"" + bare + L"\"", L"Bare Dialog", bareProbes, &s))
            return 1;
        floor.push_back(s);
        if (!Measure(L"\"" + pkg.Exe() + L"\"", L"Wizard Bench Console - Installation Wizard", wizardProbes, &s))
            return 1;
        wiz.push_back(s);
    }
    Report("bare dialog", floor);
    Report("wizard", wiz);
    return 0;
}
