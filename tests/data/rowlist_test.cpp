#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <algorithm>
#include <vector>

#include "data/engine_rowlist.h"

// The chunked list against a plain vector, through enough inserts and erases to split and
// empty chunks, with the identifier map both unbuilt and built.
TEST(RowList, BehavesLikeAVector)
{
    QRandomGenerator random(7);
    std::vector<qint64> reference;
    for (qint64 i = 0; i < 3000; ++i)
        reference.push_back(i * 2);
    TRowList list;
    list.Assign(reference);
    qint64 next = 100000;
    for (int step = 0; step < 6000; ++step) {
        const int op = int(random.bounded(10));
        if (op < 5 || reference.empty()) {
            const int at = int(random.bounded(int(reference.size()) + 1));
            reference.insert(reference.begin() + at, next);
            list.Insert(at, next++);
        } else if (op < 8) {
            const int at = int(random.bounded(int(reference.size())));
            reference.erase(reference.begin() + at);
            list.Erase(at);
        } else {
            const int at = int(random.bounded(int(reference.size())));
            ASSERT_EQ(list.IndexOf(reference[size_t(at)]), at) << "step " << step;
        }
        ASSERT_EQ(list.Size(), int(reference.size()));
    }
    for (int i = 0; i < int(reference.size()); ++i)
        ASSERT_EQ(list.At(i), reference[size_t(i)]);
    EXPECT_EQ(list.IndexOf(-5), -1);
    EXPECT_EQ(list.At(list.Size()), -1);

    std::vector<qint64> sorted = {1, 5, 9, 20};
    list.Assign(sorted);
    EXPECT_EQ(list.LowerBound(6), 2);
    EXPECT_EQ(list.LowerBound(0), 0);
    EXPECT_EQ(list.LowerBound(99), 4);
    while (list.Size() > 0)
        list.Erase(0);
    list.Insert(0, 3);
    EXPECT_EQ(list.IndexOf(3), 0);
}
