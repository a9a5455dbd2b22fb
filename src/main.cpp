// The Lumacut editor.
#include "app/CLumacutApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Lumacut"));
    QApplication::setApplicationName(QStringLiteral("lumacut"));
    QApplication::setDesktopFileName(QStringLiteral("lumacut"));

    lumacut::CLumacutApp app;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!app.InitInstance(arguments))
        return 1;
    return QApplication::exec();
}
