// Neighbour lists, their checks, the groups without a known point, and the profile.
#include "neighbours.h"
#include "profile.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tarnex;

namespace {

std::vector<long> codes(std::initializer_list<std::pair<int, int>> observations)
{
    std::vector<long> list = {0};
    for (auto [from, to] : observations)
        list.push_back(static_cast<long>(from) * 10000 + to);
    return list;
}

std::vector<long> chain(int points)
{
    std::vector<long> list = {0};
    for (int i = 1; i < points; ++i)
        list.push_back(static_cast<long>(i) * 10000 + i + 1);
    return list;
}

struct Checked {
    int code;
    std::string console;
};

Checked check(const NeighbourLists& lists)
{
    std::ostringstream out;
    Console console(out);
    const int code = REORD(lists, console);
    return {code, out.str()};
}

Profile profileOf(const NeighbourLists& lists, std::string* messages = nullptr)
{
    std::ostringstream out;
    Console console(out);
    Profile profile = PROFIL(lists, console);
    if (messages)
        *messages = out.str();
    return profile;
}

}  // namespace

TEST(Order, SplitsTheLineCode)
{
    int from = 0;
    int to = 0;
    ORDER(from, to, 14991500);
    EXPECT_EQ(from, 1499);
    EXPECT_EQ(to, 1500);
    ORDER(from, to, 70007);
    EXPECT_EQ(from, 7);
    EXPECT_EQ(to, 7);
}

TEST(Sortl, RepeatedObservationsGiveOneEntryOnEachSide)
{
    const NeighbourLists lists = SORTL(codes({{1, 2}, {2, 1}, {1, 2}}), 2);
    EXPECT_EQ(lists.at(1), std::vector<int>({2}));
    EXPECT_EQ(lists.at(2), std::vector<int>({1}));
}

TEST(Sortl, SelfObservationPutsThePointOnceIntoItsOwnList)
{
    const NeighbourLists lists = SORTL(codes({{1, 1}, {1, 1}}), 1);
    EXPECT_EQ(lists.at(1), std::vector<int>({1}));
    const Checked checked = check(lists);
    EXPECT_EQ(checked.code, kCheckClean);
    EXPECT_EQ(checked.console, "");
}

TEST(Sortl, NeighboursInOrderOfObservation)
{
    const NeighbourLists lists = SORTL(codes({{3, 1}, {3, 2}, {4, 3}}), 4);
    EXPECT_EQ(lists.at(3), std::vector<int>({1, 2, 4}));
    EXPECT_EQ(lists.at(1), std::vector<int>({3}));
}

TEST(Reord, ObservedNetworkIsClean)
{
    const Checked checked = check(SORTL(chain(5), 5));
    EXPECT_EQ(checked.code, 0);
    EXPECT_EQ(checked.console, "");
}

TEST(Reord, UnobservedKnownPointIsError006)
{
    const Checked checked = check(SORTL(codes({{2, 3}}), 3));
    EXPECT_EQ(checked.code, 1);
    EXPECT_EQ(checked.console, "\n*** ERROR 006 --- Linked Node < 1 *** \n");
}

TEST(Reord, MoreThanTwentyFiveNeighboursIsError007AndTheListStaysComplete)
{
    std::vector<long> star = {0};
    for (int p = 2; p <= 27; ++p)
        star.push_back(10000L + p);
    const NeighbourLists lists = SORTL(star, 27);
    EXPECT_EQ(lists.count(1), 26);
    EXPECT_EQ(lists.at(1).back(), 27);
    const Checked checked = check(lists);
    EXPECT_EQ(checked.code, 25);
    EXPECT_EQ(checked.console, "\n*** ERROR 007 --- Linked Node > 25 *** \n");
}

TEST(Reord, ExactlyTwentyFiveNeighboursPass)
{
    std::vector<long> star = {0};
    for (int p = 2; p <= 26; ++p)
        star.push_back(10000L + p);
    EXPECT_EQ(check(SORTL(star, 26)).code, 0);
}

TEST(Reord, BothFindingsGiveCode25AndBothMessages)
{
    std::vector<long> star = {0};
    for (int p = 2; p <= 27; ++p)
        star.push_back(10000L + p);
    const Checked checked = check(SORTL(star, 28));
    EXPECT_EQ(checked.code, 25);
    EXPECT_EQ(checked.console, "\n*** ERROR 006 --- Linked Node < 1 *** \n\n*** ERROR 007 --- Linked Node > 25 *** \n");
}

