#include "Drill.h"
#include "Bank.h"
#include "MemoryForm.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace tarvona;

namespace {

const std::string statement = "Задание\r\n";
const std::vector<std::string> allTitles = {
    "Антигона",
    "Едип цар",
    "Електра",
    "Жените в народното събрание",
    "Илиада",
    "Медея",
    "Облаци",
    "Орестия",
    "Прикованият Прометей",
};
const std::vector<std::string> allKeys = {"4", "4", "4", "0", "3", "1", "0", "2", "2"};

int rowOf(MemoryForm &form, const std::string &title)
{
    const std::vector<std::string> &rows = form.list(0).rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == title) {
            return static_cast<int>(i);
        }
    }
    throw std::logic_error(title + " is not in the work list");
}

void expectFreshBank(MemoryForm &form)
{
    EXPECT_EQ(form.list(0).rows(), allTitles);
    EXPECT_EQ(form.list(1).rows(), allKeys);
    EXPECT_EQ(form.list(0).ListIndex(), -1);
    EXPECT_EQ(form.authors().selected(), -1);
    EXPECT_EQ(form.drill().AuthorChosen(), false);
    EXPECT_EQ(form.drill().ChosenAuthor(), -1);
    EXPECT_FALSE(form.drill().LogCleared());
}

TEST(Drill, StartsWithTheWholeBankAndTheStatementInTheLog)
{
    MemoryForm form(statement);
    expectFreshBank(form);
    EXPECT_EQ(form.drill().LastAuthorIndex(), 4);
    EXPECT_EQ(form.log().Text(), statement);
    EXPECT_EQ(form.list(2).rows(), allTitles);
    EXPECT_EQ(form.list(3).rows(), allKeys);
}

TEST(Drill, PlaysTheWorkedSequenceToTheCharacter)
{
    MemoryForm form(statement);
    form.pickAuthor(4);
    EXPECT_EQ(form.log().Text(), "") << "the first author pick empties the log";
    form.pickWork(rowOf(form, "Антигона"));
    EXPECT_EQ(form.log().Text(), "\r\nВярно Софокъл:Антигона\r\n");

    form.pickAuthor(3);
    ASSERT_EQ(rowOf(form, "Медея"), 4);
    EXPECT_EQ(form.list(1).List(4), "1");
    form.pickWork(4);
    EXPECT_EQ(form.log().Text(), "\r\nВярно Софокъл:Антигона\r\n\r\nНевярно Омир:Медея\r\n");
    EXPECT_EQ(form.list(0).ListCount(), 7);
    EXPECT_EQ(form.list(1).ListCount(), 7);
    EXPECT_EQ(form.list(0).ListIndex(), -1);
    EXPECT_EQ(form.authors().selected(), -1);
    EXPECT_EQ(form.drill().AuthorChosen(), false);
    EXPECT_EQ(form.drill().ChosenAuthor(), 3) << "an answer does not forget the author";
    EXPECT_TRUE(form.drill().LogCleared());
}

TEST(Drill, RefusesAWorkPickWhileNoAuthorIsChosen)
{
    MemoryForm form(statement);
    form.pickWork(2);
    EXPECT_EQ(form.list(0).ListIndex(), -1) << "the highlight is taken away";
    EXPECT_EQ(form.list(0).rows(), allTitles);
    EXPECT_EQ(form.log().Text(), statement);

    // Right after an answer the drill is idle again, even with the author's index remembered.
    form.pickAuthor(0);
    form.pickWork(rowOf(form, "Облаци"));
    const std::string afterAnswer = form.log().Text();
    form.pickWork(0);
    EXPECT_EQ(form.log().Text(), afterAnswer);
    EXPECT_EQ(form.list(0).ListCount(), 8);
}

TEST(Drill, GradesAgainstTheAuthorPickedLast)
{
    MemoryForm form(statement);
    form.pickAuthor(1); // Еврипид wrote Медея...
    form.pickAuthor(2); // ...but Есхил is the one picked when the work is
    EXPECT_EQ(form.authors().selected(), 2);
    form.pickWork(rowOf(form, "Медея"));
    EXPECT_EQ(form.log().Text(), "\r\nНевярно Есхил:Медея\r\n");

    form.pickAuthor(2);
    form.pickWork(rowOf(form, "Орестия"));
    EXPECT_EQ(form.log().Text(), "\r\nНевярно Есхил:Медея\r\n\r\nВярно Есхил:Орестия\r\n");
}

TEST(Drill, EmptiesTheLogOnlyOnTheFirstAuthorPickOfARound)
{
    MemoryForm form(statement);
    form.pickAuthor(0);
    form.log().SetText("бележка");
    form.pickAuthor(1);
    EXPECT_EQ(form.log().Text(), "бележка") << "later picks leave the log alone";
    form.pickWork(rowOf(form, "Медея"));
    EXPECT_EQ(form.log().Text(), "бележка\r\nВярно Еврипид:Медея\r\n") << "text already in the box is kept";

    form.restart();
    EXPECT_EQ(form.log().Text(), "Нов избор");
    form.pickAuthor(1);
    EXPECT_EQ(form.log().Text(), "");
}

TEST(Drill, RestartBringsEveryWorkBackAndDisarms)
{
    MemoryForm form(statement);
    form.pickAuthor(3);
    form.pickWork(rowOf(form, "Илиада"));
    form.pickAuthor(4);
    form.restart();
    expectFreshBank(form);
    EXPECT_EQ(form.log().Text(), "Нов избор") << "the log is replaced, not emptied";

    form.pickWork(0);
    EXPECT_EQ(form.list(0).rows(), allTitles) << "a pick after restart is refused";
    EXPECT_EQ(form.log().Text(), "Нов избор");
}

