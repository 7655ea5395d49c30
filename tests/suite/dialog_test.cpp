// The Cabrillo header dialog as the operator sees and works it during a run
// with a Cabrillo log: what it shows, what OK saves to "Plugins\KYRVEN.ini"
// and hands to the Cabrillo file, and what every way of cancelling keeps.

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/dialog_driver.h"
#include "support/settings_lines.h"
#include "support/workdir.h"

namespace stats::test {
namespace {

const char kIni[] = "Plugins/KYRVEN.ini";

const std::vector<std::string> kCaptions = {
    "CONTEST",      "CALLSIGN",           "CLAIMED",         "CATEGORY-OPERATOR", "CATEGORY-BAND",
    "CATEGORY-POWER", "NAME",             "ADDRESS",         "ADDRESS-CITY",      "ADDRESS-POSTALCODE",
    "ADDRESS-COUNTRY", "OPERATORS",       "CLUB",            "SOAPBOX",           "E-MAIL",
};

const char kFilledIni[] =
    "[Settings]\r\n"
    "Operators=N0CALL Q0OP\r\n"
    "Name=Ann Operator\r\n"
    "Address=1 Long Road\r\n"
    "Address-City=Kyrvenstad\r\n"
    "Address-PostalCode=12345\r\n"
    "Address-Country=Kyrvenia\r\n"
    "Email=ann@example.org\r\n"
    "Club=Radio Club\r\n"
    "SoapBox=first<CR><LF>second\r\n"
    "Category=CHECKLOG\r\n"
    "Power=QRP\r\n"
    "Claimed=999\r\n";

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory("Plugins"); }

    static std::string Ini() { return ReadFile(kIni).value_or("<no file>"); }
    static std::string Cabrillo(const std::string& stem = "N0CALL") {
        return ReadFile(stem + ".cbr").value_or("<no file>");
    }
    static bool HasLine(const std::string& text, const std::string& line) {
        return text.find("\r\n" + line + "\r\n") != std::string::npos;
    }

    WorkDir dir;
};

TEST_F(DialogTest, FirstRunShowsTheDefaultsAndOkCreatesTheFile) {
    DialogRun run;
    ASSERT_TRUE(run.Open()) << run.Transcript();
    EXPECT_EQ(run.Captions(), kCaptions);
    for (const std::string& caption : kCaptions) {
        std::string expected;
        if (caption == "CONTEST") expected = "KYRVEN RTTY CONTEST ";
        if (caption == "CALLSIGN" || caption == "OPERATORS") expected = "N0CALL";
        if (caption == "CATEGORY-OPERATOR") expected = "SINGLE-OP";
        if (caption == "CATEGORY-BAND") expected = "ALL";
        if (caption == "CATEGORY-POWER") expected = "HIGH";
        EXPECT_EQ(run.Value(caption), expected) << caption;
    }
    EXPECT_EQ(run.Items("CATEGORY-OPERATOR"), (std::vector<std::string>{"SINGLE-OP", "MULTI-ONE", "CHECKLOG"}));
    EXPECT_EQ(run.Items("CATEGORY-BAND"), (std::vector<std::string>{"ALL", "80M", "40M", "20M", "15M", "10M"}));
    EXPECT_EQ(run.Items("CATEGORY-POWER"), (std::vector<std::string>{"HIGH", "LOW", "QRP"}));
    run.Press(Close::kOk);
    EXPECT_EQ(run.ResetResult(), 1);
    EXPECT_EQ(Ini(),
              std::string("[Settings]\r\n") +
              "Operators=N0CALL\r\n"
              "Name=\r\n"
              "Address=\r\n"
              "Address-City=\r\n"
              "Address-PostalCode=\r\n"
              "Address-Country=\r\n"
              "Category=SINGLE-OP\r\n"
              "Location=\r\n"
              "Power=HIGH\r\n" +
              kContestLine +
              "Email=\r\n"
              "Club=\r\n"
              "SoapBox=\r\n");
    run.Finish();
    const std::string log = Cabrillo();
    EXPECT_TRUE(HasLine(log, "OPERATORS: N0CALL")) << log;
    EXPECT_TRUE(HasLine(log, "CATEGORY-OPERATOR: SINGLE-OP")) << log;
}

