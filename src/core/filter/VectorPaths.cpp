#include "filter/VectorPaths.h"

#include <atomic>

namespace lumacut::fast {

namespace {
std::atomic<bool> g_allowed{true};
} // namespace

bool UseAvx2()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool have = __builtin_cpu_supports("avx2");
    return have && g_allowed.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

void AllowVectorPaths(bool allow)
{
    g_allowed = allow;
}

} // namespace lumacut::fast
