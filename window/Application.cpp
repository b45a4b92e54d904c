#include "Application.h"

#include "TarvonaStyle.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QTranslator>

// The icon images are a resource of the static window library, and the linker keeps a
// library's resource only when something refers to it. Qt's macro declares the resource's
// registration function where it is used, so this must stay outside every namespace.
static void registerBuiltInResources()
{
    Q_INIT_RESOURCE(tarvona);
}

namespace tarvona {

ApplicationResources installedResources()
{
    registerBuiltInResources();
    // Only the sizes a window manager draws a window's icon at: all of them are sent to the
    // display server when the window opens, and the desktop takes larger ones from the
    // installed icon theme.
    QStringList icons;
    for (int size : {16, 32, 48, 64}) {
        icons.append(QStringLiteral(":/icons/%1x%1.png").arg(size));
    }
    return {.translationsDirectory = QLibraryInfo::path(QLibraryInfo::TranslationsPath), .iconFiles = icons};
}

bool installQtTranslation(QTranslator &translator, const QString &directory)
{
    const QLocale bulgarian(QLocale::Bulgarian, QLocale::Bulgaria);
    if (!translator.load(bulgarian, QStringLiteral("qtbase"), QStringLiteral("_"), directory)) {
        return false;
    }
    return QApplication::installTranslator(&translator);
}

QIcon loadIcon(const QStringList &files)
{
    QIcon icon;
    for (const QString &file : files) {
        // Each file is decoded here, and only a picture that decodes whole is added: QIcon
        // itself takes a damaged file on trust (newer Qt reads only its header), and would
        // then have nothing to draw.
        const QImage image(file);
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}

void prepareApplication(QApplication &app, QTranslator &translator, const ApplicationResources &resources)
{
    QApplication::setApplicationName(QStringLiteral("Tarvona"));
    QApplication::setApplicationDisplayName(QStringLiteral("Тарвона"));
    // Lets the desktop match the window to its launcher and icon (Wayland's app id).
    QGuiApplication::setDesktopFileName(ApplicationId);
    // The form's colours are part of its design: native styles would draw the buttons and
    // frames in the desktop theme's colours instead, so the window brings its own style.
    auto *style = new TarvonaStyle;
    style->setParent(&app);
    QApplication::setStyle(style);

    const QIcon icon = loadIcon(resources.iconFiles);
    if (icon.isNull()) {
        qWarning("Tarvona: the window icon could not be read; the window opens without one");
    }
    QApplication::setWindowIcon(icon);

    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    if (!installQtTranslation(translator, resources.translationsDirectory)) {
        qWarning("Tarvona: Qt's Bulgarian translation was not found; Qt's own texts stay in English");
    }
}

} // namespace tarvona
