// The channel list from a real server. The relay holds the server's lines
// back and the test lets them through one at a time, so that the dialog can
// be looked at after each list reply.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "irc/client_state.h"
#include "irc/send.h"
#include "tests/fake/fake_seam.h"
#include "tests/integration/server_session.h"

namespace {

const size_t npos = std::string::npos;

// What the channel list dialog looked like after one list reply.
struct ListStep {
    std::string sLine;
    bool bOpen;
    std::string sTitle;
    std::vector<std::string> rows;
};

class ChannelList : public OpenServer {
protected:
    // Steps the server's lines one at a time up to the end of a list, and
    // notes the dialog after each list reply.
    std::vector<ListStep> StepToEndOfList()
    {
        std::vector<ListStep> steps;
        for (int i = 0; i < 100; ++i) {
            std::string sLine = StepOneLine();
            if (sLine.empty()) break;
            std::string sNumeric = sLine.substr(sLine.find(' ') + 1, 4);
            if (sNumeric == "321 " || sNumeric == "322 " || sNumeric == "323 ")
                steps.push_back({sLine, fake.bChannelListOpen, fake.sChannelListTitle, fake.channelRows});
            if (sNumeric == "323 ") break;
        }
        return steps;
    }

    // 321 opens or empties the dialog, each 322 adds its row as the server
    // wrote it, 323 gives the dialog its final title.
    void ExpectListFilledInOrder(const std::vector<ListStep>& steps)
    {
        ASSERT_GE(steps.size(), 4u) << "a start, the two configured channels and an end";
        EXPECT_NE(npos, steps.front().sLine.find(" 321 Ravkel "));
        EXPECT_NE(npos, steps.back().sLine.find(" 323 Ravkel "));
        for (size_t i = 0; i + 1 < steps.size(); ++i) {
            const ListStep& step = steps[i];
            EXPECT_TRUE(step.bOpen) << step.sLine;
            EXPECT_EQ("Loading Channel List...", step.sTitle) << step.sLine;
            EXPECT_EQ(i, step.rows.size()) << step.sLine;
            if (i == 0) continue;
            size_t nRow = step.sLine.find(" 322 Ravkel ") + 12;
            std::string sRow = step.sLine.substr(nRow, step.sLine.size() - nRow - 2);
            EXPECT_NE(step.rows.end(), std::find(step.rows.begin(), step.rows.end(), sRow)) << step.sLine;
        }
        const ListStep& end = steps.back();
        EXPECT_EQ("Channel List", end.sTitle);
        EXPECT_EQ(steps[steps.size() - 2].rows, end.rows);
        for (const char* szRow : {"#Go-Moku 0 :Go-Moku: five in a row", "#lobby 0 :Talk about anything"})
            EXPECT_NE(end.rows.end(), std::find(end.rows.begin(), end.rows.end(), szRow)) << szRow;
    }
};

TEST_F(ChannelList, WithoutAChannelTheEndOfTheMotdAsksForTheListAndItFillsInOrder)
{
    client.bShowList = 1;
    relay->HoldServerLines();
    ASSERT_EQ(0, Connect());
    std::vector<ListStep> steps = StepToEndOfList();
    EXPECT_NE(npos, relay->Recorded().find(UserLine() + "LIST\r\n")) << relay->Recorded();
    ExpectListFilledInOrder(steps);

    // Asked for again while the dialog is open: emptied and filled afresh.
    SendText("/LIST\r\n");
    ExpectListFilledInOrder(StepToEndOfList());
}

}  // namespace
