#include "Form.h"
#include "MemoryForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarvona;

namespace {

using Told = std::vector<std::string>;

// What a pupil who cannot see the screen is told, in order: each pick's verdict or hint before
// the row the cursor is on, a restart's message, and nothing for anything else.
TEST(Form, TellsEachPicksMessageBeforeItsRow)
{
    MemoryForm form("Задание\r\n");
    struct Step
    {
        const char *what;
        void (*act)(MemoryForm &);
        Told told;
    };
    const std::vector<Step> steps = {
        {.what = "a refused pick",
            .act = [](MemoryForm &f) { f.pickWork(1); },
            .told = {"Първо изберете автор.", "(row)"}},
        {.what = "an author", .act = [](MemoryForm &f) { f.pickAuthor(4); }, .told = {}},
        {.what = "a right answer",
            .act = [](MemoryForm &f) { f.pickWork(0); },
            .told = {"Вярно Софокъл:Антигона", "(row)"}},
        {.what = "the same author again", .act = [](MemoryForm &f) { f.pickAuthor(4); }, .told = {}},
        {.what = "a wrong answer",
            .act = [](MemoryForm &f) { f.pickWork(4); },
            .told = {"Невярно Софокъл:Медея", "(row)"}},
        {.what = "a hidden list's change", .act = [](MemoryForm &f) { f.list(1).SetListIndex(2); }, .told = {}},
        {.what = "a pick right after an answer",
            .act = [](MemoryForm &f) { f.pickWork(0); },
            .told = {"Първо изберете автор.", "(row)"}},
        {.what = "a restart",
            .act = [](MemoryForm &f) { f.restart(); },
            .told = {"Нов избор. Всички 9 произведения са отново в списъка."}},
    };
    std::size_t before = 0;
    for (const Step &step : steps) {
        step.act(form);
        const Told told(form.told().begin() + static_cast<std::ptrdiff_t>(before), form.told().end());
        EXPECT_EQ(told, step.told) << step.what;
        before = form.told().size();
    }
}

// A front end whose screen reader would hear the list's move to the next row ahead of a
// verdict told after the pick: the verdict goes while the answered work is still listed.
class AtOnce : public FormVoice
{
public:
    MemoryForm *form = nullptr;
    Told told;

    [[nodiscard]] bool tellsVerdictAtOnce() const override { return true; }
    void tell(const std::string &message) override { told.push_back(message + " / " + works()); }
    void tellThenRow(const std::string &message, bool answered) override
    {
        told.push_back("[" + message + "] " + (answered ? "answered" : "refused") + " / " + works());
    }
    void showError(const std::string &message) override { told.push_back(message); }

private:
    [[nodiscard]] std::string works() const
    {
        return form == nullptr ? "before the form is made" : std::to_string(form->list(0).ListCount());
    }
};

TEST(Form, TellsAVerdictAtOnceWhileTheAnsweredWorkIsStillListed)
{
    AtOnce voice;
    MemoryForm form({}, &voice);
    voice.form = &form;
    form.pickWork(3);
    form.pickAuthor(0);
    form.pickWork(3);
    EXPECT_EQ(voice.told,
        (Told {"[Първо изберете автор.] refused / 9", "Вярно Аристофан:Жените в народното събрание / 9",
            "[] answered / 8"}));
    EXPECT_TRUE(form.told().empty()) << "the form's own record is left alone";
}

} // namespace
