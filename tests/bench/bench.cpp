// Benchmarks, not timed tests: they print figures and fail only when a
// program does not come up. (The skin's region: about 1 ms, not worth one.)
// Starts are measured in interleaved rounds, so that drift of the machine
// hits every program alike.
#include "harness.h"

#include "engine/config.h"
#include "engine/flags.h"
#include "engine/install.h"
#include "res/resource.h"
#include "skin_layout.h"

namespace {

// Enough rounds that one slow start moves the median little (more on a busy
// machine: SETUP_BENCH_ROUNDS).
const int kRounds = _wtoi(_wgetenv(L"SETUP_BENCH_ROUNDS") ? _wgetenv(L"SETUP_BENCH_ROUNDS") : L"31");

double NowMs() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return t.QuadPart * 1000.0 / f.QuadPart;
}

// The value below which the share q of them lies.
double Quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[(size_t)(q * (double)(v.size() - 1) + 0.5)];
}
double Median(const std::vector<double>& v) { return Quantile(v, 0.5); }

// From the start of a command line to its window shown with the pixel at
// client (x, y) painted in that colour and the program idle, its queue (the
// paints of every control) drained; the window is then closed. The pixel
// alone would be seen once the background is up, before any control.
double StartToPainted(const std::wstring& cmd, int x, int y, COLORREF color) {
    double t0 = NowMs();
    Proc p(cmd);
    // Polled every millisecond: the harness's 20 ms step would be a sixth
    // of the figure.
    HWND hWnd = nullptr;
    WaitUntil([&] { return (hWnd = WaitForWindow(p.pid, L"#32770", nullptr, 0)) != nullptr; }, 30000, 1);
    HDC screen = GetDC(nullptr);
    POINT pt = {x, y};
    ClientToScreen(hWnd, &pt);
    bool painted = hWnd && WaitUntil([&] { return GetPixel(screen, pt.x, pt.y) == color; }, 30000, 1) &&
                   WaitUntil([&] { return WaitForInputIdle(p.h, 0) == 0; }, 30000, 1);
    double ms = NowMs() - t0;
    ReleaseDC(nullptr, screen);
    // Closed as a user closes it, and gone before the next start, so that
    // no round pays for the one before.
    PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
    REQUIRE_MESSAGE(painted, Narrow(cmd));
    p.Wait(10000);
    return ms;
}

}  // namespace

TEST_CASE("start to the painted wizard, beside a bare dialog with the same manifest") {
    const AppNames n{L"BenchWizard", L"Bench Console"};
    std::wstring pkg = CopyPackage(L"bench wizard", IniFor(n)), bare = Q(BuildDir() + L"\\tests\\bench\\bare.exe");
    // (100, 150) lies in the skin's picture panel.
    HBITMAP hPanel = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SKIN_PANEL));
    const uint32_t px = ImageOf(hPanel).At(100 - SKIN_PANEL_X, 150 - SKIN_PANEL_Y);
    const COLORREF face = RGB(px >> 16, (px >> 8) & 0xFF, px & 0xFF), bareFace = GetSysColor(COLOR_BTNFACE);
    DeleteObject(hPanel);
    std::vector<double> wizard, floor, ratio;
    for (int round = -1; round < kRounds; ++round) {  // the first round warms Wine's caches
        double b = StartToPainted(bare, 8, 8, bareFace), w = StartToPainted(Q(pkg + L"setup.exe"), 100, 150, face);
        if (round >= 0)
            floor.push_back(b), wizard.push_back(w), ratio.push_back(w / b);
    }
    printf(
        "start to painted, median of %d rounds: wizard %.0f ms, bare dialog %.0f ms, ratio %.2f (quartiles %.2f, "
        "%.2f)\n",
        kRounds, Median(wizard), Median(floor), Median(ratio), Quantile(ratio, 0.25), Quantile(ratio, 0.75));
}

TEST_CASE("the silent install and the uninstall procedure, beside a program that does nothing") {
    const AppNames n{L"BenchInstall", L"Bench Install Console"};
    const std::wstring setup = Q(CopyPackage(L"bench install", IniFor(n)) + L"setup.exe") + L" s";
    g_bNT6 = IsNT6();
    SetupConfig cfg;
    // A program that does nothing, the silent install, again over it, the uninstall.
    std::vector<double> ms[4];
    for (int round = 0, step; round < 12; ++round) {
        if ((step = round % 4) == 0)
            Scrub(n);
        double t0 = NowMs();
        REQUIRE((step == 0  ? Run(Q(BuildDir() + L"\\tests\\bench\\noop.exe")) == 0
                 : step < 3 ? Run(setup) == 0
                            : (ReadSetupConfig((InstallDirOf(n) + L"\\Uninstall\\").c_str(), &cfg),
                               UninstallPackage(&cfg) == kSetupDone)));
        ms[step].push_back(NowMs() - t0);
    }
    Scrub(n);
    printf("median of 3, ms: program doing nothing %.0f, silent install %.0f, again over it %.0f, uninstall %.0f\n",
           Median(ms[0]), Median(ms[1]), Median(ms[2]), Median(ms[3]));
}
