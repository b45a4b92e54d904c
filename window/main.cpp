#include "Application.h"
#include "TarvonaWindow.h"

#include <QApplication>
#include <QTranslator>

#include <cstdio>

int main(int argc, char *argv[])
{
#if defined(Q_OS_LINUX)
    // Without a display Qt aborts with a message about platform plugins; say plainly what
    // is missing instead.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("tarvona: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
        return 1;
    }
#endif
    QApplication app(argc, argv);
    QTranslator translator;
    tarvona::prepareApplication(app, translator);

    tarvona::TarvonaWindow window;
    window.show();
    return QApplication::exec();
}
