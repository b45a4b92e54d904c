#include "MemoryForm.h"
#include "Statement.h"
#include "TarvonaWindow.h"
#include "TestMain.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <memory>
#include <random>

using namespace tarvona;

// Thousands of random clicks and key presses, as fast as events can be delivered, on every
// part of the window. After each one the window must agree with the in-memory form given
// the same picks: same works, same keys in step with them, no selection left, same log.
class StressTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TarvonaWindow> m_window;
    std::unique_ptr<MemoryForm> m_reference;
    std::mt19937 m_random {8122026};

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    QRadioButton *option(int i) const
    {
        return m_window->findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(i));
    }
    QListWidget *works() const { return m_window->findChild<QListWidget *>(QStringLiteral("List1_0")); }
    int checkedAuthor() const
    {
        for (int i = 0; i < 5; ++i) {
            if (option(i)->isChecked()) {
                return i;
            }
        }
        return -1;
    }

    // The row a navigation key selects in a single-selection list, or -1 when it moves
    // nowhere (and so selects nothing).
    int rowSelectedBy(Qt::Key key) const
    {
        const int count = works()->count();
        const int current = works()->currentRow();
        if (count == 0) {
            return -1;
        }
        if (current < 0) {
            return 0;
        }
        int target = current;
        switch (key) {
        case Qt::Key_Down:
            target = std::min(current + 1, count - 1);
            break;
        case Qt::Key_Up:
            target = std::max(current - 1, 0);
            break;
        case Qt::Key_Home:
            target = 0;
            break;
        case Qt::Key_End:
            target = count - 1;
            break;
        default:
            break;
        }
        return target == current ? -1 : target;
    }

    void clickRow(int row)
    {
        QListWidget *list = works();
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    // One random pupil action on the window, and the same picks given to the reference.
    void act()
    {
        const int before = checkedAuthor();
        switch (below(12)) {
        case 0:
        case 1:
        case 2: {
            const int author = below(5);
            QTest::mouseClick(option(author), Qt::LeftButton);
            m_reference->pickAuthor(author);
            break;
        }
        case 3:
        case 4:
        case 5:
            if (works()->count() > 0) {
                const int row = below(works()->count());
                clickRow(row);
                m_reference->pickWork(row);
            } else {
                QTest::mouseClick(works()->viewport(), Qt::LeftButton);
            }
            break;
        case 6: {
            static constexpr std::array keys {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End};
            const Qt::Key key = keys[static_cast<std::size_t>(below(static_cast<int>(keys.size())))];
            works()->setFocus();
            const int row = rowSelectedBy(key);
            QTest::keyClick(works(), key);
            if (row >= 0) {
                m_reference->pickWork(row);
            }
            break;
        }
        case 7: {
            works()->setFocus();
            const int row = works()->currentRow();
            QTest::keyClick(works(), Qt::Key_Space);
            if (row >= 0) {
                m_reference->pickWork(row);
            }
            break;
        }
        case 8: {
            // Arrow keys inside the group of authors move the pick; whatever the group
            // settles on is the pupil's pick.
            QRadioButton *focused = option(before < 0 ? below(5) : before);
            focused->setFocus();
            QTest::keyClick(focused, below(2) == 0 ? Qt::Key_Down : Qt::Key_Up);
            if (checkedAuthor() != before && checkedAuthor() >= 0) {
                m_reference->pickAuthor(checkedAuthor());
            }
            break;
        }
        case 9:
            QTest::mouseClick(m_window->findChild<QPushButton *>(QStringLiteral("Command1_0")), Qt::LeftButton);
            m_reference->restart();
            break;
        case 10: {
            auto *log = m_window->findChild<QPlainTextEdit *>(QStringLiteral("Text1_0"));
            QTest::mouseClick(log->viewport(), Qt::LeftButton);
            QTest::keyClicks(log, QStringLiteral("a1 \t"));
            QTest::keyClick(log, Qt::Key_Backspace);
            break;
        }
        default:
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            break;
        }
    }

private slots:
    void randomEventsNeverDesynchroniseTheWindow()
    {
        m_window = std::make_unique<TarvonaWindow>();
        m_reference = std::make_unique<MemoryForm>(AssignmentStatement());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));

        constexpr int events = 3000;
        for (int step = 0; step < events; ++step) {
            act();
            QStringList expected;
            for (const std::string &row : m_reference->list(0).rows()) {
                expected.append(QString::fromStdString(row));
            }
            QStringList shown;
            for (int i = 0; i < works()->count(); ++i) {
                shown.append(works()->item(i)->text());
            }
            QCOMPARE(shown, expected);
            for (int i = 0; i < m_window->list(1).ListCount(); ++i) {
                QCOMPARE(m_window->list(1).List(i), m_reference->list(1).List(i));
            }
            QCOMPARE(m_window->list(1).ListCount(), m_reference->list(1).ListCount());
            QVERIFY(works()->selectedItems().isEmpty());
            QCOMPARE(checkedAuthor(), m_reference->authors().selected());
            QCOMPARE(m_window->logText(), m_reference->log().Text());
        }
        m_window.reset();
    }
};

TARVONA_TEST_MAIN(StressTest)

#include "StressTest.moc"
