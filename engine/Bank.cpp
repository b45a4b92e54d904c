#include "Bank.h"

#include "Controls.h"

#include <string>

namespace tarvona {

const std::array<BankEntry, 9> &MasterEntries()
{
    static constexpr std::array<BankEntry, 9> entries {{
        {.title = "Антигона", .key = "4"},
        {.title = "Едип цар", .key = "4"},
        {.title = "Електра", .key = "4"},
        {.title = "Жените в народното събрание", .key = "0"},
        {.title = "Илиада", .key = "3"},
        {.title = "Медея", .key = "1"},
        {.title = "Облаци", .key = "0"},
        {.title = "Орестия", .key = "2"},
        {.title = "Прикованият Прометей", .key = "2"},
    }};
    return entries;
}

const std::array<std::string_view, 5> &AuthorNames()
{
    static constexpr std::array<std::string_view, 5> names {
        "Аристофан",
        "Еврипид",
        "Есхил",
        "Омир",
        "Софокъл",
    };
    return names;
}

void LoadBank(ChoiceList &masterWorks, ChoiceList &masterKeys)
{
    masterWorks.Clear();
    masterKeys.Clear();
    for (const BankEntry &entry : MasterEntries()) {
        masterWorks.AddItem(std::string(entry.title));
        masterKeys.AddItem(std::string(entry.key));
    }
}

} // namespace tarvona
