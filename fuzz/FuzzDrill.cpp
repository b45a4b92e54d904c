// Fuzzes the drill: arbitrary bytes become a session of events on the in-memory form (the
// user's picks and restarts, stray clicks for any list index, the program's own selection
// changes on the hidden lists, which report nested clicks), and after every event the form
// must still hold together and the log must have changed only the way the drill's rules allow.
#include "Bank.h"
#include "Drill.h"
#include "MemoryForm.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using tarvona::MemoryForm;

// The first byte sets how many of the following bytes make up the log's initial text (the
// drill must empty it on the first author pick, whatever it is).
constexpr std::size_t maxInitialLog = 15;

enum class Kind : std::uint8_t {
    PickAuthor,
    PickWork,
    Restart,
    Click,
    SelectHidden,
};

/// One event, decoded from two bytes: the first picks its kind, the second its argument.
struct Event
{
    Kind kind = Kind::Restart;
    int list = 0;  // SelectHidden: which hidden list
    int index = 0; // the author, the row (-1 for none) or the list index reported clicked
};

/// What the drill's rules say about the session so far, just enough to judge each event.
struct Expected
{
    bool armed = false;       // an author is picked and not yet used for an answer
    int author = -1;          // the author picked last
    bool roundPicked = false; // an author was picked since the start or the last restart
};

/// Everything of the form an event may change, taken just before it.
struct Snapshot
{
    std::vector<std::string> works;
    std::string log;
    int selectedAuthor = -1;
};

/// Reports a broken rule and aborts, which makes libFuzzer keep the input as a crash.
[[noreturn]] void fail(std::size_t event, const std::string &what)
{
    std::fprintf(stderr, "fuzz_drill: after event %zu: %s\n", event, what.c_str());
    std::abort();
}

/// The row of a title in the bank, or -1 when the bank has no such title.
int masterRowOf(const std::string &title)
{
    const auto &entries = tarvona::MasterEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].title == title) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

/// Turns two bytes into an event that makes sense for a work list of workCount rows.
Event decode(std::uint8_t kindByte, std::uint8_t argument, int workCount)
{
    Event event;
    switch (kindByte % 8) {
    case 0:
    case 1:
        event.kind = Kind::PickAuthor;
        event.index = argument % 5;
        break;
    case 2:
    case 3:
        event.kind = Kind::PickWork;
        event.index = (argument % (workCount + 1)) - 1;
        break;
    case 4:
        event.kind = Kind::Restart;
        break;
    case 5:
        // Mostly the list indices near the real ones, now and then the extremes.
        event.kind = Kind::Click;
        if (argument < 254) {
            event.index = (argument % 8) - 2;
        } else {
            event.index = argument == 254 ? INT_MIN : INT_MAX;
        }
        break;
    default:
        event.kind = Kind::SelectHidden;
        event.list = 1 + argument % 3;
        event.index = argument / 3 % 10 - 1; // every list has 9 rows or fewer, or none at all
        break;
    }
    return event;
}

/// Plays the event on the form; a program-made selection of a row the list lacks becomes none.
void play(MemoryForm &form, Event &event)
{
    switch (event.kind) {
    case Kind::PickAuthor:
        form.pickAuthor(event.index);
        break;
    case Kind::PickWork:
        form.pickWork(event.index);
        break;
    case Kind::Restart:
        form.restart();
        break;
    case Kind::Click:
        form.drill().List1_Click(event.index);
        break;
    case Kind::SelectHidden: {
        tarvona::MemoryList &list = form.list(event.list);
        if (event.index >= list.ListCount()) {
            event.index = -1;
        }
        list.SetListIndex(event.index);
        break;
    }
    }
}

