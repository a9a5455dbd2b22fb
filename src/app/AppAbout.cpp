// The application's About command.
#include "app/CLumacutApp.h"

namespace lumacut {

void CLumacutApp::OnAppAbout()
{
    // Shows CAboutDlg with the help text once the about box is written.
}

} // namespace lumacut
