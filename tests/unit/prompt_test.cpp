// The message dialogs' templates and prompts, from the program's own string
// table in kelva.rc.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "resources/resource.h"
#include "shell/prompt.h"

namespace {

// The STRINGTABLE of the resource script, by id, with "" unescaped.
std::map<int, std::string> ReadStringTable()
{
    std::map<std::string, int> ids;
    std::ifstream header(KELVA_SOURCE_DIR "/resources/resource.h");
    for (std::string sLine; std::getline(header, sLine);) {
        std::istringstream words(sLine);
        std::string sDefine, sName;
        int nValue;
        if (words >> sDefine >> sName >> nValue && sDefine == "#define") ids[sName] = nValue;
    }
    std::map<int, std::string> strings;
    std::ifstream script(KELVA_SOURCE_DIR "/resources/kelva.rc");
    bool bInTable = false;
    for (std::string sLine; std::getline(script, sLine);) {
        if (sLine.find("STRINGTABLE") != std::string::npos) bInTable = true;
        if (!bInTable) continue;
        if (sLine.find("END") == 0) break;
        std::istringstream words(sLine);
        std::string sName;
        words >> sName;
        size_t nOpen = sLine.find('"');
        if (!ids.count(sName) || nOpen == std::string::npos) continue;
        std::string sText;
        for (size_t i = nOpen + 1; i + 1 < sLine.size() || (i < sLine.size() && sLine[i] != '"'); ++i) {
            if (sLine[i] == '"' && sLine[i + 1] == '"') {
                sText += '"';
                ++i;
            } else if (sLine[i] == '"') {
                break;
            } else {
                sText += sLine[i];
            }
        }
        strings[ids[sName]] = sText;
    }
    return strings;
}

struct PromptCase {
    int nStringId;
    const char* szSubject;
    const char* szTemplate;
    const char* szPrompt;
};

const PromptCase kPrompts[] = {
    {IDS_PLAY_GAME, "bob", "MyMsgBoxYESNO", "Would you like to play a game with bob?"},
    {IDS_DISCONNECT, "irc.example.net", "MyMsgBoxYESNO", "Would you like to disconnect from irc.example.net?"},
    {IDS_LEAVE_GAME, "bob", "MyMsgBoxYESNO", "Would you like to leave the game with bob?"},
    {IDS_SETUP_CONNECTED, "", "MyMsgBoxOK", "Please wait until you disconnect to make changes to the setup."},
    {IDS_NOT_CONNECTED, "", "MyMsgBoxOK", "You are not currently connected."},
    {IDS_ERROR, "Unable to malloc pLine_Buffer", "MyMsgBoxOK", "Unable to malloc pLine_Buffer"},
    {IDS_FILE_ERROR, "kelva.ini", "MyMsgBoxOK", "Could not load the file \"kelva.ini\"."},
};

TEST(MessageDialog, EachStringGetsItsTemplateAndPrompt)
{
    std::map<int, std::string> strings = ReadStringTable();
    ASSERT_EQ(7u, strings.size());
    for (const PromptCase& c : kPrompts) {
        EXPECT_STREQ(c.szTemplate, MessageDialogTemplate(c.szSubject, c.nStringId)) << "string " << c.nStringId;
        TextField szPrompt;
        FormatPrompt(szPrompt, strings[c.nStringId].c_str(), c.szSubject);
        EXPECT_STREQ(c.szPrompt, szPrompt) << "string " << c.nStringId;
    }
}

TEST(MessageDialog, AQuestionWithoutASubjectIsANotice)
{
    EXPECT_STREQ("MyMsgBoxOK", MessageDialogTemplate("", IDS_PLAY_GAME));
    EXPECT_STREQ("MyMsgBoxOK", MessageDialogTemplate("", IDS_DISCONNECT));
}

TEST(MessageDialog, AnOverlongSubjectIsCutToTheFieldAndPercentSignsStayText)
{
    TextField szPrompt;
    std::string sSubject(400, 'f');
    FormatPrompt(szPrompt, "Could not load the file \"%s\".", sSubject.c_str());
    EXPECT_EQ(("Could not load the file \"" + sSubject).substr(0, 255), szPrompt);

    FormatPrompt(szPrompt, "%s", "100%s done %d");
    EXPECT_STREQ("100%s done %d", szPrompt);
}

}  // namespace
