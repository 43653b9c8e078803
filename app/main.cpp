// Strevio: turns a folder of photos into a film.

#include "app/cstrevioapp.h"
#include "res/resource.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(kStrevioVersion));
    QApplication::setDesktopFileName(QStringLiteral("strevio"));
    RegisterStrevioResources();
    CStrevioApp theApp;
    if (!theApp.InitInstance())
        return 1;
    return theApp.Run();
}
