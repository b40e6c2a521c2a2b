// A tiny add-on for the loader tests.
#include <cstdint>

extern "C" {

int32_t kernel_test_addon_add(int32_t a, int32_t b) {
    return a + b;
}

int32_t kernel_test_addon_value = 42;
}
