#include <doctest/doctest.h>

// Linked only when the test program has no main of its own.
int main(int argc, char** argv) { return doctest::Context(argc, argv).run(); }
