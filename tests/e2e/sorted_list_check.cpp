// Sorted list boxes fed with entries held during a burst of server data,
// which go in together when it is over: they end as adding each one by one
// leaves a list box of the same kind, in order, selection, caret and the
// first row shown. The nick list through the seam; a long list, filled
// afresh, directly.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "irc/client_state.h"
#include "win32/redraw.h"
#include "irc/seam.h"
#include "win32/sorted_list.h"

namespace {

int nFailures = 0;

void Check(bool bOk, const std::string& sWhat)
{
    if (bOk) return;
    ++nFailures;
    std::printf("FAIL: %s\n", sWhat.c_str());
}

HWND CreateNickListBox(HWND hParent)
{
    return CreateWindowExW(0, L"LISTBOX", L"",
                           WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS |
                               LBS_NOINTEGRALHEIGHT,
                           0, 0, 100, 400, hParent, nullptr, client.hInstance, nullptr);
}

// The entries as UTF-8.
std::vector<std::string> Entries(HWND hList)
{
    std::vector<std::string> entries;
    LRESULT nCount = SendMessageW(hList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < nCount; ++i) {
        wchar_t szEntry[600] = L"";
        SendMessageW(hList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(szEntry));
        char szUtf8[1800] = "";
        WideCharToMultiByte(CP_UTF8, 0, szEntry, -1, szUtf8, sizeof szUtf8, nullptr, nullptr);
        entries.push_back(szUtf8);
    }
    return entries;
}

// A name added as the system's own conversions read it: UTF-8 when it is
// valid UTF-8, otherwise Windows-1252.
void AddReference(HWND hReference, const std::string& sName)
{
    wchar_t szWide[600] = L"";
    if (!MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, sName.c_str(), -1, szWide, 600))
        MultiByteToWideChar(1252, 0, sName.c_str(), -1, szWide, 600);
    SendMessageW(hReference, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szWide));
}

void ExpectSame(HWND hList, HWND hReference, const std::string& sWhat)
{
    std::vector<std::string> got = Entries(hList), want = Entries(hReference);
    size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
    Check(got == want, sWhat + ": " + std::to_string(got.size()) + " entries; the first difference at " +
                           std::to_string(i) + ": [" + (i < got.size() ? got[i] : "") + "] for [" +
                           (i < want.size() ? want[i] : "") + "]");
    // With a row selected, the caret of a list filled afresh stays on it.
    bool bSelected = SendMessageA(hReference, LB_GETCURSEL, 0, 0) != LB_ERR;
    for (UINT uAsk : {LB_GETCURSEL, LB_GETCARETINDEX, LB_GETTOPINDEX}) {
        LRESULT nGot = SendMessageA(hList, uAsk, 0, 0), nWant = SendMessageA(hReference, uAsk, 0, 0);
        if (uAsk == LB_GETCARETINDEX && bSelected) nWant = SendMessageA(hReference, LB_GETCURSEL, 0, 0);
        Check(nGot == nWant, sWhat + ": list box message " + std::to_string(uAsk) + " answers " +
                                 std::to_string(nGot) + ", " + std::to_string(nWant) + " expected");
    }
}

// The same names into the nick list during a burst and into a list box of
// its own kind one by one.
void AddBoth(HWND hReference, const std::vector<std::string>& names, const std::string& sWhat)
{
    BeginBurst();
    for (const std::string& s : names) {
        NickListAdd(s.c_str());
        AddReference(hReference, s);
    }
    RedrawHeld();
    ExpectSame(client.hNickList, hReference, sWhat);
}

std::string Row(int n) { return "#channel" + std::to_string(100000 + n * 7919 % 100000) + " 12 :[+nt] a topic"; }

// A list of 6,000 rows with the view moved down, with a row selected or
// only the caret moved, then 1,000 more rows held and filled in afresh.
void FillLongList(HWND hParent, bool bSelect)
{
    HWND hList = CreateNickListBox(hParent), hReference = CreateNickListBox(hParent);
    for (int i = 0; i < 6000; ++i)
        for (HWND h : {hList, hReference}) AddReference(h, Row(i));
    for (HWND h : {hList, hReference}) {
        SendMessageA(h, bSelect ? LB_SETCURSEL : LB_SETCARETINDEX, 3000, 0);
        SendMessageA(h, LB_SETTOPINDEX, 1000, 0);
    }
    HeldEntries held;
    for (int i = 6000; i < 7000; ++i) {
        HoldEntry(held, Row(i).c_str());
        AddReference(hReference, Row(i));
    }
    FeedSortedList(hList, held, false);
    Check(SendMessageA(hList, LB_GETCOUNT, 0, 0) == 6000, "during a burst a long list waits for more rows");
    FeedSortedList(hList, held, true);
    RedrawHeld();
    ExpectSame(hList, hReference, bSelect ? "a long list filled afresh" : "a long list filled afresh, none selected");
}

