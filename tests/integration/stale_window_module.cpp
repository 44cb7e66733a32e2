// A window module of another build: a shared object that loads, whose entry point has another version
// than the program asks for.

#include <cstddef>

extern "C" __attribute__((visibility("default"))) int tarnwell_window_main_v0(int*, char**, const char*, std::size_t) {
    return 0;
}
