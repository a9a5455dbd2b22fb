#pragma once
// A picture's bytes, for comparing renders byte for byte.
#include "picture/CPicture.h"
#include "picture/Dib.h"

#include <cstdint>
#include <vector>

namespace lumacut::test {

// Header, colour table and rows (a reused block may be longer than the
// picture it holds).
inline std::vector<std::uint8_t> PictureBytes(const CPicture& p)
{
    if (!p.Block())
        return {};
    auto size = static_cast<std::size_t>(DibSize(p.Width(), p.Height(), p.BitCount(), p.Colors()));
    if (size > p.Block().Size())
        size = p.Block().Size();
    return std::vector<std::uint8_t>(p.Block().Data(), p.Block().Data() + size);
}

// The whole block.
inline std::vector<std::uint8_t> BlockBytes(const CPicture& p)
{
    if (!p.Block())
        return {};
    return std::vector<std::uint8_t>(p.Block().Data(), p.Block().Data() + p.Block().Size());
}

// Every render of the editor gives the New Picture a block of its own, so a
// render shows as a new block address.
inline const void* BlockAddress(const CPicture& p)
{
    return p.Block().Data();
}

} // namespace lumacut::test
