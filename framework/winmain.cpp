// The process entry point of a framework program; linked into the executable
// only, so that tests can use the framework with their own main.
#include "app.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) { return AfxWinMain(hInstance); }
