#include "Bank.h"
#include "Layout.h"
#include "ListAccessible.h"
#include "MemoryForm.h"
#include "Statement.h"
#include "StatusAnnouncer.h"
#include "TarvonaWindow.h"
#include "TestMain.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <memory>
#include <random>

using namespace tarvona;

#if TARVONA_LIST_ROWS_OF_ITS_OWN
namespace {

// A row's place among the list's rows, as it tells assistive technology: "2 of 9".
QString placeOf(QAccessibleInterface *row)
{
    const auto attributes
        = row->attributesInterface()->attributeValue(QAccessible::Attribute::Custom).value<QHash<QString, QString>>();
    return attributes.value(QStringLiteral("posinset")) + QStringLiteral(" of ")
        + attributes.value(QStringLiteral("setsize"));
}

} // namespace
#endif

// The window driven as a pupil drives it: real mouse clicks and key presses only.
class WindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TarvonaWindow> m_window;

    template<typename Widget> Widget *child(const QString &name) const
    {
        auto *widget = m_window->findChild<Widget *>(name);
        if (widget == nullptr) {
            qFatal("the window has no %s", qPrintable(name));
        }
        return widget;
    }
    QRadioButton *option(int i) const { return child<QRadioButton>(QStringLiteral("Option1_%1").arg(i)); }
    QListWidget *workList() const { return child<QListWidget>(QStringLiteral("List1_0")); }
    QPushButton *restartButton() const { return child<QPushButton>(QStringLiteral("Command1_0")); }
    QPlainTextEdit *logBox() const { return child<QPlainTextEdit>(QStringLiteral("Text1_0")); }

    static QStringList rows(const ChoiceList &list)
    {
        QStringList texts;
        for (int i = 0; i < list.ListCount(); ++i) {
            texts.append(QString::fromStdString(list.List(i)));
        }
        return texts;
    }
    static QStringList rows(const QListWidget *widget)
    {
        QStringList texts;
        for (int i = 0; i < widget->count(); ++i) {
            texts.append(widget->item(i)->text());
        }
        return texts;
    }
    static QStringList allTitles()
    {
        QStringList titles;
        for (const BankEntry &entry : MasterEntries()) {
            titles.append(QString::fromUtf8(entry.title.data(), static_cast<qsizetype>(entry.title.size())));
        }
        return titles;
    }

    // Presses Tab until the focus reaches the widget, as a keyboard user would.
    static void tabTo(QWidget *widget)
    {
        for (int presses = 0; presses < 12 && QApplication::focusWidget() != widget; ++presses) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), widget);
    }
    void clickAuthor(int i) { QTest::mouseClick(option(i), Qt::LeftButton); }
    void clickRow(int row)
    {
        QListWidget *works = workList();
        works->scrollToItem(works->item(row));
        QTest::mouseClick(works->viewport(), Qt::LeftButton, {}, works->visualItemRect(works->item(row)).center());
    }
    void clickWork(const QString &title)
    {
        const QList<QListWidgetItem *> found = workList()->findItems(title, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(title));
        clickRow(workList()->row(found.front()));
    }
    int checkedAuthor() const
    {
        for (int i = 0; i < 5; ++i) {
            if (option(i)->isChecked()) {
                return i;
            }
        }
        return -1;
    }
    void expectFreshDrill()
    {
        QCOMPARE(rows(workList()), allTitles());
        QCOMPARE(rows(m_window->list(1)), (QStringList {"4", "4", "4", "0", "3", "1", "0", "2", "2"}));
        QVERIFY(workList()->selectedItems().isEmpty());
        QCOMPARE(checkedAuthor(), -1);
    }