TEST_F(DialogTest, ShowsTheStoredValuesWithTheSoapboxAsLines) {
    WriteFile(kIni, kFilledIni);
    DialogRun run("Q9ME");
    ASSERT_TRUE(run.Open()) << run.Transcript();
    const std::pair<const char*, const char*> shown[] = {
        {"CALLSIGN", "Q9ME"},
        {"CLAIMED", "999"},
        {"OPERATORS", "N0CALL Q0OP"},
        {"NAME", "Ann Operator"},
        {"ADDRESS", "1 Long Road"},
        {"ADDRESS-CITY", "Kyrvenstad"},
        {"ADDRESS-POSTALCODE", "12345"},
        {"ADDRESS-COUNTRY", "Kyrvenia"},
        {"E-MAIL", "ann@example.org"},
        {"CLUB", "Radio Club"},
        {"SOAPBOX", "first\r\nsecond"},
        // Saved by the last OK, yet every run starts from the fixed values.
        {"CATEGORY-OPERATOR", "SINGLE-OP"},
        {"CATEGORY-POWER", "HIGH"},
    };
    for (const auto& [caption, value] : shown) EXPECT_EQ(run.Value(caption), value) << caption;
    run.Press(Close::kCancel);
}

TEST_F(DialogTest, ChangedValuesAreSavedAndReachTheCabrilloFile) {
    WriteFile(kIni, kFilledIni);
    DialogRun run;
    ASSERT_TRUE(run.Open()) << run.Transcript();
    run.SetValue("NAME", "Bo Other");
    run.SetValue("CALLSIGN", "Q9ME/P");
    run.SetValue("ADDRESS", "");
    run.PickItem("CATEGORY-POWER", 1);
    run.SetValue("CATEGORY-OPERATOR", "MULTI-TWO");  // no such item: taken as typed
    run.SetValue("CATEGORY-BAND", "2");              // a number typed as text, not an item's
    EXPECT_EQ(run.Value("NAME"), "Bo Other");
    EXPECT_EQ(run.Value("ADDRESS"), "");
    EXPECT_EQ(run.Value("CATEGORY-POWER"), "LOW");
    EXPECT_EQ(run.Value("CATEGORY-OPERATOR"), "MULTI-TWO");
    EXPECT_EQ(run.Value("CATEGORY-BAND"), "2");
    run.Press(Close::kOk);
    EXPECT_EQ(run.ResetResult(), 1);
    const std::string ini = Ini();
    for (const char* line : {"Name=Bo Other", "Address=", "Power=LOW", "Category=MULTI-TWO", "Club=Radio Club",
                             "SoapBox=first<CR><LF>second"})
        EXPECT_TRUE(HasLine(ini, line)) << line << "\n" << ini;
    run.Finish();
    // The file keeps the name of the call sign the host passed.
    const std::string log = Cabrillo();
    for (const char* line : {"CALLSIGN: Q9ME/P", "NAME: Bo Other", "ADDRESS: ", "CATEGORY-POWER: LOW",
                             "CATEGORY-OPERATOR: MULTI-TWO", "CATEGORY-BAND: 2", "SOAPBOX: second"})
        EXPECT_TRUE(HasLine(log, line)) << line << "\n" << log;
}

