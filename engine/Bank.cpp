#include "Bank.h"

#include "Controls.h"

#include <string>

namespace tarvona {

const std::array<BankEntry, 9> &MasterEntries()
{
    static constexpr std::array<BankEntry, 9> entries {{
        {"Антигона", "4"},
        {"Едип цар", "4"},
        {"Електра", "4"},
        {"Жените в народното събрание", "0"},
        {"Илиада", "3"},
        {"Медея", "1"},
        {"Облаци", "0"},
        {"Орестия", "2"},
        {"Прикованият Прометей", "2"},
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
