#include "Bank.h"
#include "KeyOf.h"
#include "MemoryControls.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tarvona;

namespace {

TEST(Bank, EveryWorkIsKeyedToItsRealAuthor)
{
    // Written out by hand on purpose: a slip in the bank's key column must not be able to
    // hide behind the same slip here.
    const std::vector<std::pair<std::string, std::string>> authorship = {
        {"Антигона", "Софокъл"},
        {"Едип цар", "Софокъл"},
        {"Електра", "Софокъл"},
        {"Жените в народното събрание", "Аристофан"},
        {"Илиада", "Омир"},
        {"Медея", "Еврипид"},
        {"Облаци", "Аристофан"},
        {"Орестия", "Есхил"},
        {"Прикованият Прометей", "Есхил"},
    };
    ASSERT_EQ(MasterEntries().size(), authorship.size());
    for (std::size_t i = 0; i < authorship.size(); ++i) {
        const BankEntry &entry = MasterEntries()[i];
        EXPECT_EQ(entry.title, authorship[i].first);
        const int key = KeyOf(entry.key);
        ASSERT_GE(key, 0);
        ASSERT_LT(key, static_cast<int>(AuthorNames().size()));
        EXPECT_EQ(AuthorNames()[static_cast<std::size_t>(key)], authorship[i].second) << entry.title;
    }
}

TEST(Bank, TitlesAndNamesAreUniqueAndInAlphabeticalOrder)
{
    // Bulgarian alphabetical order agrees with code point order for these texts (no Ѝ, no
    // capitals after the first letter that would break it), so plain comparison checks it.
    std::set<std::string_view> titles;
    for (std::size_t i = 0; i < MasterEntries().size(); ++i) {
        titles.insert(MasterEntries()[i].title);
        if (i > 0) {
            EXPECT_LT(MasterEntries()[i - 1].title, MasterEntries()[i].title);
        }
    }
    EXPECT_EQ(titles.size(), MasterEntries().size());
    for (std::size_t i = 1; i < AuthorNames().size(); ++i) {
        EXPECT_LT(AuthorNames()[i - 1], AuthorNames()[i]);
    }
}

TEST(MemoryList, KeepsInsertionOrderAndRefusesRowsItDoesNotHave)
{
    MemoryList list;
    list.AddItem("в");
    list.AddItem("а");
    list.AddItem("б");
    EXPECT_EQ(list.rows(), (std::vector<std::string> {"в", "а", "б"}));
    list.RemoveItem(1);
    EXPECT_EQ(list.rows(), (std::vector<std::string> {"в", "б"}));
    EXPECT_EQ(list.List(1), "б");

    for (int bad : {-1, 2, 1000}) {
        EXPECT_THROW((void)list.List(bad), std::out_of_range) << bad;
        EXPECT_THROW(list.RemoveItem(bad), std::out_of_range) << bad;
    }
    for (int bad : {-2, 2}) {
        EXPECT_THROW(list.SetListIndex(bad), std::out_of_range) << bad;
    }
    EXPECT_EQ(list.ListCount(), 2) << "a refused operation must change nothing";
    EXPECT_EQ(list.ListIndex(), -1);

    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_THROW(list.RemoveItem(0), std::out_of_range);
}

TEST(MemoryList, ReportsEveryChangeOfSelectionAndNothingElse)
{
    MemoryList list;
    std::vector<int> reported; // the selection each click saw
    list.setClickListener([&] { reported.push_back(list.ListIndex()); });
    for (const char *row : {"а", "б", "в", "г"}) {
        list.AddItem(row);
    }
    EXPECT_TRUE(reported.empty()) << "adding rows selects nothing";

    list.SetListIndex(2);
    list.SetListIndex(2); // no change, no click
    EXPECT_EQ(reported, (std::vector<int> {2}));

    list.RemoveItem(0); // the selected row moves up but stays selected
    EXPECT_EQ(list.ListIndex(), 1);
    EXPECT_EQ(list.List(list.ListIndex()), "в");
    list.RemoveItem(2); // below the selection
    EXPECT_EQ(reported, (std::vector<int> {2}));

    list.RemoveItem(1); // the selected row itself
    EXPECT_EQ(reported, (std::vector<int> {2, -1}));
    list.SetListIndex(-1);
    EXPECT_EQ(reported.size(), 2U);

    list.SetListIndex(0);
    list.Clear();
    EXPECT_EQ(reported, (std::vector<int> {2, -1, 0, -1}));
}

TEST(MemoryChoiceGroup, IsExclusiveAndReportsOnlyTheUsersPicks)
{
    MemoryChoiceGroup group({"А", "Б", "В"});
    std::vector<int> clicks;
    group.setClickListener([&](int i) { clicks.push_back(i); });

    group.userClick(1);
    group.userClick(1); // already selected: nothing new
    group.userClick(2);
    EXPECT_EQ(clicks, (std::vector<int> {1, 2}));
    EXPECT_FALSE(group.choice(1).Value());
    EXPECT_TRUE(group.choice(2).Value());

    group.choice(1).SetValue(false); // not the selected one: no effect
    EXPECT_EQ(group.selected(), 2);
    group.choice(2).SetValue(false);
    EXPECT_EQ(group.selected(), -1);
    EXPECT_EQ(clicks.size(), 2U) << "the program's writes are never clicks";

    EXPECT_EQ(group.choice(0).Caption(), "А");
    EXPECT_THROW(group.userClick(3), std::out_of_range);
    EXPECT_THROW((void)group.choice(-1), std::out_of_range);
}

TEST(LoadBank, ReplacesWhatTheMasterListsHeld)
{
    MemoryList titles;
    MemoryList keys;
    titles.AddItem("старо");
    LoadBank(titles, keys);
    ASSERT_EQ(titles.ListCount(), 9);
    EXPECT_EQ(titles.List(0), "Антигона");
    EXPECT_EQ(keys.rows(), (std::vector<std::string> {"4", "4", "4", "0", "3", "1", "0", "2", "2"}));
}

} // namespace
