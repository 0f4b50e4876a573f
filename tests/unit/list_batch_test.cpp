// Held entries merged into a sorted list against a list box that places each
// entry it is given by its own binary search; how often a long list is
// filled afresh.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "shell/list_batch.h"

namespace {

std::vector<std::string> listed;
int nListedReads = 0;

SortKey KeyOf(const std::string& s) { return {reinterpret_cast<const unsigned char*>(s.data()), static_cast<int>(s.size())}; }

SortKey ListedKey(int nIndex)
{
    ++nListedReads;
    return KeyOf(listed[nIndex]);
}

// The list after adding each to a sorted list box: its binary search puts an
// entry before an equal one it meets.
std::vector<std::string> AddedOneByOne(const std::vector<std::string>& held)
{
    std::vector<std::string> list = listed;
    for (const std::string& s : held) {
        int nMin = 0, nMax = static_cast<int>(list.size()) - 1;
        while (nMin <= nMax) {
            int nIndex = (nMin + nMax) / 2, nOrder = list[nIndex].compare(s);
            if (nOrder == 0) {
                nMin = nIndex;
                break;
            }
            if (nOrder > 0)
                nMax = nIndex - 1;
            else
                nMin = nIndex + 1;
        }
        list.insert(list.begin() + nMin, s);
    }
    return list;
}

// The list after the planned inserts; empty when the plan refused.
std::vector<std::string> Merged(const std::vector<std::string>& held)
{
    std::vector<SortKey> keys;
    for (const std::string& s : held) keys.push_back(KeyOf(s));
    std::vector<int> order(held.size()), indices(held.size());
    nListedReads = 0;
    if (!PlanSortedInsert(keys.data(), static_cast<int>(keys.size()), static_cast<int>(listed.size()), ListedKey,
                          order.data(), indices.data()))
        return {};
    std::vector<std::string> list = listed;
    for (size_t i = 0; i < held.size(); ++i) list.insert(list.begin() + indices[i], held[order[i]]);
    return list;
}

// Names of up to 10 letters of 6: prefixes of each other and, now and then,
// equal ones.
std::vector<std::string> Names(std::mt19937& random, int nCount)
{
    std::vector<std::string> names(static_cast<size_t>(nCount));
    for (std::string& s : names)
        for (int k = 0, nChars = 1 + static_cast<int>(random() % 10); k < nChars; ++k)
            s += static_cast<char>('a' + random() % 6);
    return names;
}

TEST(ListBatch, AMergePlacesEntriesAsTheListBoxWouldOrRefusesOnEqualKeys)
{
    std::mt19937 random(8);
    int nMerged = 0;
    for (int nRound = 0; nRound < 400; ++nRound) {
        listed.clear();
        listed = AddedOneByOne(Names(random, static_cast<int>(random() % 40)));
        std::vector<std::string> held = Names(random, 1 + static_cast<int>(random() % 60));
        std::vector<std::string> merged = Merged(held);
        if (!merged.empty()) {
            ++nMerged;
            ASSERT_EQ(AddedOneByOne(held), merged) << "round " << nRound;
            continue;
        }
        bool bEqual = false;
        for (size_t i = 0; i < held.size(); ++i) {
            for (size_t k = i + 1; k < held.size(); ++k) bEqual |= held[i] == held[k];
            for (const std::string& s : listed) bEqual |= held[i] == s;
        }
        EXPECT_TRUE(bEqual) << "refused without two equal entries, round " << nRound;
    }
    EXPECT_GT(nMerged, 100);

    listed = {"bob", "carl"};
    EXPECT_TRUE(Merged({"ann", "carl"}).empty()) << "a held entry equal to a listed one";
    EXPECT_EQ((std::vector<std::string>{"ann", "bob", "bobby", "carl", "carla"}), Merged({"carla", "bobby", "ann"}));
}

TEST(ListBatch, AMergeReadsTheListOnlyAsFarAsTheLastEntry)
{
    listed.clear();
    for (int i = 0; i < 1000; ++i) listed.push_back("n" + std::to_string(1000 + i));
    EXPECT_EQ(AddedOneByOne({"a2", "a1", "a3"}), Merged({"a2", "a1", "a3"}));
    EXPECT_EQ(1, nListedReads);
}

// However long a burst into a long list, the refills, each of the whole
// list, add up to a few times its final length; a short list takes each
// redraw's entries at once.
TEST(ListBatch, RefillsDuringALongBurstStayFew)
{
    int nListed = 0, nHeld = 0;
    long nMoved = 0;
    for (int nRedraw = 0; nRedraw < 400; ++nRedraw) {
        nHeld += 900;  // the rows of 50 ms
        ListFeed way = ChooseListFeed(nHeld, nListed, false);
        if (nListed <= 4096) {
            EXPECT_EQ(FEED_AT_PLACES, way) << nListed;
        }
        if (way == FEED_LATER) continue;
        nMoved += way == FEED_REFILLED ? nListed + nHeld : nHeld;
        nListed += nHeld;
        nHeld = 0;
    }
    EXPECT_EQ(360000, nListed + nHeld);
    EXPECT_LT(nMoved, 3L * 360000);
    EXPECT_EQ(FEED_REFILLED, ChooseListFeed(1250, 10000, true)) << "at the end an eighth is enough";
}

}  // namespace
