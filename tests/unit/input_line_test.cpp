// The input line's Up, Down and Tab: the history of the lines sent and the
// completion of nicknames from the nick list.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "shell/input_line.h"
#include "tests/fake/fake_seam.h"

namespace {

enum Key { SEND, UP, DOWN };

struct HistoryStep {
    Key key;
    const char* szText;   // sent, or what the input line holds at Up
    const char* szShown;  // what Up or Down bring; nullptr for nothing
};

const HistoryStep kHistorySteps[] = {
    {UP, "draft", nullptr},  {SEND, "/join #a", nullptr}, {SEND, "hello", nullptr}, {SEND, "", nullptr},
    {UP, "typing", "hello"}, {UP, "hello", "/join #a"},   {UP, "/join #a", nullptr}, {DOWN, "", "hello"},
    {DOWN, "", "typing"},    {DOWN, "", nullptr},         {UP, "x", "hello"},        {SEND, "again", nullptr},
    {UP, "", "again"},       {DOWN, "", ""},
};

TEST(InputHistory, UpAndDownWalkTheLinesSentAndComeBackToTheLineBeingWritten)
{
    std::unique_ptr<InputHistory> history(new InputHistory);
    int nStep = 0;
    for (const HistoryStep& step : kHistorySteps) {
        ++nStep;
        if (step.key == SEND) {
            RememberSentLine(*history, step.szText);
            continue;
        }
        const char* szShown = step.key == UP ? RecallOlderLine(*history, step.szText) : RecallNewerLine(*history);
        EXPECT_STREQ(step.szShown, szShown) << "step " << nStep;
    }
}

TEST(InputHistory, KeepsTheLast100Lines)
{
    std::unique_ptr<InputHistory> history(new InputHistory);
    for (int n = 1; n <= 150; ++n) RememberSentLine(*history, ("line " + std::to_string(n)).c_str());
    const char* szOldest = nullptr;
    for (int n = 0; n < 100; ++n) szOldest = RecallOlderLine(*history, "");
    EXPECT_STREQ("line 51", szOldest);
    EXPECT_EQ(nullptr, RecallOlderLine(*history, ""));
}

struct CompletionCase {
    const char* szWhat;
    const char* szText;
    size_t nCaret;
    int nTabs;
    const char* szAfter;  // the text after the last Tab, unchanged when nothing matched
    size_t nCaretAfter;
};

const CompletionCase kCompletions[] = {
    {"at the start of the line, with \": \"", "al", 2, 1, "alice: ", 7},
    {"a second Tab takes the next match", "al", 2, 2, "Albert: ", 8},
    {"and round to the first after the last", "al", 2, 3, "alice: ", 7},
    {"in the line, marks ignored, in list order", "hi b", 4, 1, "hi Bobby", 8},
    {"the next match in the line", "hi b", 4, 2, "hi bob", 6},
    {"letter case ignored, before the rest of the line", "hi BO there", 5, 1, "hi Bobby there", 8},
    {"a word that begins no nickname", "hi x", 4, 1, "hi x", 4},
    {"no word before the caret", "hi ", 3, 1, "hi ", 3},
};

TEST(NickCompletion, TabCompletesTheWordBeforeTheCaretFromTheNickList)
{
    for (const CompletionCase& c : kCompletions) {
        ResetClientAndFake();
        fake.nicks = {"+Bobby", "@alice", "Albert", "bob", "carol"};  // as the list box sorts them
        NickCompletion completion;
        std::string sText = c.szText;
        size_t nCaret = c.nCaret;
        for (int i = 0; i < c.nTabs; ++i) {
            InputText szOut;
            if (CompleteNickname(completion, sText.c_str(), nCaret, szOut)) sText = szOut;
        }
        EXPECT_EQ(c.szAfter, sText) << c.szWhat;
        EXPECT_EQ(c.nCaretAfter, nCaret) << c.szWhat;
    }
}

}  // namespace
