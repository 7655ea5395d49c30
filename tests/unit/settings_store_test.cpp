#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <map>

#include "fake_dialog.h"
#include "settings/replace_all.h"
#include "support/settings_lines.h"
#include "support/workdir.h"

namespace stats::test {
namespace {

using Fields = std::vector<platform::DialogField>;

std::map<std::string, std::string> Values(const Fields& fields) {
    std::map<std::string, std::string> values;
    for (const auto& f : fields) values[f.caption] = f.value;
    return values;
}

void Set(Fields& fields, const std::string& caption, const std::string& value) {
    for (auto& f : fields)
        if (caption == f.caption) f.value = value;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void TearDown() override { fakeDialog = nullptr; }
    std::string Ini() { return ReadFile("Plugins/KYRVEN.ini").value_or("<missing>"); }
    WorkDir dir;
    CCabrilloLog log;
};

TEST_F(SettingsStoreTest, FromNothingTheDialogShowsDefaultsAndOkSavesTheThirteenKeys) {
    std::filesystem::create_directory("Plugins");
    Fields shown;
    fakeDialog = [&](Fields& fields) {
        shown = fields;
        return 1;
    };
    EXPECT_EQ(EditSettings(log, "N0CALL"), 1);

    std::vector<std::string> order;
    for (const auto& f : shown) order.push_back(f.caption);
    EXPECT_EQ(order, (std::vector<std::string>{"CALLSIGN", "CLAIMED", "CLUB", "CATEGORY-OPERATOR", "CONTEST", "E-MAIL",
                                               "NAME", "OPERATORS", "SOAPBOX", "ADDRESS", "CATEGORY-BAND",
                                               "ADDRESS-CITY", "ADDRESS-POSTALCODE", "ADDRESS-COUNTRY",
                                               "CATEGORY-POWER"}));
    EXPECT_EQ(Values(shown), (std::map<std::string, std::string>{{"CALLSIGN", "N0CALL"},
                                                                 {"CLAIMED", ""},
                                                                 {"CLUB", ""},
                                                                 {"CATEGORY-OPERATOR", "SINGLE-OP"},
                                                                 {"CONTEST", "KYRVEN RTTY CONTEST "},
                                                                 {"E-MAIL", ""},
                                                                 {"NAME", ""},
                                                                 {"OPERATORS", "N0CALL"},
                                                                 {"SOAPBOX", ""},
                                                                 {"ADDRESS", ""},
                                                                 {"CATEGORY-BAND", "ALL"},
                                                                 {"ADDRESS-CITY", ""},
                                                                 {"ADDRESS-POSTALCODE", ""},
                                                                 {"ADDRESS-COUNTRY", ""},
                                                                 {"CATEGORY-POWER", "HIGH"}}));
    EXPECT_EQ(std::vector<std::string>(shown[3].items.begin(), shown[3].items.end()),
              (std::vector<std::string>{"SINGLE-OP", "MULTI-ONE", "CHECKLOG"}));
    EXPECT_EQ(shown[3].kind, platform::FieldKind::kCombo);
    EXPECT_EQ(shown[8].kind, platform::FieldKind::kMultiLine);
    EXPECT_EQ(shown[0].controlId, 1010);

    EXPECT_EQ(Ini(),
              "[Settings]\r\nOperators=N0CALL\r\nName=\r\nAddress=\r\nAddress-City=\r\nAddress-PostalCode=\r\n"
              "Address-Country=\r\nCategory=SINGLE-OP\r\nLocation=\r\nPower=HIGH\r\n" +
                  std::string(kContestLine) + "Email=\r\nClub=\r\nSoapBox=\r\n");
}

TEST_F(SettingsStoreTest, SoapboxFormsThroughOkAndTheNextReset) {
    std::filesystem::create_directory("Plugins");
    fakeDialog = [](Fields& fields) {
        Set(fields, "SOAPBOX", "Line one\r\nLine two<CR>three");
        return 1;
    };
    EditSettings(log, "N0CALL");
    EXPECT_NE(Ini().find("\r\nSoapBox=Line one<CR><LF>Line two<CR>three\r\n"), std::string::npos);
    // The marker typed literally is a line break in the Cabrillo form at once.
    EXPECT_EQ(log.soapbox, "Line one\r\nSOAPBOX: Line two\r\nSOAPBOX: three");

    std::string shown;
    fakeDialog = [&](Fields& fields) {
        shown = Values(fields)["SOAPBOX"];
        return 2;
    };
    EditSettings(log, "N0CALL");
    EXPECT_EQ(shown, "Line one\r\nLine two\rthree");
}

TEST_F(SettingsStoreTest, FixedCategoriesReturnAndClaimedIsNeverSaved) {
    WriteFile("Plugins/KYRVEN.ini", "[Settings]\r\nClaimed=120\r\n");
    fakeDialog = [](Fields& fields) {
        EXPECT_EQ(Values(fields)["CLAIMED"], "120");
        Set(fields, "CATEGORY-POWER", "LOW");
        Set(fields, "CATEGORY-OPERATOR", "CHECKLOG");
        Set(fields, "CATEGORY-BAND", "80M");
        Set(fields, "CLAIMED", "99999");
        Set(fields, "CALLSIGN", "Q9ME");
        return 1;
    };
    EditSettings(log, "N0CALL/P");
    EXPECT_EQ(log.categoryPower, "LOW");
    EXPECT_EQ(log.categoryOperator, "CHECKLOG");
    EXPECT_EQ(log.categoryBand, "80M");
    EXPECT_EQ(log.claimedScore, "120");
    EXPECT_EQ(log.callsign, "Q9ME");
    EXPECT_EQ(log.fileStem, "N0CALL_P");  // from the call passed in, not the field
    const std::string ini = Ini();
    EXPECT_NE(ini.find("\r\nClaimed=120\r\n"), std::string::npos);
    EXPECT_NE(ini.find("\r\nCategory=CHECKLOG\r\n"), std::string::npos);
    EXPECT_NE(ini.find("\r\nPower=LOW\r\n"), std::string::npos);

    std::map<std::string, std::string> shown;
    fakeDialog = [&](Fields& fields) {
        shown = Values(fields);
        return 2;
    };
    EditSettings(log, "N0CALL");
    EXPECT_EQ(shown["CATEGORY-POWER"], "HIGH");
    EXPECT_EQ(shown["CATEGORY-OPERATOR"], "SINGLE-OP");
    EXPECT_EQ(shown["CATEGORY-BAND"], "ALL");
}

TEST_F(SettingsStoreTest, CancelSavesNothingAndKeepsTheLoadedValues) {
    const std::string stored =
        "; the operator's own notes\r\n[Settings]\r\nName=Ann\r\nOperators=\r\nSoapBox=a<CR><LF>b\r\nLocation=EU\r\n";
    WriteFile("Plugins/KYRVEN.ini", stored);
    log.qsoLines = {"QSO: old\r\n"};
    fakeDialog = [](Fields& fields) {
        Set(fields, "NAME", "Changed");
        return 2;
    };
    EXPECT_EQ(EditSettings(log, "N0CALL"), 0);
    EXPECT_EQ(Ini(), stored);
    EXPECT_EQ(log.name, "Ann");
    EXPECT_EQ(log.operators, "");  // present and empty: no default
    EXPECT_EQ(log.location, "EU");
    EXPECT_EQ(log.soapbox, "a\r\nSOAPBOX: b");
    EXPECT_TRUE(log.qsoLines.empty());

    fakeDialog = nullptr;  // cannot be created: also a Cancel
    EXPECT_EQ(EditSettings(log, "N0CALL"), 0);
    EXPECT_EQ(Ini(), stored);
}

TEST_F(SettingsStoreTest, LongValuesAreReadWhole) {
    const std::string soapbox = std::string(97, 'x') + "<CR><LF>" + std::string(200, 'y');
    WriteFile("Plugins/KYRVEN.ini", "[Settings]\r\nSoapBox=" + soapbox + "\r\nName=" + std::string(300, 'n') + "\r\n");
    fakeDialog = [](Fields&) { return 1; };
    EditSettings(log, "N0CALL");
    EXPECT_EQ(log.name, std::string(300, 'n'));
    EXPECT_EQ(log.soapbox, std::string(97, 'x') + "\r\nSOAPBOX: " + std::string(200, 'y'));
    // OK saved the whole text back, not a shortened one.
    EXPECT_NE(Ini().find("\r\nSoapBox=" + soapbox + "\r\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, LocationKeepsItsValueWhenTheKeyIsMissing) {
    log.location = "from an earlier run";
    EditSettings(log, "N0CALL");
    EXPECT_EQ(log.location, "from an earlier run");
}

TEST(ReplaceAllTest, LeftToRightWithoutOverlapsOrRescans) {
    const struct {
        const char *source, *find, *replacement, *expected;
    } cases[] = {
        {"aaa", "aa", "b", "ba"},       {"a", "a", "aa", "aa"},        {"abc", "x", "y", "abc"},
        {"", "a", "b", ""},             {"a/b/c", "/", "_", "a_b_c"},  {"<CR><CR>", "<CR>", "\r", "\r\r"},
        {"same", "same", "same", "same"}, {"x<LF>", "<LF>", "", "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(ReplaceAll(c.source, c.find, c.replacement), c.expected) << c.source;
}

}  // namespace
}  // namespace stats::test
