#include "file/os_file.h"

namespace tolvarinth::os_fault {

namespace {
std::int64_t g_failAt = 0;  // call number that fails, 0 for none
std::int64_t g_calls = 0;
}  // namespace

void FailCall(std::int64_t n) {
    g_calls = 0;
    g_failAt = n > 0 ? n : 0;
}

std::int64_t CallsMade() { return g_calls; }

void Reset() {
    g_calls = 0;
    g_failAt = 0;
}

bool NextCallFails() {
    ++g_calls;
    if (g_failAt != 0 && g_calls == g_failAt) {
        g_failAt = 0;
        return true;
    }
    return false;
}

}  // namespace tolvarinth::os_fault
