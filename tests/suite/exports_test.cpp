// The exported boundary: every entry point under its plain and its decorated
// name, as a host built with the platform's usual compiler looks them up.

#include <gtest/gtest.h>

#include "support/exported_names.h"
#include "support/plugin.h"

namespace stats::test {
namespace {

using ExportsTest = PluginTest;

TEST_F(ExportsTest, EveryEntryPointUnderBothNames) {
    for (const ExportedName& name : ExportedNames()) {
        SCOPED_TRACE(name.plain);
        void* plain = plugin.Symbol(name.plain);
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ(plugin.Symbol(name.decorated.c_str()), plain) << name.decorated;
        EXPECT_EQ(DescribeDecorated(name.decorated), name.signature);
    }
}

TEST_F(ExportsTest, GetExchgCount0IsGetNumberOfSets) {
    EXPECT_EQ(plugin.Symbol("GetExchgCount0"), plugin.Symbol("GetNumberOfSets"));
}

}  // namespace
}  // namespace stats::test
