// Crashes on purpose: reads through a null pointer, which nothing in the program handles, so that the test
// harness can show how an unhandled exception ends a Windows program under Wine.

#include <cstdio>

int main() {
    std::fputs("crash_on_purpose: reading through a null pointer\n", stderr);
    std::fflush(stderr);
    volatile int* volatile nowhere = nullptr;
    return *nowhere;
}
