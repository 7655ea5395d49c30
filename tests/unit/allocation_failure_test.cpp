// Running out of memory inside an export: the call returns its refusal value,
// no exception reaches the host, and the run state is as before the call. Every
// allocation of the call is made to fail in turn.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "plugin/stats_api.h"
#include "support/workdir.h"

namespace {

long allocationsLeft = -1;  // -1: no failure armed

void* Allocate(std::size_t size) {
    if (allocationsLeft == 0) throw std::bad_alloc();
    if (allocationsLeft > 0) --allocationsLeft;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace stats::test {
namespace {

int32_t Add(const char* call, const char* band) {
    const DateTimeValue time{42618.5, kDateTimeValid};
    return AddData0("N0CALL", call, &time, nullptr, nullptr, nullptr, 0, 3585000, "RTTY", "599", "599", "001", "002",
                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Q0", 0, 0, 0,
                    0.0, 0.0, nullptr, "Elsewhere", nullptr, band, nullptr);
}

int32_t Remove(const char* call, const char* band) {
    return RemoveData0(nullptr, call, nullptr, nullptr, nullptr, nullptr, 0, 0, "RTTY", nullptr, nullptr, "001", "002",
                       nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0,
                       0, 0.0, 0.0, nullptr, nullptr, nullptr, band, nullptr);
}

int32_t Reset(const char* call) {
    const DateTimeValue day{42618.5, kDateTimeValid};
    return ResetStats0(nullptr, 0, call, &day, &day, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr, "Homeland", nullptr);
}

std::string Result() {
    int32_t code = 0;
    return GetResult0(&code);
}

// Runs the call with the n-th allocation failing, for n = 0, 1, ... until it
// succeeds; after every failed attempt the state must be what it was.
template <typename Call, typename Succeeded>
void FailEachAllocation(Call call, Succeeded succeeded) {
    const std::string before = Result();
    for (long n = 0;; ++n) {
        ASSERT_LT(n, 10000) << "the call never succeeded";
        allocationsLeft = n;
        auto result = call();
        allocationsLeft = -1;
        if (succeeded(result)) {
            EXPECT_GT(n, 0) << "the call allocated nothing, so no failure was tried";
            return;
        }
        ASSERT_EQ(Result(), before) << "state changed by a call failing at allocation " << n;
    }
}

class AllocationFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reset("N0CALL");
        Add("Q0A", "40m");
        Add("Q0B", "20m");
    }
    WorkDir dir;
};

TEST_F(AllocationFailureTest, AddData0) {
    // Short and long calls: a long one makes every step of the store allocate.
    for (const char* call : {"Q0C", "Q0LONGCALL/QRP/P"}) {
        SCOPED_TRACE(call);
        Reset("N0CALL");
        FailEachAllocation([&] { return Add(call, "80m"); }, [](int32_t r) { return r == 1; });
        EXPECT_NE(Result().find("80m\t 1\t"), std::string::npos);
        FailEachAllocation([&] { return Add(call, "80m"); }, [](int32_t r) { return r == 1; });  // a duplicate
        EXPECT_NE(Result().find("80m\t 2\t"), std::string::npos);
        FailEachAllocation([&] { return Add(call, "15m"); }, [](int32_t r) { return r == 1; });  // a new band
        EXPECT_NE(Result().find("15m\t 1\t"), std::string::npos);
    }
}

TEST_F(AllocationFailureTest, RemoveData0) {
    // A long call, so that the removal allocates.
    Add("Q0ABCDEFGHIJKLMNOP/QRP", "15m");
    FailEachAllocation([] { return Remove("Q0ABCDEFGHIJKLMNOP/QRP", "15m"); }, [](int32_t r) { return r == 1; });
    EXPECT_NE(Result().find("15m\t 0\t 0\r\n"), std::string::npos);
}

TEST_F(AllocationFailureTest, ResetStats0) {
    FailEachAllocation([] { return Reset("Q9ME-WITH-A-CALL-TOO-LONG-FOR-SSO"); }, [](int32_t r) { return r == 1; });
    EXPECT_NE(Result().find("Contestant: Q9ME-WITH-A-CALL-TOO-LONG-FOR-SSO\r\n\tQSOs\tPoints\r\nTotal\t 0"),
              std::string::npos);
}

TEST_F(AllocationFailureTest, GetResult0ReturnsAValidEmptyText) {
    Add("Q0C", "80m");
    const std::string expected = Result();
    allocationsLeft = 0;
    int32_t code = 0;
    const char* text = GetResult0(&code);
    allocationsLeft = -1;
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(Result(), expected);
}

}  // namespace
}  // namespace stats::test
