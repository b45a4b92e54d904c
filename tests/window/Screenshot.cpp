// Renders the window, after two answers of a short game played with real clicks, to the
// PNG file named on the command line. The README's picture is made with it.
#include "Application.h"
#include "TarvonaWindow.h"

#include <QApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTranslator>

#include <cstdio>

namespace {

void click(QWidget *widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

void pick(tarvona::TarvonaWindow &window, int author, const QString &title)
{
    auto *option = window.findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(author));
    click(option, option->rect().center());
    auto *works = window.findChild<QListWidget *>(QStringLiteral("List1_0"));
    QListWidgetItem *item = works->findItems(title, Qt::MatchExactly).value(0);
    if (item == nullptr) {
        return;
    }
    works->scrollToItem(item);
    click(works->viewport(), works->visualItemRect(item).center());
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: tarvona_screenshot OUTPUT.png\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTranslator translator;
    tarvona::prepareApplication(app, translator);
    tarvona::TarvonaWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("tarvona_screenshot: the window was never shown\n", stderr);
        return 1;
    }
    pick(window, 4, QStringLiteral("Антигона"));
    pick(window, 3, QStringLiteral("Медея"));
    pick(window, 2, QString());
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "tarvona_screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
