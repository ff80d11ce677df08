// Wall times of the built package's silent install (setup.exe s, fresh and
// repeated) and of the uninstall procedure over it, beside the start of a
// program that does nothing, under this prefix's Wine. Prints figures; it
// asserts nothing about them.
#include <stdio.h>

#include <algorithm>

#include "../../engine/config.h"
#include "../../engine/flags.h"
#include "../../engine/install.h"
#include "engine_world.h"

namespace {

double NowMs() {
    static LARGE_INTEGER freq = {};
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / freq.QuadPart;
}

struct Series {
    const char* name;
    std::vector<double> ms;
    void Print() const {
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        if (s.empty())
            return;
        printf("%-44s %3u   %8.0f %8.0f %8.0f\n", name, (unsigned)s.size(), s.front(), s[s.size() / 2], s.back());
    }
};

// Runs a command line to its end; its wall time, or a negative value when it
// did not start, did not end or did not exit with 0.
double TimeRun(const std::wstring& cmd) {
    double start = NowMs();
    DWORD code = 999;
    bool ended = RunAndWait(cmd, 120000, &code);
    double elapsed = NowMs() - start;
    return ended && code == 0 ? elapsed : -1;
}

}  // namespace

int main() {
    g_bWow64 = IsWow64();
    g_bNT6 = IsNT6();
    const AppNames n{L"VKP709", L"Tarvex Array Console"};
    const std::wstring setup = L"\"" + PackageDir() + L"setup.exe\" s";
    const std::wstring noop = L"\"" + BuildDir() + L"\\tests\\engine\\bench_noop.exe\"";
    const std::wstring dir = InstallDirOf(n, false);
    const int rounds = 3;
    bool ok = true;

    Series floor{"trivial program (floor)", {}}, fresh{"silent install, fresh", {}},
        repeat{"silent install, over an installation", {}}, uninstall{"uninstall procedure", {}};
    TimeRun(noop);  // the first start warms Wine's caches
    for (int i = 0; i < 2 * rounds; ++i) {
        double t = TimeRun(noop);
        ok = ok && t >= 0;
        floor.ms.push_back(t);
    }
    for (int i = 0; i < rounds; ++i) {
        Scrub(n);
        double t = TimeRun(setup);
        ok = ok && t >= 0;
        fresh.ms.push_back(t);
        t = TimeRun(setup);
        ok = ok && t >= 0;
        repeat.ms.push_back(t);

        SetupConfig cfg;
        ReadSetupConfig((dir + L"\\Uninstall\\").c_str(), &cfg);
        double start = NowMs();
        ok = UninstallPackage(&cfg) && ok;
        uninstall.ms.push_back(NowMs() - start);
    }
    Scrub(n);

    printf("\nWall times under Wine (%s), milliseconds\n", g_bNT6 ? "Windows 6 prefix" : "pre-6 prefix");
    printf("%-44s %3s   %8s %8s %8s\n", "", "runs", "min", "median", "max");
    floor.Print();
    fresh.Print();
    repeat.Print();
    uninstall.Print();
    if (g_bNT6)
        printf(
            "Fixed pauses included: 2000 ms in the repeated install and in the uninstall (service helper -k, -u).\n");
    printf("%s\n", ok ? "all runs succeeded" : "a run FAILED");
    return ok ? 0 : 1;
}
