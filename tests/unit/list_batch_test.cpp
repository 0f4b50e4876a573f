// Held entries merged into a sorted list against a list box that places each
// entry it is given by its own binary search; how held entries go in.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "shell/list_batch.h"

namespace {

std::vector<std::string> listed;
int nListedReads = 0;

SortKey KeyOf(const std::string& s)
{
    return {reinterpret_cast<const unsigned char*>(s.data()), static_cast<int>(s.size())};
}

SortKey ListedKey(int nIndex)
{
    ++nListedReads;
    return KeyOf(listed[nIndex]);
}

// The index a sorted list box gives a new entry.
size_t ListBoxPlace(const std::vector<std::string>& list, const std::string& s)
{
    int nMin = 0, nMax = static_cast<int>(list.size()) - 1;
    while (nMin <= nMax) {
        int nIndex = (nMin + nMax) / 2;
        int nOrder = list[nIndex].compare(s);
        if (nOrder == 0) return static_cast<size_t>(nIndex);
        if (nOrder > 0)
            nMax = nIndex - 1;
        else
            nMin = nIndex + 1;
    }
    return static_cast<size_t>(nMin);
}

// The list after the planned inserts, or a note that the plan refused.
std::vector<std::string> Merged(const std::vector<std::string>& held)
{
    std::vector<SortKey> keys;
    for (const std::string& s : held) keys.push_back(KeyOf(s));
    std::vector<int> order(held.size()), indices(held.size());
    nListedReads = 0;
    if (!PlanSortedInsert(keys.data(), static_cast<int>(keys.size()), static_cast<int>(listed.size()), ListedKey,
                          order.data(), indices.data()))
        return {"(one by one)"};
    std::vector<std::string> list = listed;
    for (size_t i = 0; i < held.size(); ++i) list.insert(list.begin() + indices[i], held[order[i]]);
    return list;
}

std::vector<std::string> AddedOneByOne(const std::vector<std::string>& held)
{
    std::vector<std::string> list = listed;
    for (const std::string& s : held) list.insert(list.begin() + ListBoxPlace(list, s), s);
    return list;
}

std::vector<std::string> Names(std::mt19937& random, int nCount, int nLength)
{
    std::vector<std::string> names;
    for (int i = 0; i < nCount; ++i) {
        std::string s;
        int nChars = 1 + static_cast<int>(random() % nLength);
        for (int k = 0; k < nChars; ++k) s += static_cast<char>('a' + random() % 6);
        names.push_back(s);
    }
    return names;
}

TEST(ListBatch, AMergePlacesNamesAsTheListBoxWould)
{
    std::mt19937 random(8);
    int nMerged = 0;
    for (int nRound = 0; nRound < 400; ++nRound) {
        // Names of up to 10 letters of 6 give prefixes and, now and then,
        // equal keys, which the plan must refuse.
        std::vector<std::string> start = Names(random, static_cast<int>(random() % 40), 10);
        listed.clear();
        for (const std::string& s : start) listed.insert(listed.begin() + ListBoxPlace(listed, s), s);
        std::vector<std::string> held = Names(random, 1 + static_cast<int>(random() % 60), 10);
        std::vector<std::string> merged = Merged(held);
        if (merged == std::vector<std::string>{"(one by one)"}) {
            bool bEqual = false;
            for (size_t i = 0; i < held.size(); ++i)
                for (size_t k = 0; k < held.size(); ++k) bEqual |= i != k && held[i] == held[k];
            for (const std::string& s : held)
                for (const std::string& t : listed) bEqual |= s == t;
            EXPECT_TRUE(bEqual) << "refused without two equal names, round " << nRound;
            continue;
        }
        ++nMerged;
        ASSERT_EQ(AddedOneByOne(held), merged) << "round " << nRound;
    }
    EXPECT_GT(nMerged, 100);
}

TEST(ListBatch, EqualKeysAreLeftToTheListBox)
{
    listed = {"bob", "carl"};
    EXPECT_EQ(std::vector<std::string>{"(one by one)"}, Merged({"ann", "dora", "ann"}));
    EXPECT_EQ(std::vector<std::string>{"(one by one)"}, Merged({"ann", "carl"}));
    EXPECT_EQ((std::vector<std::string>{"ann", "bob", "bobby", "carl", "carla"}), Merged({"carla", "bobby", "ann"}));
}

TEST(ListBatch, TheListIsReadOnlyAsFarAsTheLastName)
{
    listed.clear();
    for (int i = 0; i < 1000; ++i) listed.push_back("n" + std::to_string(1000 + i));
    std::vector<std::string> held = {"a2", "a1", "a3"};
    EXPECT_EQ(AddedOneByOne(held), Merged(held));
    EXPECT_EQ(1, nListedReads);
}

TEST(ListBatch, EntriesAreHeldInOrder)
{
    HeldEntries held;
    HoldEntry(held, "@zed");
    HoldEntry(held, "");
    HoldEntry(held, "amy");
    ASSERT_EQ(3, HeldCount(held));
    EXPECT_STREQ("@zed", HeldEntry(held, 0));
    EXPECT_STREQ("", HeldEntry(held, 1));
    EXPECT_STREQ("amy", HeldEntry(held, 2));
    ForgetHeld(held);
    EXPECT_EQ(0, HeldCount(held));
}

struct FeedCase {
    const char* szWhat;
    int nHeld, nListed;
    bool bBurstOver;
    ListFeed way;
};

const FeedCase kFeeds[] = {
    {"a few go one by one", 7, 0, true, FEED_ONE_BY_ONE},
    {"a names reply into a list of two", 2000, 2, true, FEED_AT_PLACES},
    {"a quarter of a short list, at their places", 1000, 4000, false, FEED_AT_PLACES},
    {"less than a quarter of a short list, one by one", 999, 4000, true, FEED_ONE_BY_ONE},
    {"a long list during a burst waits for as many again", 9999, 10000, false, FEED_LATER},
    {"and is then filled afresh", 10000, 10000, false, FEED_REFILLED},
    {"at the end an eighth is enough", 1250, 10000, true, FEED_REFILLED},
    {"less than an eighth goes one by one", 1249, 10000, true, FEED_ONE_BY_ONE},
};

TEST(ListBatch, HowHeldEntriesGoIn)
{
    for (const FeedCase& c : kFeeds) EXPECT_EQ(c.way, ChooseListFeed(c.nHeld, c.nListed, c.bBurstOver)) << c.szWhat;
}

// However long a burst into a long list, no entry is moved more than a few
// times: the refills, each of all the list, add up to a few times its end
// length.
TEST(ListBatch, RefillsDuringALongBurstStayFew)
{
    int nListed = 0, nHeld = 0;
    long nMoved = 0;
    for (int nRedraw = 0; nRedraw < 400; ++nRedraw) {
        nHeld += 900;  // the rows of 50 ms
        ListFeed way = ChooseListFeed(nHeld, nListed, false);
        if (way == FEED_LATER) continue;
        nMoved += way == FEED_REFILLED ? nListed + nHeld : nHeld;
        nListed += nHeld;
        nHeld = 0;
    }
    EXPECT_EQ(360000, nListed + nHeld);
    EXPECT_LT(nMoved, 3L * 360000);
}

}  // namespace
