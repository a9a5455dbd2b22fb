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
    if (!p.m_hDib)
        return {};
    auto size = static_cast<std::size_t>(DibSize(p.m_width, p.m_height, p.m_bitCount, p.m_colors));
    if (size > p.m_hDib.Size())
        size = p.m_hDib.Size();
    return std::vector<std::uint8_t>(p.m_hDib.Data(), p.m_hDib.Data() + size);
}

// The whole block.
inline std::vector<std::uint8_t> BlockBytes(const CPicture& p)
{
    if (!p.m_hDib)
        return {};
    return std::vector<std::uint8_t>(p.m_hDib.Data(), p.m_hDib.Data() + p.m_hDib.Size());
}

// Every render of the editor gives the New Picture a block of its own, so a
// render shows as a new block address.
inline const void* BlockAddress(const CPicture& p)
{
    return p.m_hDib.Data();
}

} // namespace lumacut::test
