// Tests that write below /opt run only inside sandbox/sv-sandbox.
#pragma once

#include <cstdlib>
#include <cstring>

inline bool sv_inside_sandbox()
{
    const char* inside = std::getenv("SV_SANDBOX_INSIDE");
    return inside && std::strcmp(inside, "1") == 0;
}

#define SV_REQUIRE_SANDBOX()                                                              \
    do {                                                                                  \
        if (!sv_inside_sandbox())                                                         \
            QFAIL("this test writes /opt/sarvelin/etc: run it through sandbox/sv-sandbox"); \
    } while (0)
