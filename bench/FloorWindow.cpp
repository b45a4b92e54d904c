// The floor of the start-up benchmark: the least a Qt Widgets program can put on the screen,
// one label in a window of its own. Tarvona's start is measured against it.
#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Тарвона"));
    label.show();
    return QApplication::exec();
}
