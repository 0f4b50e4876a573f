#include "shell/prompt.h"

#include <cstring>

#include "irc/text.h"
#include "resources/resource.h"

const char* MessageDialogTemplate(const char* szSubject, int nStringId)
{
    bool bQuestion = szSubject[0] != '\0' && nStringId != IDS_ERROR && nStringId != IDS_FILE_ERROR;
    return bQuestion ? "MyMsgBoxYESNO" : "MyMsgBoxOK";
}

void FormatPrompt(TextField& szPrompt, const char* szFormat, const char* szSubject)
{
    TextBuilder prompt(szPrompt, sizeof szPrompt);
    const char* pPlaceholder = szSubject[0] != '\0' ? std::strstr(szFormat, "%s") : nullptr;
    if (pPlaceholder == nullptr) {
        prompt.Add(szFormat);
        return;
    }
    prompt.Add(szFormat, static_cast<size_t>(pPlaceholder - szFormat)).Add(szSubject).Add(pPlaceholder + 2);
}