private slots:
    void init()
    {
        m_window = std::make_unique<TarvonaWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void opensWithTheWholeBankAndTheStatement()
    {
        expectFreshDrill();
        QCOMPARE(m_window->logText(), AssignmentStatement());
        QCOMPARE(QApplication::focusWidget(), logBox());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("tarvona.example  Тарвона"));
        QCOMPARE(child<QPushButton>(QStringLiteral("Command1_0"))->text(), QStringLiteral("Изчисти"));
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(option(i)->text().toStdString(), std::string(AuthorNames()[static_cast<std::size_t>(i)]));
        }
        // The key and master lists have no widget to show, focus or announce.
        QCOMPARE(m_window->findChildren<QListWidget *>().size(), 1);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, (void)m_window->list(4));
        QCOMPARE(rows(m_window->list(2)), allTitles());
    }

    void statementFollowsItsOutline()
    {
        const QString text = QString::fromStdString(AssignmentStatement());
        QVERIFY(text.endsWith(QStringLiteral("\r\n")));
        QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[^\r]\n|\r[^\n]"))));
        const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[0], QStringLiteral("Тарвона, автори и произведения"));
        QCOMPARE(lines[3], QStringLiteral("Тема на проекта: Тарвона, автори и произведения."));
        QCOMPARE(lines[4], QStringLiteral("Проектът да съдържа:"));
        QCOMPARE(lines[6], QStringLiteral("група от радиобутони - представящи имена на автори, азбучно подредени;"));
        QCOMPARE(lines[12], QStringLiteral("Прочете допълнително материал за антични автори и техните произведения."));
        for (int empty : {1, 5, 8}) {
            QVERIFY(lines[empty].isEmpty());
        }
        QVERIFY(lines[2].contains(QStringLiteral("(литература)")));
        QVERIFY(lines[7].endsWith(QLatin1Char('.')));
        QCOMPARE(lines[9].count(QLatin1Char('.')), 3);
        QVERIFY(lines[11].contains(QStringLiteral("Изчисти")));
        // The sentence that names the bank must name exactly the bank.
        QVERIFY(lines[10].endsWith(
            QStringLiteral("произведения: ") + allTitles().join(QStringLiteral(", ")) + QLatin1Char('.')));
        qsizetype from = 0;
        for (std::string_view name : AuthorNames()) {
            const qsizetype at = lines[10].indexOf(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
            QVERIFY(at > from);
            from = at;
        }
        QVERIFY(std::abs(text.size() - 1059) <= 30);
    }

    void everyControlStandsWhereTheLayoutPutsIt()
    {
        QCOMPARE(m_window->size(), QSize(461, 345));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        for (const auto &[name, geometry] : expectedLayout()) {
            QCOMPARE(child<QWidget>(name)->geometry(), geometry);
        }
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(option(i)->parentWidget(), child<QWidget>(QStringLiteral("Frame1")));
            QCOMPARE(option(i)->geometry(), expectedOptionGeometry(i));
        }
        QCOMPARE(child<QLabel>(QStringLiteral("Label1_0"))->alignment(), Qt::AlignCenter);
        QCOMPARE(child<QLabel>(QStringLiteral("Label1_1"))->alignment(), Qt::AlignCenter);
        const QFontInfo font(m_window->font());
        QCOMPARE(font.pointSize(), 12);
        QVERIFY2(
            font.family() == QStringLiteral("Times New Roman") || font.family() == QStringLiteral("Liberation Serif"),
            qPrintable(font.family()));
        QCOMPARE(QFontInfo(logBox()->font()).family(), font.family());
    }

    void paintsTheGivenColours()
    {
        const QImage image = m_window->grab().toImage();
        const QList<QPair<QPoint, QColor>> samples = {
            {{4, 4}, QColor(192, 192, 255)},     // the form
            {{35, 3}, QColor(255, 192, 128)},    // the title
            {{150, 100}, QColor(128, 255, 255)}, // the frame, beside the choices
            {{141, 62}, QColor(128, 255, 128)},  // a choice's bar, past its caption
            {{187, 35}, QColor(255, 192, 128)},  // the work list's heading
            {{380, 151}, QColor(255, 255, 255)}, // the work list
            {{270, 173}, QColor(255, 128, 128)}, // the restart button
            {{420, 325}, QColor(255, 255, 255)}, // the log box
        };
        for (const auto &[point, colour] : samples) {
            QCOMPARE(image.pixelColor(point * image.devicePixelRatio()).name(), colour.name());
        }
    }

    void playsTheWorkedSequenceByClicks()
    {
        clickAuthor(4);
        QCOMPARE(m_window->logText(), std::string());
        clickWork(QStringLiteral("Антигона"));
        clickAuthor(3);
        QCOMPARE(rows(workList()).indexOf(QStringLiteral("Медея")), 4);
        QCOMPARE(QString::fromStdString(m_window->list(1).List(4)), QStringLiteral("1"));
        clickWork(QStringLiteral("Медея"));
        QCOMPARE(m_window->logText(), std::string("\r\nВярно Софокъл:Антигона\r\n\r\nНевярно Омир:Медея\r\n"));
        QCOMPARE(logBox()->toPlainText(), QStringLiteral("\nВярно Софокъл:Антигона\n\nНевярно Омир:Медея\n"));
        QCOMPARE(workList()->count(), 7);
        QCOMPARE(m_window->list(1).ListCount(), 7);
        QVERIFY(workList()->selectedItems().isEmpty());
        QCOMPARE(checkedAuthor(), -1);
    }

    void refusesAWorkPickWithNoAuthor()
    {
        clickRow(2);
        QVERIFY(workList()->selectedItems().isEmpty());
        QCOMPARE(workList()->count(), 9);
        QCOMPARE(m_window->logText(), AssignmentStatement());
    }

    void gradesAgainstTheLastAuthorPicked()
    {
        clickAuthor(1);
        clickAuthor(2);
        QCOMPARE(checkedAuthor(), 2);
        clickWork(QStringLiteral("Медея"));
        QCOMPARE(m_window->logText(), std::string("\r\nНевярно Есхил:Медея\r\n"));
    }

    void restartBringsEverythingBack()
    {
        clickAuthor(3);
        clickWork(QStringLiteral("Илиада"));
        clickAuthor(0);
        QTest::mouseClick(restartButton(), Qt::LeftButton);
        expectFreshDrill();
        QCOMPARE(m_window->logText(), std::string("Нов избор"));
        clickRow(0);
        QCOMPARE(workList()->count(), 9);
        clickAuthor(0);
        QCOMPARE(m_window->logText(), std::string());
    }

    void answersAllNineThenRestarts()
    {
        std::string expected;
        for (const BankEntry &entry : MasterEntries()) {
            const int author = entry.key.front() - '0';
            clickAuthor(author);
            clickRow(0);
            expected += "\r\nВярно " + std::string(AuthorNames()[static_cast<std::size_t>(author)]) + ":"
                + std::string(entry.title) + "\r\n";
        }
        QCOMPARE(m_window->logText(), expected);
        QCOMPARE(workList()->count(), 0);
        QCOMPARE(m_window->list(1).ListCount(), 0);
        // The newest verdict is in view.
        const QRect cursor = logBox()->cursorRect();
        QVERIFY(logBox()->viewport()->rect().contains(cursor.center()));
        QTest::mouseClick(restartButton(), Qt::LeftButton);
        expectFreshDrill();
    }

    void focusMovesInItsOrderAndEnteringTheListPicksNothing()
    {
        // The chain holds every control in order; Tab stops once in the group of authors, as
        // on every desktop, and the arrow keys move within it.
        QList<QWidget *> chain = {logBox(), workList(), restartButton()};
        for (int i = 0; i < 5; ++i) {
            chain.append(option(i));
        }
        QList<QWidget *> seen = {logBox()};
        for (QWidget *widget = logBox()->nextInFocusChain(); widget != logBox(); widget = widget->nextInFocusChain()) {
            if (chain.contains(widget)) {
                seen.append(widget);
            }
        }
        QCOMPARE(seen, chain);

        for (QWidget *next : {static_cast<QWidget *>(workList()), static_cast<QWidget *>(restartButton()),
                 static_cast<QWidget *>(option(0)), static_cast<QWidget *>(logBox())}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
            QVERIFY(workList()->selectedItems().isEmpty());
        }
        QCOMPARE(m_window->logText(), AssignmentStatement());
    }

    void keysPickLikeClicks()
    {
        // Authors by keyboard: Space picks the focused one, arrows move the pick.
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), option(0));
        QTest::keyClick(option(0), Qt::Key_Space);
        QCOMPARE(checkedAuthor(), 0);
        QTest::keyClick(option(0), Qt::Key_Down);
        QCOMPARE(checkedAuthor(), 1);
        QCOMPARE(m_window->logText(), std::string());

        // Back to the list: entering it picks nothing, Space picks the row under the cursor.
        tabTo(workList());
        QCOMPARE(workList()->count(), 9);
        const QString current = workList()->currentItem()->text();
        QTest::keyClick(workList(), Qt::Key_Space);
        QCOMPARE(m_window->logText(), "\r\nНевярно Еврипид:" + current.toStdString() + "\r\n");
        QCOMPARE(workList()->count(), 8);

        // An arrow key is a pick as well: refused while idle, answered once an author is chosen.
        QTest::keyClick(workList(), Qt::Key_Down);
        QCOMPARE(workList()->count(), 8);
        QVERIFY(workList()->selectedItems().isEmpty());
        clickAuthor(4);
        tabTo(workList());
        const int before = workList()->currentRow();
        const QString next = workList()->item(before < 0 ? 0 : std::min(before + 1, workList()->count() - 1))->text();
        QTest::keyClick(workList(), Qt::Key_Down);
        QCOMPARE(workList()->count(), 7);
        QVERIFY(QString::fromStdString(m_window->logText()).endsWith(":" + next + "\r\n"));
        QVERIFY(workList()->selectedItems().isEmpty());
    }

    void logBoxIsReadOnly()
    {
        logBox()->setFocus();
        QTest::keyClicks(logBox(), QStringLiteral("abc"));
        QTest::keyClick(logBox(), Qt::Key_Delete);
        QTest::keyClick(logBox(), Qt::Key_Backspace);
        QCOMPARE(m_window->logText(), AssignmentStatement());
        QCOMPARE(logBox()->toPlainText(), QString::fromStdString(AssignmentStatement()).replace("\r\n", "\n"));
    }

    void logBoxMenuSpeaksBulgarian()
    {
        const std::unique_ptr<QMenu> menu(logBox()->createStandardContextMenu());
        QStringList texts;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator()) {
                texts.append(action->text());
            }
        }
        QVERIFY(!texts.isEmpty());
        for (const QString &text : texts) {
            QVERIFY2(text.contains(QRegularExpression(QStringLiteral("[а-яА-Я]"))), qPrintable(texts.join(", ")));
        }
    }

    void everyControlHasAnAccessibleName()
    {
        auto nameOf
            = [](QObject *object) { return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name); };
        QCOMPARE(nameOf(workList()), QStringLiteral("Тарвона - произведения"));
        QCOMPARE(nameOf(logBox()), QStringLiteral("Дневник"));
        QCOMPARE(nameOf(restartButton()), QStringLiteral("Изчисти"));
        QCOMPARE(nameOf(option(3)), QStringLiteral("Омир"));
        QCOMPARE(nameOf(child<QGroupBox>(QStringLiteral("Frame1"))), QStringLiteral("Антични автори"));
        QAccessibleInterface *works = QAccessible::queryAccessibleInterface(workList());
        QStringList names;
        for (int i = 0; i < works->childCount(); ++i) {
            names.append(works->child(i)->text(QAccessible::Name));
#if TARVONA_LIST_ROWS_OF_ITS_OWN
            // Each row tells its place among all of them, not among those in view.
            QCOMPARE(placeOf(works->child(i)), QStringLiteral("%1 of 9").arg(i + 1));
#endif
        }
        QCOMPARE(names, allTitles());
    }

    void announcesVerdictsHintsAndRestartsToScreenReaders()
    {
        // The status line is a notification to assistive technology that takes no room.
        auto *status = child<StatusAnnouncer>(QStringLiteral("Status"));
        QCOMPARE(QAccessible::queryAccessibleInterface(status)->role(), QAccessible::Notification);
        QCOMPARE(status->size(), QSize(0, 0));
        // What assistive technology is told, in order: the status line's messages, and the
        // rows the work list reports its focus cursor on.
        QStringList told;
        connect(status, &StatusAnnouncer::announced, this, [&](const QString &message) { told.append(message); });
        connect(qobject_cast<ListBox *>(workList()), &ListBox::currentRowTold, this,
            [&](int row) { told.append(QStringLiteral("row ") + workList()->item(row)->text()); });
        auto toldAfter = [&](QWidget *widget, Qt::Key key) {
            QCoreApplication::processEvents();
            told.clear();
            QTest::keyClick(widget, key);
            QCoreApplication::processEvents();
            return told;
        };

        // An arrow key with no author chosen is one refused pick, not two; the row follows.
        tabTo(workList());
        QCOMPARE(toldAfter(workList(), Qt::Key_Down),
            (QStringList {"Първо изберете автор.", TARVONA_LIST_ROWS_OF_ITS_OWN ? "Едип цар" : "row Едип цар"}));
        QCOMPARE(m_window->logText(), AssignmentStatement());
        // In the group, an arrow key picks even when no author was picked before.
        tabTo(option(0));
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(option(i), Qt::Key_Down);
            QCOMPARE(checkedAuthor(), i + 1);
        }
        // An answer: the verdict first, then the row that took the answered one's place; said
        // by the status line where it can say two messages in a row (the list then tells no
        // row of its own), told by the list otherwise.
        tabTo(workList());
        const QString next = QStringLiteral("Жените в народното събрание");
        QCOMPARE(toldAfter(workList(), Qt::Key_Down),
            (QStringList {"Вярно Софокъл:Електра", StatusAnnouncer::presentsEveryMessage() ? next : "row " + next}));
