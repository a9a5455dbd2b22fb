#pragma once
// The memory block that holds a packed DIB: owning, zero-filled on
// allocation, with a stable pointer for its whole life. "Locking" a block is
// just taking its pointer; RAII frees it. Photo-sized blocks are mapped
// straight from the system and asked for huge pages, which take far fewer
// page faults to fill than small ones.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace lumacut {

struct BlockDeleter {
    std::size_t mapped = 0; // bytes mapped, or 0 for the heap
    void operator()(std::uint8_t* p) const;
};

class CMemBlock {
public:
    CMemBlock() = default;

    // A zero-filled block of `size` bytes; an empty block when allocation fails
    // or size is 0.
    static CMemBlock Allocate(std::size_t size);

    explicit operator bool() const { return m_data != nullptr; }
    bool IsNull() const { return m_data == nullptr; }
    std::uint8_t* Data() { return m_data.get(); }
    const std::uint8_t* Data() const { return m_data.get(); }
    std::size_t Size() const { return m_size; }
    void Free()
    {
        m_data.reset();
        m_size = 0;
    }

private:
    std::unique_ptr<std::uint8_t, BlockDeleter> m_data;
    std::size_t m_size = 0;
};

// A new block with the source's bytes; empty for an empty source or when the
// allocation fails.
CMemBlock DuplicateBlock(const CMemBlock& source);
// Copies the whole source into the target; false when either is empty or the
// target is smaller than the source.
bool CopyBlockInto(CMemBlock& target, const CMemBlock& source);

} // namespace lumacut
