#pragma once

#include <array>
#include <string_view>

namespace tarvona {

class ChoiceList;

/// One master row: a work's title and the answer key of its author.
struct BankEntry
{
    std::string_view title;
    std::string_view key;
};

/// The nine works in master order (alphabetical by title), each with its author's key.
const std::array<BankEntry, 9> &MasterEntries();

/// The five author names in alphabetical order; a work's key is the index of its author here.
const std::array<std::string_view, 5> &AuthorNames();

/// Fills the two master lists with the bank's titles and keys, replacing what they held.
void LoadBank(ChoiceList &masterWorks, ChoiceList &masterKeys);

} // namespace tarvona
