// SPDX-License-Identifier: GPL-2.0-or-later
// Strevio: turns a folder of photos into a film.

#include "app/cstrevioapp.h"
#include "app/terminationsignals.h"
#include "res/resource.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    if (!TerminationSignals::install())
        qWarning("Strevio: the handlers of SIGTERM, SIGINT and SIGHUP could not be installed; "
                 "these signals end the program at once.");
    QApplication::setApplicationVersion(QString::fromLatin1(kStrevioVersion));
    QApplication::setDesktopFileName(QStringLiteral("strevio"));
    RegisterStrevioResources();
    CStrevioApp theApp;
    if (!theApp.InitInstance())
        return 1;
    return theApp.Run();
}
