// The computer opponent's line assembly: the server's bytes cut into lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "opponent/line_assembler.h"

namespace {

TEST(OpponentLines, EverySplitOfAStreamGivesTheSameLines)
{
    const std::string sStream = std::string("PING :a\r\n:b PRIVMSG c :!M 1 2\n") + std::string(600, 'x') + "\r\nEND\r\n";
    for (size_t nSplit = 0; nSplit <= sStream.size(); ++nSplit) {
        LineAssembler a;
        std::vector<std::string> lines;
        auto collect = [](void* pData, const char* szLine) { static_cast<std::vector<std::string>*>(pData)->push_back(szLine); };
        FeedLines(a, sStream.data(), static_cast<int>(nSplit), collect, &lines);
        FeedLines(a, sStream.data() + nSplit, static_cast<int>(sStream.size() - nSplit), collect, &lines);
        EXPECT_EQ((std::vector<std::string>{"PING :a\r\n", ":b PRIVMSG c :!M 1 2\n", "END\r\n"}), lines)
            << "split at " << nSplit << ": the line over 512 characters is dropped";
    }
}

}  // namespace