#if TARVONA_LIST_ROWS_OF_ITS_OWN
        QAccessibleInterface *works = QAccessible::queryAccessibleInterface(workList());
        QCOMPARE(works->childCount(), 8);
        QCOMPARE(placeOf(works->focusChild()), QStringLiteral("3 of 8"));
#endif
        QCOMPARE(toldAfter(restartButton(), Qt::Key_Space),
            QStringList {"Нов избор. Всички 9 произведения са отново в списъка."});
    }

    void randomClicksKeepTheWindowInStepWithTheEngine()
    {
        // The same pupil's clicks, given to the window and to the in-memory form, must leave
        // both in the same state after every one of them.
        MemoryForm reference(AssignmentStatement());
        std::mt19937 random(20261208);
        auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        for (int step = 0; step < 400; ++step) {
            const int kind = below(10);
            if (kind < 4) {
                const int author = below(5);
                clickAuthor(author);
                reference.pickAuthor(author);
            } else if (kind < 9) {
                if (workList()->count() > 0) {
                    const int row = below(workList()->count());
                    clickRow(row);
                    reference.pickWork(row);
                }
            } else {
                QTest::mouseClick(restartButton(), Qt::LeftButton);
                reference.restart();
            }
            QStringList expectedRows;
            for (const std::string &row : reference.list(0).rows()) {
                expectedRows.append(QString::fromStdString(row));
            }
            QCOMPARE(rows(workList()), expectedRows);
            QCOMPARE(m_window->list(1).ListCount(), workList()->count());
            QVERIFY(workList()->selectedItems().isEmpty());
            QCOMPARE(checkedAuthor(), reference.authors().selected());
            QCOMPARE(m_window->logText(), reference.log().Text());
        }
    }
};

TARVONA_TEST_MAIN(WindowTest)

#include "WindowTest.moc"
