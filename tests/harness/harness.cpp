// The test programs' entry point; each program's cases come with it.
#define DOCTEST_CONFIG_IMPLEMENT
#include "harness.h"

static int g_argc;
static char** g_argv;

const char* Arg(const char* prefix) {
    for (int i = 1; i < g_argc; ++i)
        if (strncmp(g_argv[i], prefix, strlen(prefix)) == 0)
            return g_argv[i] + strlen(prefix);
    return nullptr;
}

int main(int argc, char** argv) {
    g_argc = argc;
    g_argv = argv;
    return doctest::Context(argc, argv).run();
}
