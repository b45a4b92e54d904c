#include "Bank.h"
#include "MemoryForm.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace tarvona;

namespace {

// The drill's rules restated as plainly as possible: plain vectors, no controls, no
// nested clicks, keys compared as digits. The engine must agree with it after every event.
struct Reference
{
    std::vector<std::string> works;
    std::vector<int> keys;
    int selectedAuthor = -1;
    bool armed = false;
    bool logCleared = false;
    int chosenAuthor = -1;
    std::string log;

    explicit Reference(std::string statement) : log(std::move(statement)) { reset(); }

    void reset()
    {
        works.clear();
        keys.clear();
        for (const BankEntry &entry : MasterEntries()) {
            works.emplace_back(entry.title);
            keys.push_back(entry.key.front() - '0');
        }
        selectedAuthor = -1;
        armed = false;
        logCleared = false;
        chosenAuthor = -1;
    }

    void restart()
    {
        reset();
        log = "Нов избор";
    }

    void pickAuthor(int author)
    {
        if (selectedAuthor == author) {
            return; // clicking the selected choice again changes nothing
        }
        selectedAuthor = author;
        armed = true;
        chosenAuthor = author;
        if (!logCleared) {
            logCleared = true;
            log.clear();
        }
    }

    void pickWork(int row)
    {
        if (!armed) {
            return;
        }
        const auto at = static_cast<std::size_t>(row);
        log += std::string("\r\n") + (keys[at] == chosenAuthor ? "Вярно " : "Невярно ")
            + std::string(AuthorNames()[static_cast<std::size_t>(chosenAuthor)]) + ":" + works[at] + "\r\n";
        works.erase(works.begin() + row);
        keys.erase(keys.begin() + row);
        armed = false;
        selectedAuthor = -1;
    }
};

void expectAgreement(MemoryForm &form, const Reference &reference, int step)
{
    SCOPED_TRACE("after event " + std::to_string(step));
    ASSERT_EQ(form.list(0).rows(), reference.works);
    ASSERT_EQ(form.list(1).ListCount(), form.list(0).ListCount());
    for (int i = 0; i < form.list(1).ListCount(); ++i) {
        ASSERT_EQ(form.list(1).List(i), std::to_string(reference.keys[static_cast<std::size_t>(i)]));
    }
    ASSERT_EQ(form.list(0).ListIndex(), -1) << "no selection outlives an event";
    ASSERT_EQ(form.authors().selected(), reference.selectedAuthor);
    ASSERT_EQ(form.drill().AuthorChosen(), reference.armed);
    ASSERT_EQ(form.drill().ChosenAuthor(), reference.chosenAuthor);
    ASSERT_EQ(form.drill().LogCleared(), reference.logCleared);
    ASSERT_EQ(form.log().Text(), reference.log);
    ASSERT_EQ(form.list(2).ListCount(), 9) << "the master lists never change";
    ASSERT_EQ(form.list(3).ListCount(), 9);
}

TEST(ReferenceModel, AgreesWithTheDrillOverRandomSessions)
{
    constexpr int sessions = 2000;
    constexpr int eventsPerSession = 60;
    for (unsigned seed = 1; seed <= sessions; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
        MemoryForm form("Задание\r\n");
        Reference reference("Задание\r\n");
        for (int step = 0; step < eventsPerSession; ++step) {
            const int kind = below(10);
            if (kind < 4) {
                const int author = below(5);
                form.pickAuthor(author);
                reference.pickAuthor(author);
            } else if (kind < 8) {
                if (form.list(0).ListCount() > 0) {
                    const int row = below(form.list(0).ListCount());
                    form.pickWork(row);
                    reference.pickWork(row);
                }
            } else if (kind < 9) {
                // A click reported for a hidden list, or for a list index no list has.
                const int index = below(6) - 1;
                if (index != 0) {
                    form.drill().List1_Click(index);
                }
            } else {
                form.restart();
                reference.restart();
            }
            expectAgreement(form, reference, step);
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

} // namespace
