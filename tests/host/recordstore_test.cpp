// The column store: null bits across word boundaries, and text that survives arena compaction.
#include <gtest/gtest.h>

#include <string>

#include "host/recordstore.h"

using namespace lm;

TEST(RecordStore, NewRecordsAreNullAndWritesClearTheNullBit)
{
    TRecordStore store({TStoreKind::skInt, TStoreKind::skFloat, TStoreKind::skString});
    for (int i = 0; i < 130; ++i)
        store.AddRecord();
    EXPECT_TRUE(store.IsNull(0, 64));
    store.SetInt(0, 64, -5);
    store.SetFloat(1, 129, 2.5);
    store.SetString(2, 63, "");
    EXPECT_FALSE(store.IsNull(0, 64));
    EXPECT_TRUE(store.IsNull(0, 63));
    EXPECT_TRUE(store.IsNull(0, 65));
    EXPECT_EQ(store.GetInt(0, 64), -5);
    EXPECT_DOUBLE_EQ(store.GetFloat(1, 129), 2.5);
    EXPECT_FALSE(store.IsNull(2, 63)) << "the empty text is a value, not null";
    store.SetNull(0, 64);
    EXPECT_TRUE(store.IsNull(0, 64));
}

TEST(RecordStore, RewrittenTextsKeepTheirValuesThroughCompaction)
{
    TRecordStore store({TStoreKind::skString});
    const int records = 100;
    for (int i = 0; i < records; ++i)
        store.SetString(0, store.AddRecord(), "initial " + std::to_string(i));
    // Many rewrites leave far more dead bytes than live ones, which forces compactions.
    for (int round = 0; round < 200; ++round)
        for (int i = 0; i < records; i += 3)
            store.SetString(0, static_cast<TRecordStore::RecId>(i), std::string(40, 'a' + round % 26) + std::to_string(i));
    for (int i = 0; i < records; ++i) {
        const std::string expected = i % 3 == 0 ? std::string(40, 'a' + 199 % 26) + std::to_string(i)
                                                : "initial " + std::to_string(i);
        EXPECT_EQ(store.GetString(0, static_cast<TRecordStore::RecId>(i)), expected) << i;
    }
}

TEST(RecordStore, CopyRecordCarriesValuesAndNulls)
{
    TRecordStore a({TStoreKind::skInt, TStoreKind::skString});
    TRecordStore b({TStoreKind::skInt, TStoreKind::skString});
    a.AddRecord();
    a.SetString(1, 0, "text");
    b.AddRecord();
    b.SetInt(0, 0, 9);
    b.CopyRecord(a, 0, 0);
    EXPECT_TRUE(b.IsNull(0, 0));
    EXPECT_EQ(b.GetString(1, 0), "text");
    a.SetString(1, 0, "changed");
    EXPECT_EQ(b.GetString(1, 0), "text") << "the copy owns its bytes";
}
