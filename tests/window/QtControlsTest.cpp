#include "QtControls.h"
#include "TestMain.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QWidget>

#include <stdexcept>

using namespace tarvona;

// The adapters must give the drill the list, choice and text semantics it is written
// against, wherever Qt's widgets behave otherwise.
class QtControlsTest : public QObject
{
    Q_OBJECT

private slots:
    void listReportsTheProgramsOwnSelectionChanges()
    {
        QListWidget widget;
        QtChoiceList list(&widget);
        QSignalSpy clicks(&list, &QtChoiceList::clicked);
        for (const char *row : {"а", "б", "в", "г"}) {
            list.AddItem(row);
        }
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(list.ListIndex(), -1);

        list.SetListIndex(2);
        list.SetListIndex(2);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.ListIndex(), 2);

        list.RemoveItem(0); // above the selection: same row, one place up, no click
        QCOMPARE(list.ListIndex(), 1);
        QCOMPARE(list.List(1), std::string("в"));
        QCOMPARE(clicks.count(), 1);

        // Qt would make a neighbour current and keep a row selected; the selection must go.
        list.RemoveItem(1);
        QCOMPARE(list.ListIndex(), -1);
        QVERIFY(widget.selectedItems().isEmpty());
        QCOMPARE(clicks.count(), 2);

        list.SetListIndex(0);
        list.Clear();
        QCOMPARE(list.ListCount(), 0);
        QCOMPARE(clicks.count(), 4);
    }

    void listRefusesRowsItDoesNotHave()
    {
        QListWidget widget;
        QtChoiceList list(&widget);
        list.AddItem("а");
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, (void)list.List(1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.RemoveItem(-1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.SetListIndex(1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.SetListIndex(-2));
        QCOMPARE(list.ListCount(), 1);
    }

    void listRunsANestedClickBeforeTheOuterOperationReturns()
    {
        QListWidget widget;
        QtChoiceList list(&widget);
        list.AddItem("а");
        list.AddItem("б");
        list.SetListIndex(1);
        QList<int> seen;
        connect(&list, &QtChoiceList::clicked, this, [&] {
            seen.append(list.ListIndex());
            if (list.ListIndex() == 0) {
                list.SetListIndex(-1); // nested
            }
        });
        list.SetListIndex(0);
        seen.append(100); // after the outer write returned
        QCOMPARE(seen, (QList<int> {0, -1, 100}));
    }

    void authorChoiceDeselectsWithoutAClick()
    {
        QWidget group;
        QRadioButton first(QStringLiteral("Омир"), &group);
        QRadioButton second(QStringLiteral("Есхил"), &group);
        QtAuthorChoice choice(&first);
        QtAuthorChoice other(&second);
        QSignalSpy clicks(&choice, &QtAuthorChoice::clicked);
        QSignalSpy otherClicks(&other, &QtAuthorChoice::clicked);

        first.click(); // as the user would
        QCOMPARE(clicks.count(), 1);
        QVERIFY(choice.Value());
        QCOMPARE(choice.Caption(), std::string("Омир"));

        choice.SetValue(false); // Qt alone would refuse this for an auto-exclusive button
        QVERIFY(!first.isChecked());
        QVERIFY(!second.isChecked());
        QVERIFY(first.autoExclusive());
        QCOMPARE(clicks.count(), 1);

        other.SetValue(true);
        QVERIFY(second.isChecked());
        QCOMPARE(otherClicks.count(), 0); // the program's writes are not clicks
        first.click();
        QVERIFY2(!second.isChecked(), "the group must still be exclusive");
        QCOMPARE(clicks.count(), 2);
    }

    void textBoxGivesBackExactlyWhatItWasGiven()
    {
        QPlainTextEdit editor;
        QtTextBox box(&editor, "Задание\r\n");
        QCOMPARE(box.Text(), std::string("Задание\r\n"));
        const std::string mixed = "\r\nВярно Омир:Илиада\r\nсамо LF\nсамо CR\rкрай";
        box.SetText(mixed);
        QCOMPARE(box.Text(), mixed);
        QCOMPARE(editor.toPlainText(), QStringLiteral("\nВярно Омир:Илиада\nсамо LF\nсамо CR\nкрай"));
        box.SetText({});
        QCOMPARE(box.Text(), std::string());
    }
};

TARVONA_TEST_MAIN(QtControlsTest)

#include "QtControlsTest.moc"
