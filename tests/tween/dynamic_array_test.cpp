#include <gtest/gtest.h>

#include <cstring>

#include "refhost/memory/memory_control.h"
#include "tween/dynamic_array.h"

namespace {

struct Record {
    char bytes[168];
};

Record Filled(char value) {
    Record r;
    std::memset(r.bytes, value, sizeof r.bytes);
    return r;
}

bool SlotsAreZeroFrom(TDynamicArray<int*> const& array, uint32_t from) {
    auto const* bytes = reinterpret_cast<unsigned char const*>(*array.data);
    for (std::size_t i = std::size_t{from} * array.elementSize;
         i < std::size_t{array.capacity} * array.elementSize; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(DynamicArray, GrowsByHalfPlusFourAndNeverShrinks) {
    TDynamicArray<int*> array;
    EXPECT_EQ(array.capacity, 0u);
    EXPECT_EQ(array.count, 0u);
    EXPECT_EQ(array.elementSize, sizeof(int*));
    EXPECT_EQ(GetHandleSize(array.data), 1);

    int values[20];
    array.Insert(&values[0], 0); // inserting into the empty array appends
    EXPECT_EQ(array.capacity, 5u);
    EXPECT_EQ(array.count, 1u);
    for (int i = 1; i < 6; ++i) {
        array.Append(&values[i]);
    }
    EXPECT_EQ(array.capacity, 13u) << "3 * 6 / 2 + 4";
    EXPECT_EQ(GetHandleSize(array.data), static_cast<Size>(13 * sizeof(int*)));
    EXPECT_TRUE(SlotsAreZeroFrom(array, array.count));

    array.Insert(&values[10], 0);
    array.Insert(&values[11], 3);
    EXPECT_EQ(array[0], &values[10]);
    EXPECT_EQ(array[1], &values[0]);
    EXPECT_EQ(array[3], &values[11]);
    EXPECT_EQ(array[7], &values[5]);

    Handle block = array.data;
    array.SetCount(0);
    EXPECT_EQ(array.count, 0u);
    EXPECT_EQ(array.capacity, 13u);
    EXPECT_EQ(array.data, block);
    EXPECT_TRUE(SlotsAreZeroFrom(array, 0)) << "emptying zeroes the slots it used";
    EXPECT_THROW(array[0], EMacError);
    try {
        array[0];
    } catch (EMacError error) {
        EXPECT_EQ(error, eParamErr);
    }
}

TEST(DynamicArray, AnItemFromInsideTheArrayIsCopiedBeforeTheBlockMoves) {
    TDynamicArray<Record> records;
    EXPECT_EQ(records.elementSize, 168u);
    for (char c = 'a'; c < 'f'; ++c) {
        records.Append(Filled(c));
    }
    ASSERT_EQ(records.count, records.capacity);
    records.Append(records[0]); // grows, and the block moves under the argument
    records.Insert(records[1], 0);
    EXPECT_EQ(records[6].bytes[167], 'a');
    EXPECT_EQ(records[0].bytes[0], 'b');
    EXPECT_THROW(records.Insert(Filled('z'), 99), EMacError);
}

TEST(DynamicArray, GrowthThatCannotHappenLeavesTheArrayAsItWas) {
    refhost::memory::FailureScope failures;
    TDynamicArray<Record> records;
    for (char c = 'a'; c < 'f'; ++c) {
        records.Append(Filled(c));
    }
    // The wanted 5 + 1 elements ask for 13 slots; a limit of 8 slots makes the array try
    // (6 + 13) / 2 = 9, then (6 + 9) / 2 = 7, which fits.
    refhost::memory::FailRequestsAbove(8 * 168);
    records.Append(Filled('f'));
    EXPECT_EQ(records.capacity, 7u);
    EXPECT_EQ(records.count, 6u);

    // Below what is needed, the array raises eMemFullErr and keeps everything.
    records.Append(Filled('g'));
    refhost::memory::FailRequestsAbove(7 * 168);
    Handle block = records.data;
    try {
        records.Append(Filled('h'));
        FAIL() << "the append should fail";
    } catch (EMacError error) {
        EXPECT_EQ(error, eMemFullErr);
    }
    EXPECT_EQ(records.capacity, 7u);
    EXPECT_EQ(records.count, 7u);
    EXPECT_EQ(records.data, block);
    EXPECT_EQ(records[6].bytes[0], 'g');

    refhost::memory::FailNthRequestFromNow(1);
    try {
        TDynamicArray<int*> unmade;
        FAIL() << "the constructor should fail";
    } catch (int16_t error) {
        EXPECT_EQ(error, memFullErr);
    }
}
