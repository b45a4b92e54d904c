#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

class QApplication;
class QIcon;
class QTranslator;

namespace tarvona {

/// The name the desktop knows the program by: its desktop entry, AppStream component and icon
/// are all called this.
inline constexpr QLatin1String ApplicationId("org.tarvona.Tarvona");

/// Where the program finds what it can start without: Qt's own translations and the images of
/// its window icon.
struct ApplicationResources
{
    QString translationsDirectory;
    QStringList iconFiles;
};

/// Qt's installed translations and the icon images built into the program.
ApplicationResources installedResources();

/// Loads Qt's Bulgarian translation from the directory into the translator and installs it in
/// the application. A missing or unreadable translation installs nothing and gives false.
bool installQtTranslation(QTranslator &translator, const QString &directory);

/// An icon holding every image among the files that can be read. A missing or damaged file adds
/// nothing, so with none readable the icon is null.
QIcon loadIcon(const QStringList &files);

/// Sets up the application the way the window expects it: its name and desktop id, a style
/// that paints the form's colours, the window icon, and Qt's own texts (context menus, dialogs)
/// in Bulgarian. A missing or damaged translation or icon is not an error: the program starts
/// with what it has.
void prepareApplication(
    QApplication &app, QTranslator &translator, const ApplicationResources &resources = installedResources());

} // namespace tarvona