TEST(Drill, AnswersAllNineAndGoesOnWithAnEmptyList)
{
    MemoryForm form(statement);
    std::string expected;
    for (const BankEntry &entry : MasterEntries()) {
        const int author = entry.key.front() - '0';
        form.pickAuthor(author);
        form.pickWork(0); // the first remaining row each time is the next master title
        expected += "\r\nВярно " + std::string(AuthorNames()[static_cast<std::size_t>(author)]) + ":"
            + std::string(entry.title) + "\r\n";
    }
    EXPECT_EQ(form.log().Text(), expected);
    EXPECT_EQ(form.list(0).ListCount(), 0);
    EXPECT_EQ(form.list(1).ListCount(), 0);

    form.pickAuthor(2);
    EXPECT_EQ(form.drill().AuthorChosen(), true) << "author picks still arm the drill";
    form.restart();
    expectFreshBank(form);
}

TEST(Drill, NestedPicksFromTheProgramsOwnSelectionChangesChangeNothing)
{
    // Wired by hand so that every click the work list reports can be counted.
    MemoryList works;
    MemoryList keys;
    MemoryList masterWorks;
    MemoryList masterKeys;
    LoadBank(masterWorks, masterKeys);
    MemoryChoiceGroup authors({"А", "Б", "В", "Г", "Д"});
    MemoryTextBox log;
    FormControls controls {.List1 = {&works, &keys, &masterWorks, &masterKeys}, .Option1 = {}, .Text1 = &log};
    for (int i = 0; i < authors.count(); ++i) {
        controls.Option1.push_back(&authors.choice(i));
    }
    Drill drill(controls);
    int depth = 0;
    int nested = 0;
    works.setClickListener([&] {
        nested += depth > 0 ? 1 : 0;
        ++depth;
        drill.List1_Click(0);
        --depth;
    });
    keys.setClickListener([&] { drill.List1_Click(1); });
    authors.setClickListener([&](int i) { drill.Option1_Click(i); });
    drill.Form_Load();

    works.SetListIndex(5); // refused: clearing the highlight is reported once more
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(works.ListIndex(), -1);

    authors.userClick(1);
    works.SetListIndex(5); // answered: removing the selected row is reported as a click
    EXPECT_EQ(nested, 2);
    EXPECT_EQ(log.Text(), "\r\nВярно Б:Медея\r\n");
    EXPECT_EQ(works.ListCount(), 8);
    EXPECT_EQ(keys.ListCount(), 8);
    EXPECT_EQ(works.List(5), "Облаци");
    EXPECT_EQ(keys.List(5), "0");
}

TEST(Drill, IgnoresClicksForListsThatTakeNoAnswers)
{
    MemoryForm form(statement);
    form.pickAuthor(4);
    for (int index : {1, 2, 3, 4, -1, 1000}) {
        form.drill().List1_Click(index);
    }
    form.list(1).SetListIndex(0); // reported to the drill as a click of the key list
    EXPECT_EQ(form.list(0).rows(), allTitles);
    EXPECT_EQ(form.list(1).ListCount(), 9);
    EXPECT_EQ(form.drill().AuthorChosen(), true);
    EXPECT_EQ(form.log().Text(), "");

    form.drill().List1_Click(0); // the work list with nothing selected: nothing to answer
    EXPECT_EQ(form.list(0).ListCount(), 9);
    EXPECT_EQ(form.drill().AuthorChosen(), true);
}

TEST(Drill, ABadKeyIsAClearErrorThatLosesNothing)
{
    MemoryForm form(statement);
    form.list(3).RemoveItem(8);
    form.list(3).AddItem("&H8000");
    form.restart();
    form.pickAuthor(2);
    const int last = form.list(0).ListCount() - 1;
    form.pickWork(last);
    ASSERT_EQ(form.failures().size(), 1U);
    EXPECT_TRUE(form.failures()[0].starts_with("Грешка: ")) << form.failures()[0];
    EXPECT_EQ(form.log().Text(), "") << "nothing is logged for a pick that failed";
    EXPECT_EQ(form.list(0).ListCount(), 9);
    EXPECT_EQ(form.list(1).ListCount(), 9);
    EXPECT_EQ(form.drill().AuthorChosen(), true);
    // The form goes on with the next event.
    form.pickWork(0);
    EXPECT_EQ(form.log().Text(), "\r\nНевярно Есхил:Антигона\r\n");
}

TEST(Drill, RefusesToWorkWithoutItsControls)
{
    MemoryList list;
    MemoryTextBox log;
    EXPECT_THROW(Drill(FormControls {{&list, &list, &list}, {}, &log}), std::invalid_argument);
    EXPECT_THROW(Drill(FormControls {{&list, &list, &list, &list}, {}, nullptr}), std::invalid_argument);
    EXPECT_THROW(Drill(FormControls {{&list, &list, &list, nullptr}, {}, &log}), std::invalid_argument);
    EXPECT_THROW(Drill(FormControls {{&list, &list, &list, &list}, {nullptr}, &log}), std::invalid_argument);
}

TEST(Drill, ReportsAnAuthorIndexOutsideTheGroupAsAnError)
{
    MemoryForm form(statement);
    EXPECT_THROW(form.drill().Option1_Click(5), std::out_of_range);
    EXPECT_THROW(form.drill().Option1_Click(-1), std::out_of_range);
    EXPECT_EQ(form.drill().AuthorChosen(), false);
    EXPECT_EQ(form.log().Text(), statement);
}

} // namespace