TEST_F(DialogTest, ClaimedIsShownButNeverSaved) {
    WriteFile(kIni, "[Settings]\r\nClaimed=999\r\n");
    DialogRun run;
    ASSERT_TRUE(run.Open()) << run.Transcript();
    EXPECT_EQ(run.Value("CLAIMED"), "999");
    run.SetValue("CLAIMED", "123456");
    run.Press(Close::kOk);
    EXPECT_EQ(run.ResetResult(), 1);
    EXPECT_TRUE(HasLine(Ini(), "Claimed=999")) << Ini();
    EXPECT_EQ(Ini().find("123456"), std::string::npos) << Ini();
    run.Finish();
    // The score is computed: no QSO, no points.
    EXPECT_TRUE(HasLine(Cabrillo(), "CLAIMED-SCORE: 0")) << Cabrillo();
}

TEST_F(DialogTest, SoapboxLinesTravelInStoredAndCabrilloForm) {
    DialogRun run;
    ASSERT_TRUE(run.Open()) << run.Transcript();
    run.SetValue("SOAPBOX", "Line one");
    run.AddSoapboxLine("Line two");
    EXPECT_EQ(run.Value("SOAPBOX"), "Line one\r\nLine two");
    run.Press(Close::kOk);
    EXPECT_EQ(run.ResetResult(), 1);
    EXPECT_TRUE(HasLine(Ini(), "SoapBox=Line one<CR><LF>Line two")) << Ini();
    run.Finish();
    EXPECT_NE(Cabrillo().find("\r\nSOAPBOX: Line one\r\nSOAPBOX: Line two\r\n"), std::string::npos) << Cabrillo();
}

TEST_F(DialogTest, EveryWayOfClosingSavesOrKeeps) {
    const struct {
        Close how;
        const char* name;
        bool saves;
    } cases[] = {
        {Close::kOk, "OK", true},           {Close::kEnter, "Enter", true},
        {Close::kCancel, "CANCEL", false},  {Close::kEscape, "Escape", false},
        {Close::kCloseBox, "close box", false}, {Close::kEndOfInput, "end of input", false},
    };
    for (const auto& c : cases) {
        if (!DialogRun::Supports(c.how)) continue;
        SCOPED_TRACE(c.name);
        WriteFile(kIni, kFilledIni);
        std::filesystem::remove("N0CALL.cbr");
        DialogRun run;
        ASSERT_TRUE(run.Open()) << run.Transcript();
        run.SetValue("NAME", "Changed");
        run.SetValue("SOAPBOX", "new");
        run.Press(c.how);
        // A cancelled dialog is no failure of the reset.
        EXPECT_EQ(run.ResetResult(), 1);
        if (c.saves) {
            EXPECT_TRUE(HasLine(Ini(), "Name=Changed")) << Ini();
            EXPECT_TRUE(HasLine(Ini(), "SoapBox=new")) << Ini();
        } else {
            EXPECT_EQ(Ini(), kFilledIni);
        }
        run.Finish();
        EXPECT_TRUE(HasLine(Cabrillo(), c.saves ? "NAME: Changed" : "NAME: Ann Operator")) << Cabrillo();
        EXPECT_TRUE(HasLine(Cabrillo(), c.saves ? "SOAPBOX: new" : "SOAPBOX: second")) << Cabrillo();
    }
}

TEST_F(DialogTest, EveryRunStartsFromTheFixedCategories) {
    {
        DialogRun run;
        ASSERT_TRUE(run.Open()) << run.Transcript();
        run.PickItem("CATEGORY-OPERATOR", 2);
        run.PickItem("CATEGORY-BAND", 2);
        run.PickItem("CATEGORY-POWER", 2);
        run.Press(Close::kOk);
        EXPECT_EQ(run.ResetResult(), 1);
        run.Finish();
        EXPECT_TRUE(HasLine(Ini(), "Category=CHECKLOG")) << Ini();
        EXPECT_TRUE(HasLine(Ini(), "Power=QRP")) << Ini();
        EXPECT_TRUE(HasLine(Cabrillo(), "CATEGORY-BAND: 40M")) << Cabrillo();
    }
    DialogRun again;
    ASSERT_TRUE(again.Open()) << again.Transcript();
    EXPECT_EQ(again.Value("CATEGORY-OPERATOR"), "SINGLE-OP");
    EXPECT_EQ(again.Value("CATEGORY-BAND"), "ALL");
    EXPECT_EQ(again.Value("CATEGORY-POWER"), "HIGH");
    again.Press(Close::kCancel);
    EXPECT_EQ(again.ResetResult(), 1);
}

