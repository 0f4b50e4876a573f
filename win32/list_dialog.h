// The modeless channel list dialog (Win32).
#pragma once

#include <windows.h>

INT_PTR CALLBACK ListDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// IDC_CLOSELIST: the dialog never destroys itself; it asks the main window.
void CloseChannelList();

// Puts the rows that arrived during a burst into the list (see list_batch.h).
void FeedChannelList(bool bBurstOver);
