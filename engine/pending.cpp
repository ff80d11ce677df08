// Until the install procedure lands, the silent install reports failure and
// the launch after the wizard starts nothing.
#include "install.h"
#include "programs.h"

BOOL SilentInstall(const wchar_t*) { return FALSE; }
void LaunchInstalledApp(const wchar_t*, const SetupConfig*) {}