/// The form holds together: the key list matches the work list row for row, every work is
/// a bank title at most once and in bank order, the bank is untouched, nothing is selected
/// in the work list, and the drill is armed exactly when it should be.
void checkForm(MemoryForm &form, const Expected &expected, std::size_t event)
{
    const std::vector<std::string> &works = form.list(0).rows();
    const std::vector<std::string> &keys = form.list(1).rows();
    if (works.size() != keys.size()) {
        fail(event,
            "the work list has " + std::to_string(works.size()) + " rows, the key list " + std::to_string(keys.size()));
    }
    const auto &entries = tarvona::MasterEntries();
    int previous = -1;
    for (std::size_t i = 0; i < works.size(); ++i) {
        const int master = masterRowOf(works[i]);
        if (master < 0) {
            fail(event, "the work list holds \"" + works[i] + "\", which is not in the bank");
        }
        if (master <= previous) {
            fail(event, "\"" + works[i] + "\" is repeated or out of the bank's order");
        }
        previous = master;
        if (keys[i] != entries[static_cast<std::size_t>(master)].key) {
            fail(event, "row " + std::to_string(i) + " (\"" + works[i] + "\") has the key \"" + keys[i] + "\"");
        }
    }
    const std::vector<std::string> &masterWorks = form.list(2).rows();
    const std::vector<std::string> &masterKeys = form.list(3).rows();
    bool bankIntact = masterWorks.size() == entries.size() && masterKeys.size() == entries.size();
    for (std::size_t i = 0; bankIntact && i < entries.size(); ++i) {
        bankIntact = masterWorks[i] == entries[i].title && masterKeys[i] == entries[i].key;
    }
    if (!bankIntact) {
        fail(event, "the master lists changed");
    }
    if (form.list(0).ListIndex() != -1) {
        fail(event, "row " + std::to_string(form.list(0).ListIndex()) + " of the work list is left selected");
    }
    if (form.drill().AuthorChosen() != expected.armed) {
        fail(event, expected.armed ? "the drill is not armed after an author pick" : "the drill is armed");
    }
}

/// What the event did to the log, the work list and the author choices is what the rules
/// allow; updates expected to the state after the event.
void checkEffect(MemoryForm &form, const Event &event, const Snapshot &before, Expected &expected, std::size_t index)
{
    std::string log = before.log;
    std::vector<std::string> works = before.works;
    int selectedAuthor = before.selectedAuthor;
    switch (event.kind) {
    case Kind::PickAuthor:
        // Picking the author already selected is no change and reports nothing.
        if (before.selectedAuthor != event.index) {
            selectedAuthor = event.index;
            expected.armed = true;
            expected.author = event.index;
            if (!expected.roundPicked) {
                expected.roundPicked = true;
                log.clear();
            }
        }
        break;
    case Kind::PickWork:
        if (event.index >= 0 && expected.armed) {
            const std::string &title = works[static_cast<std::size_t>(event.index)];
            const auto key = tarvona::MasterEntries()[static_cast<std::size_t>(masterRowOf(title))].key;
            const bool right = key == std::to_string(expected.author);
            log += "\r\n";
            log += right ? "Вярно " : "Невярно ";
            log += std::string(tarvona::AuthorNames()[static_cast<std::size_t>(expected.author)]) + ":" + title
                + "\r\n";
            works.erase(works.begin() + event.index);
            expected.armed = false;
            selectedAuthor = -1;
        }
        break;
    case Kind::Restart:
        log = "Нов избор";
        works.clear();
        for (const tarvona::BankEntry &entry : tarvona::MasterEntries()) {
            works.emplace_back(entry.title);
        }
        expected.armed = false;
        expected.roundPicked = false;
        selectedAuthor = -1;
        break;
    case Kind::Click:
    case Kind::SelectHidden:
        break;
    }

    if (form.log().Text() != log) {
        fail(index, "the log reads \"" + form.log().Text() + "\" where \"" + log + "\" was due");
    }
    if (form.list(0).rows() != works) {
        fail(index, "the work list changed the wrong way (" + std::to_string(form.list(0).ListCount()) + " rows)");
    }
    if (form.authors().selected() != selectedAuthor) {
        fail(index,
            "author " + std::to_string(form.authors().selected()) + " is selected, not "
                + std::to_string(selectedAuthor));
    }
    if (event.kind == Kind::SelectHidden && form.list(event.list).ListIndex() != event.index) {
        fail(index, "list " + std::to_string(event.list) + " lost the selection the program made");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::size_t at = 0;
    std::string initialLog;
    if (size > 0) {
        const std::size_t length = data[at++] % (maxInitialLog + 1);
        for (; at < size && initialLog.size() < length; ++at) {
            initialLog += static_cast<char>(data[at]);
        }
    }
    MemoryForm form(initialLog);
    Expected expected;
    checkForm(form, expected, 0);
    if (form.log().Text() != initialLog) {
        fail(0, "the start changed the log");
    }

    for (std::size_t index = 1; at + 1 < size; at += 2, ++index) {
        Event event = decode(data[at], data[at + 1], form.list(0).ListCount());
        const Snapshot before {
            .works = form.list(0).rows(), .log = form.log().Text(), .selectedAuthor = form.authors().selected()};
        play(form, event);
        // The form reports a failed event to the pupil and goes on; here, any failure is a find.
        if (!form.failures().empty()) {
            fail(index, form.failures().front());
        }
        checkEffect(form, event, before, expected, index);
        checkForm(form, expected, index);
    }
    return 0;
}