TEST(Profil, ChainHasFirstColumnIMinusOneAndStorageTwoMMinusOne)
{
    const int m = 40;
    const Profile profile = profileOf(SORTL(chain(m), m));
    EXPECT_EQ(profile.first[1], 1);
    for (int i = 2; i <= m; ++i)
        EXPECT_EQ(profile.first[static_cast<std::size_t>(i)], i - 1) << i;
    EXPECT_EQ(profile.storage(), 2 * m - 1);
    // o(i) = i - 2 for i >= 2: the diagonal of row i sits at 2i - 2
    EXPECT_EQ(profile.at(1, 1), 1u);
    EXPECT_EQ(profile.at(2, 1), 2u);
    EXPECT_EQ(profile.at(2, 2), 3u);
    EXPECT_EQ(profile.at(m, m), static_cast<std::size_t>(2 * m - 1));
}

TEST(Profil, PointWithoutSmallerNeighbourHoldsOnlyItsDiagonal)
{
    // 1-3, 2-3: point 2 has no neighbour below it
    const Profile profile = profileOf(SORTL(codes({{1, 3}, {2, 3}}), 3));
    EXPECT_EQ(profile.first[2], 2);
    EXPECT_EQ(profile.first[3], 1);
    EXPECT_EQ(profile.offset[2], 0);
    EXPECT_EQ(profile.offset[3], 2);
    EXPECT_EQ(profile.storage(), 5);
}

TEST(Profil, ColumnRowsListTheProfileBelowEachDiagonal)
{
    // f = 1, 1, 3, 2: column 2 holds rows 4 (f(4) = 2) but not 3 (f(3) = 3)
    const Profile profile = profileOf(SORTL(codes({{1, 2}, {3, 3}, {2, 4}, {4, 3}}), 4));
    ASSERT_EQ(profile.first[3], 3);
    ASSERT_EQ(profile.first[4], 2);
    const auto rows = [&](int column) {
        return std::vector<int>(profile.columnRows.begin() + profile.columnStart[static_cast<std::size_t>(column)],
                                profile.columnRows.begin() + profile.columnStart[static_cast<std::size_t>(column) + 1]);
    };
    EXPECT_EQ(rows(1), std::vector<int>({2}));
    EXPECT_EQ(rows(2), std::vector<int>({4}));
    EXPECT_EQ(rows(3), std::vector<int>({4}));
    EXPECT_EQ(rows(4), std::vector<int>({}));
}

TEST(Profil, StorageAboveCapacityIsReportedAndTheProfileStaysWhole)
{
    // every point joined to point 1: a full lower triangle of 450 rows
    std::vector<long> star = {0};
    for (int p = 2; p <= 450; ++p)
        star.push_back(10000L + p);
    std::string messages;
    const Profile profile = profileOf(SORTL(star, 450), &messages);
    EXPECT_EQ(profile.storage(), 450L * 451 / 2);
    EXPECT_EQ(messages, "\n*** ERROR --- Memory Overflow ! *** maxcor=   90000\n");
}

TEST(DatumGroups, EveryGroupHoldsAKnownPoint)
{
    EXPECT_EQ(firstColumnWithoutDatum(SORTL(chain(6), 6), 1), 0);
}

TEST(DatumGroups, ColumnOfTheGroupCompletedFirst)
{
    // known 1; group {2, 9} completes at 9, group {3, 4, 5} at 5; 6-7-8 hangs on 1
    const NeighbourLists lists = SORTL(codes({{2, 9}, {3, 4}, {5, 4}, {1, 6}, {6, 7}, {7, 8}}), 9);
    EXPECT_EQ(firstColumnWithoutDatum(lists, 1), 5);
}

TEST(DatumGroups, SelfObservedPointAloneHasNoDatum)
{
    EXPECT_EQ(firstColumnWithoutDatum(SORTL(codes({{1, 2}, {3, 3}}), 3), 1), 3);
}

TEST(DatumGroups, UnobservedKnownPointIsItsOwnDatum)
{
    EXPECT_EQ(firstColumnWithoutDatum(SORTL(codes({{1, 3}}), 3), 2), 0);
}
