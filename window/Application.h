#pragma once

class QApplication;
class QTranslator;

namespace tarvona {

/// Sets up the application the way the window expects it: a style that paints the form's
/// colours, and Qt's own texts (context menus, dialogs) in Bulgarian where a translation is
/// installed. A missing translation is not an error: the program starts without it.
void prepareApplication(QApplication &app, QTranslator &translator);

} // namespace tarvona
