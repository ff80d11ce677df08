// The test programs' entry point; each program's cases come with it.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "harness.h"
