#include "log/qso_store.h"

#include <gtest/gtest.h>

namespace stats {
namespace {

CInfo Record(const std::string& call, const std::string& band, const std::string& exch = "001") {
    CInfo r;
    r.call = call;
    r.band = band;
    r.mode = "RTTY";
    r.exchRcvd = exch;
    return r;
}

TEST(QsoStoreTest, AppendRemoveAndTheDuplicateIndexStayInStep) {
    CInfoArray store;
    store.Append(Record("A", "80m", "1"));
    store.Append(Record("B", "80m", "2"));
    store.Append(Record("A", "80m", "3"));
    EXPECT_EQ(store.CountSame("A", "80m", "RTTY"), 2);
    EXPECT_EQ(store.CountSame("A", "40m", "RTTY"), 0);

    ASSERT_EQ(store.FindFirst("A", "RTTY", "80m"), 0);
    store.RemoveAt(0);
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(store.At(0).exchRcvd, "2");
    EXPECT_EQ(store.At(1).exchRcvd, "3");
    EXPECT_EQ(store.CountSame("A", "80m", "RTTY"), 1);
    store.RemoveAt(store.FindFirst("A", "RTTY", "80m"));
    EXPECT_EQ(store.CountSame("A", "80m", "RTTY"), 0);
    EXPECT_EQ(store.FindFirst("A", "RTTY", "80m"), -1);

    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.CountSame("B", "80m", "RTTY"), 0);
    store.Append(Record("B", "80m"));
    EXPECT_EQ(store.CountSame("B", "80m", "RTTY"), 1);
}

TEST(QsoStoreTest, KeyPartsCannotRunIntoEachOther) {
    CInfoArray store;
    store.Append(Record("AB", "C"));
    EXPECT_EQ(store.CountSame("A", "BC", "RTTY"), 0);
    EXPECT_EQ(store.CountSame("AB", "C", "RTTY"), 1);
}

TEST(QsoStoreTest, ACopiedRecordIsIndependent) {
    CInfoArray store;
    CInfo r = Record("A", "80m");
    store.Append(r);
    r.call = "changed";
    EXPECT_EQ(store.At(0).call, "A");
}

}  // namespace
}  // namespace stats