TEST_F(DialogTest, EmptyFieldsComeBackEmpty) {
    WriteFile(kIni, kFilledIni);
    DialogRun run;
    ASSERT_TRUE(run.Open()) << run.Transcript();
    for (const char* caption : {"OPERATORS", "CLUB", "SOAPBOX", "CATEGORY-POWER", "CONTEST"})
        run.SetValue(caption, "");
    run.Press(Close::kOk);
    EXPECT_EQ(run.ResetResult(), 1);
    for (const char* line : {"Operators=", "Club=", "SoapBox=", "Power=", "Contest="})
        EXPECT_TRUE(HasLine(Ini(), line)) << line << "\n" << Ini();
    run.Finish();
    // The log's CONTEST line is fixed, whatever the field held.
    for (const char* line : {"OPERATORS: ", "CLUB: ", "SOAPBOX: ", "CATEGORY-POWER: ", "CONTEST: KYRVEN RTTY CONTEST "})
        EXPECT_TRUE(HasLine(Cabrillo(), line)) << line << "\n" << Cabrillo();
}

#ifdef _WIN32

TEST_F(DialogTest, TheTemplateAsTheOperatorSeesIt) {
    DialogRun run;
    ASSERT_TRUE(run.Open()) << run.Transcript();
    EXPECT_EQ(run.WindowCaption(), "KYRVEN RTTY CONTEST ");
    const unsigned long frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_MODALFRAME;
    EXPECT_EQ(run.WindowStyle() & frame, frame);

    const std::vector<DialogRun::Control> controls = run.Controls();
    ASSERT_EQ(controls.size(), kCaptions.size() + 2);
    const struct {
        const char* caption;
        int id;
        const char* windowClass;
        unsigned long style;  // among the bits checked below
    } expected[] = {
        {"CONTEST", 1009, "Edit", ES_AUTOHSCROLL},
        {"CALLSIGN", 1010, "Edit", ES_AUTOHSCROLL},
        {"CLAIMED", 1008, "Edit", ES_AUTOHSCROLL},
        {"CATEGORY-OPERATOR", 1013, "ComboBox", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
        {"CATEGORY-BAND", 1014, "ComboBox", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
        {"CATEGORY-POWER", 1015, "ComboBox", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
        {"NAME", 1007, "Edit", ES_AUTOHSCROLL},
        {"ADDRESS", 1002, "Edit", 0},
        {"ADDRESS-CITY", 1003, "Edit", 0},
        {"ADDRESS-POSTALCODE", 1011, "Edit", 0},
        {"ADDRESS-COUNTRY", 1012, "Edit", 0},
        {"OPERATORS", 1006, "Edit", ES_AUTOHSCROLL},
        {"CLUB", 1005, "Edit", ES_AUTOHSCROLL},
        {"SOAPBOX", 1001, "Edit", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP},
        {"E-MAIL", 1004, "Edit", ES_AUTOHSCROLL},
    };
    const unsigned long editBits = ES_AUTOHSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL |
                                   WS_TABSTOP | ES_READONLY | ES_NUMBER;
    const unsigned long comboBits = CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP;
    long oneLineHeight = 0;
    for (size_t i = 0; i < std::size(expected); ++i) {
        const DialogRun::Control& c = controls[i];
        SCOPED_TRACE(expected[i].caption);
        EXPECT_EQ(c.caption, expected[i].caption);
        EXPECT_EQ(c.id, expected[i].id);
        EXPECT_EQ(c.windowClass, expected[i].windowClass);
        const unsigned long bits = c.windowClass == "ComboBox" ? comboBits : editBits;
        // The system hands a combo box's scroll bar to its list, which shows
        // it only when the items do not fit; so it is not checked here.
        const unsigned long shown = c.windowClass == "ComboBox" ? bits & ~WS_VSCROLL : bits;
        EXPECT_EQ(c.style & shown, expected[i].style & shown) << std::hex << c.style;
        // The label sits left of its control, on its row.
        const long middle = (c.labelTop + c.labelBottom) / 2;
        EXPECT_LE(c.labelRight, c.left);
        EXPECT_TRUE(middle > c.top && middle < c.top + 30) << c.top << " " << middle;
        if (c.caption == "NAME") oneLineHeight = c.bottom - c.top;
    }
    // Rows go down in the order above; CLAIMED shares CALLSIGN's row.
    for (size_t i = 1; i < std::size(expected); ++i)
        if (controls[i].caption == "CLAIMED")
            EXPECT_EQ(controls[i].top, controls[i - 1].top);
        else
            EXPECT_GT(controls[i].top, controls[i - 1].top) << controls[i].caption;
    const DialogRun::Control& soapbox = controls[13];
    const double ratio = double(soapbox.bottom - soapbox.top) / double(oneLineHeight);
    EXPECT_TRUE(ratio > 2.2 && ratio < 2.8) << ratio;

    const DialogRun::Control& ok = controls[15];
    const DialogRun::Control& cancel = controls[16];
    EXPECT_EQ(ok.caption, "OK");
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.style & 0xF, static_cast<unsigned long>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(cancel.caption, "CANCEL");
    EXPECT_EQ(cancel.id, IDCANCEL);
    EXPECT_LT(ok.right, cancel.left);
    EXPECT_EQ(ok.top, cancel.top);
    EXPECT_GT(ok.top, controls[14].bottom);
    EXPECT_EQ(ok.style & WS_TABSTOP, 0u);
    EXPECT_EQ(cancel.style & WS_TABSTOP, 0u);

    // The fixed values are the list's items, selected.
    EXPECT_EQ(run.Selection("CATEGORY-OPERATOR"), 0);
    EXPECT_EQ(run.Selection("CATEGORY-BAND"), 0);
    EXPECT_EQ(run.Selection("CATEGORY-POWER"), 0);
    run.Press(Close::kCancel);
}

#else

TEST_F(DialogTest, ControlCharactersAreShownVisiblyAndKept) {
    WriteFile(kIni, "[Settings]\r\nName=\x1b[2J\x9bX\tY\r\n");
    DialogRun run;
    ASSERT_TRUE(run.Open()) << run.Transcript();
    EXPECT_EQ(run.Value("NAME"), "\\x1B[2J\\x9BX\\x09Y");
    EXPECT_EQ(run.Transcript().find('\x1b'), std::string::npos);
    run.Press(Close::kOk);
    EXPECT_EQ(run.ResetResult(), 1);
    EXPECT_TRUE(HasLine(Ini(), "Name=\x1b[2J\x9bX\tY")) << Ini();
}

TEST_F(DialogTest, UnknownChoicesAreRefusedAndTheFormGoesOn) {
    DialogRun run;
    ASSERT_TRUE(run.Open()) << run.Transcript();
    for (const char* line : {"99", "0", "x", "1x"})
        EXPECT_NE(run.TypeLine(line).find(std::string("No such choice: ") + line), std::string::npos) << line;
    // A field's prompt and its item list end with the field's value kept.
    EXPECT_NE(run.TypeLine("5").find("\n  1  ALL\n  2  80M\n"), std::string::npos) << run.Transcript();
    run.TypeLine("");
    EXPECT_EQ(run.Value("CATEGORY-BAND"), "ALL");
    run.SetValue("NAME", "x");
    run.Press(Close::kOk);
    EXPECT_EQ(run.ResetResult(), 1);
    EXPECT_TRUE(HasLine(Ini(), "Name=x")) << Ini();
}

#endif

}  // namespace
}  // namespace stats::test
