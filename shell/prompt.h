// The message dialog's choice of template and its prompt, kept apart from
// the dialog procedure so that both can be checked without a window.
#pragma once

#include "irc/text.h"

// "MyMsgBoxYESNO" for a question about a subject (every string but the
// error texts IDS_ERROR and IDS_FILE_ERROR), "MyMsgBoxOK" for a notice.
const char* MessageDialogTemplate(const char* szSubject, int nStringId);

// The prompt: the format unchanged when the subject is empty, otherwise the
// format with the subject in place of its "%s"; cut to 255 characters.
void FormatPrompt(TextField& szPrompt, const char* szFormat, const char* szSubject);