// Channel rows with punctuation, letter case and letters beyond ASCII (in
// UTF-8 and in Windows-1252), fed as a flood feeds them: in batches during a
// burst, the list's entries kept with their keys from one feed to the next,
// then at its end. A batch with two rows equal but for their letter case goes
// in one by one; a row is selected and the view moved on the way.
void FillDuringBurst(HWND hParent)
{
    const char* kChannels[] = {"#Go-Moku", "#go_moku", "#gomoku", "#GOMOKU!", "##c++", "#c", "#C#", "&local", "#[x]",
                               "#{x}", "#a'b", "#ab", "#a-b", "#a.b", "#A_b", "#\xc3\xa4", "#\xf6", "#\xc3\xa9t\xc3\xa9",
                               "#zz", "#Zz-", "#0day", "#9", "#~", "#^_^", "#|", "#\\", "#`"};
    std::vector<std::string> rows;
    for (int n = 0; n < 400; ++n)
        for (const char* szChannel : kChannels) rows.push_back(szChannel + std::to_string(n) + " 7 :[+nt] Topic");
    std::shuffle(rows.begin(), rows.end(), std::mt19937(5));
    // In the second batch, which so goes in one by one.
    auto pGoMoku = std::find(rows.begin(), rows.end(), "#Go-Moku5 7 :[+nt] Topic");
    std::iter_swap(pGoMoku, rows.begin() + 1000);
    rows.insert(rows.begin() + 1001, "#GO-MOKU5 7 :[+nt] Topic");
    HWND hList = CreateNickListBox(hParent), hReference = CreateNickListBox(hParent);
    HeldEntries held;
    BeginBurst();
    for (size_t i = 0; i < rows.size(); ++i) {
        AddToSortedList(hList, held, rows[i].c_str());
        AddReference(hReference, rows[i]);
        if (i % 900 < 899) continue;
        FeedSortedList(hList, held, false);
        if (i != 2699) continue;
        for (HWND h : {hList, hReference}) {
            SendMessageA(h, LB_SETCURSEL, 1000, 0);
            SendMessageA(h, LB_SETTOPINDEX, 900, 0);
        }
    }
    FeedSortedList(hList, held, true);
    RedrawHeld();
    ExpectSame(hList, hReference, "channel rows fed in batches during a burst");
}

}  // namespace

int main()
{
    client.hInstance = GetModuleHandleA(nullptr);
    HWND hParent = CreateWindowExA(0, "STATIC", "sorted list check", WS_OVERLAPPEDWINDOW, 0, 0, 400, 500, nullptr,
                                   nullptr, client.hInstance, nullptr);
    client.hNickList = CreateNickListBox(hParent);
    HWND hReference = CreateNickListBox(hParent);

    std::mt19937 random(3);
    const char* prefixes[] = {"", "", "", "@", "+"};
    std::vector<std::string> names;
    for (int i = 0; i < 2000; ++i) names.push_back(std::string(prefixes[random() % 5]) + "person" + std::to_string(10000 + i));
    // The characters of nicknames, letter case, and bytes above 127; a
    // number of its own keeps each name apart from the others.
    const char szChars[] = "aAbBzZ_-[]\\`^{}|0123456789\xe4\xc4\xe9\xdf";
    for (int i = 0; i < 600; ++i) {
        std::string s;
        for (int k = 0; k < 1 + static_cast<int>(random() % 6); ++k) s += szChars[random() % (sizeof szChars - 1)];
        names.push_back(s + std::to_string(i) + szChars[random() % (sizeof szChars - 1)]);
    }
    std::shuffle(names.begin(), names.end(), random);

    AddBoth(hReference, {"Kelva", "talker0"}, "a names reply of two");
    AddBoth(hReference, {"Zora", "zora", "Yves", "Xena", "Wim", "Vera", "Uwe", "Tom", "Sam"},
            "names equal but for their letter case");
    for (const char* szUtf8 : {"Zo\xC3\xAB", "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7", "\xE4\xB8\xAD\xE6\x96\x87", "@\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD"})
        names.push_back(szUtf8);
    AddBoth(hReference, names, "a names reply of 2,604 in one burst, in UTF-8 and in Windows-1252");

    // Names are found by the bytes' rule: ASCII letters folded, nothing else.
    const struct { const char* szName; const char* szListed; } kFinds[] = {
        {"Zo\xC3\xAB", "Zo\xC3\xAB"}, {"ZO\xC3\xAB", "Zo\xC3\xAB"}, {"Zo\xC3\x8B", nullptr},
        {"\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7", "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7"},
        {"\xCE\xB5\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7", nullptr},  // a small epsilon: another name
    };
    for (const auto& find : kFinds) {
        short nFound = NickListFindExact(find.szName);
        std::vector<std::string> entries = Entries(client.hNickList);
        Check(find.szListed ? nFound >= 0 && entries[static_cast<size_t>(nFound)] == find.szListed : nFound == -1,
              std::string("finding ") + find.szName + " gives " + std::to_string(nFound));
    }

    BeginBurst();
    NickListAdd("held-name");
    AddReference(hReference, "held-name");
    LRESULT nWant = SendMessageW(hReference, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"held-name"));
    Check(NickListFindExact("held-name") == nWant, "a name held during a burst is found");
    NickListAdd("forgotten");
    NickListRemoveAll();
    RedrawHeld();
    Check(Entries(client.hNickList).empty(), "emptying the list during a burst forgets the names held");

    FillLongList(hParent, true);
    FillLongList(hParent, false);
    FillDuringBurst(hParent);

    std::printf("sorted list check: %s\n", nFailures ? "FAILED" : "passed");
    DestroyWindow(hParent);
    return nFailures ? 1 : 0;
}
