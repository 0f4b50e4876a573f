// The nick list on a real sorted list box: names added during a burst of
// server data, which go in together when it is over, end in the order that
// adding each one by one gives a list box of the same kind.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "irc/client_state.h"
#include "shell/redraw.h"
#include "shell/seam.h"

namespace {

int nFailures = 0;

HWND CreateNickListBox(HWND hParent)
{
    return CreateWindowExA(0, "LISTBOX", "",
                           WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS |
                               LBS_NOINTEGRALHEIGHT,
                           0, 0, 100, 400, hParent, nullptr, client.hInstance, nullptr);
}

std::vector<std::string> Entries(HWND hList)
{
    std::vector<std::string> entries;
    LRESULT nCount = SendMessageA(hList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < nCount; ++i) {
        char szEntry[600] = "";
        SendMessageA(hList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(szEntry));
        entries.push_back(szEntry);
    }
    return entries;
}

// The same names into the nick list during a burst and into a list box of
// its own kind one by one.
void AddBoth(HWND hReference, const std::vector<std::string>& names, const std::string& sWhat)
{
    BeginBurst();
    for (const std::string& s : names) {
        NickListAdd(s.c_str());
        SendMessageA(hReference, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    RedrawHeld();
    std::vector<std::string> got = Entries(client.hNickList), want = Entries(hReference);
    if (got == want) return;
    ++nFailures;
    size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
    std::printf("FAIL: %s: %zu entries, %zu expected; first difference at %zu: [%s] for [%s]\n", sWhat.c_str(),
                got.size(), want.size(), i, i < got.size() ? got[i].c_str() : "", i < want.size() ? want[i].c_str() : "");
}

}  // namespace

int main()
{
    client.hInstance = GetModuleHandleA(nullptr);
    HWND hParent = CreateWindowExA(0, "STATIC", "nick list check", WS_OVERLAPPEDWINDOW, 0, 0, 400, 500, nullptr,
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
    AddBoth(hReference, names, "a names reply of 2,600 in one burst");
    AddBoth(hReference, std::vector<std::string>(names.begin(), names.begin() + 300), "300 more, each twice now");

    BeginBurst();
    NickListAdd("held-name");
    SendMessageA(hReference, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("held-name"));
    LRESULT nWant = SendMessageA(hReference, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("held-name"));
    if (NickListFindExact("held-name") != nWant) {
        ++nFailures;
        std::printf("FAIL: a name held during a burst is found at %ld\n", static_cast<long>(nWant));
    }
    NickListAdd("forgotten");
    NickListRemoveAll();
    RedrawHeld();
    if (!Entries(client.hNickList).empty()) {
        ++nFailures;
        std::printf("FAIL: emptying the list during a burst forgets the names held\n");
    }

    std::printf("nick list check: %s\n", nFailures ? "FAILED" : "passed");
    DestroyWindow(hParent);
    return nFailures ? 1 : 0;
}
