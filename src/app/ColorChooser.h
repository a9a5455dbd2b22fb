#pragma once
// The system colour dialog as a question: given an initial 0x00BBGGRR colour,
// the colour chosen, or false when the dialog was cancelled. The dialog runs
// through the modal runner (CDialogBase.h), so tests answer it there.
#include <cstdint>

namespace lumacut {

bool ChooseSystemColor(std::uint32_t initial, std::uint32_t& chosen);

} // namespace lumacut
