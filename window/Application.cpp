#include "Application.h"

#include "TarvonaStyle.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tarvona {

void prepareApplication(QApplication &app, QTranslator &translator)
{
    QApplication::setApplicationName(QStringLiteral("Tarvona"));
    QApplication::setApplicationDisplayName(QStringLiteral("Тарвона"));
    // The form's colours are part of its design: native styles would draw the buttons and
    // frames in the desktop theme's colours instead, so the window brings its own style.
    auto *style = new TarvonaStyle;
    style->setParent(&app);
    QApplication::setStyle(style);

    const QLocale bulgarian(QLocale::Bulgarian, QLocale::Bulgaria);
    QLocale::setDefault(bulgarian);
    if (translator.load(bulgarian, QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&translator);
    } else {
        qWarning("Tarvona: Qt's Bulgarian translation was not found; Qt's own texts stay in English");
    }
}

} // namespace tarvona
