#include "picture/MemBlock.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace lumacut {

namespace {
// From here on a block is mapped on its own: a 2 MB huge page is then
// worth asking for.
constexpr std::size_t kMappedFrom = std::size_t{4} << 20;
} // namespace

CMemBlock CMemBlock::Allocate(std::size_t size)
{
    CMemBlock block;
    if (size == 0)
        return block;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size >= kMappedFrom) {
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            return block;
        madvise(p, size, MADV_HUGEPAGE); // only advice: a refusal changes nothing
        block.m_data = std::unique_ptr<std::uint8_t, BlockDeleter>(static_cast<std::uint8_t*>(p), BlockDeleter{size});
        block.m_size = size;
        return block;
    }
#endif
    block.m_data.reset(static_cast<std::uint8_t*>(std::calloc(size, 1)));
    if (block.m_data)
        block.m_size = size;
    return block;
}

void BlockDeleter::operator()(std::uint8_t* p) const
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (mapped) {
        munmap(p, mapped);
        return;
    }
#endif
    std::free(p);
}

} // namespace lumacut
