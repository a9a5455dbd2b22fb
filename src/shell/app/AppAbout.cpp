// The application's About command.
#include "app/CAboutDlg.h"
#include "app/CLumacutApp.h"

namespace lumacut {

void CLumacutApp::OnAppAbout()
{
    RunAboutBox();
}

} // namespace lumacut
