// CDibView: editing commands (Tools menu, clip button).
#include "view/CDibView.h"

namespace lumacut {

void CDibView::RegisterEditCommands()
{
    // The editing commands register here with m_commands.On(id, handler, update).
}

void CDibView::ColorChange(std::uint32_t, bool)
{
}

} // namespace lumacut
