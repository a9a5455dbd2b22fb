// CDibView: clipboard copy and paste.
#include "view/CDibView.h"

namespace lumacut {

void CDibView::RegisterClipboardCommands()
{
    // Copy and paste register here with m_commands.On(id, handler, update).
}

} // namespace lumacut
