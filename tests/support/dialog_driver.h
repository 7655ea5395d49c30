#pragma once
// The Cabrillo header dialog worked as an operator works it, during a run
// that a freshly loaded plug-in starts with the Cabrillo flag. On Linux the
// run happens in a child process whose controlling terminal is a
// pseudo-terminal: the test reads the form from it and types answers. On
// Windows the run happens on a thread of the test, and a robot reads the real
// dialog's controls, types into them and presses its buttons.
//
// On Windows every header dialog that no DialogRun drives is cancelled at
// once, so a test that does not care about the dialog never waits for it.

#include <string>
#include <vector>

namespace stats::test {

// How the operator closes the dialog.
enum class Close {
    kOk,          // the OK button; "o" on the terminal
    kEnter,       // Enter in a one-line edit; Enter alone on the terminal
    kCancel,      // the CANCEL button; "c" on the terminal
    kEscape,      // Escape (Windows)
    kCloseBox,    // the window's close box (Windows)
    kEndOfInput,  // the terminal's input ends (Linux)
};

class DialogRun {
public:
    // Loads the plug-in and calls ResetStats0 with the Cabrillo flag and this
    // call sign, in the current folder; the dialog opens.
    explicit DialogRun(const std::string& call = "N0CALL");
    // Whatever still runs is ended: an open dialog cancelled, a hanging child killed.
    ~DialogRun();
    DialogRun(const DialogRun&) = delete;
    DialogRun& operator=(const DialogRun&) = delete;

    static bool Supports(Close how);

    // Waits for the dialog; false when it did not show in time.
    bool Open();

    // The field captions, top to bottom and left to right.
    std::vector<std::string> Captions();
    // The text a field shows (lines joined by CR LF).
    std::string Value(const std::string& caption);
    // A combo box's list items, in order.
    std::vector<std::string> Items(const std::string& caption);

    // Replaces the field's text by typing; CR LF in SOAPBOX is Enter.
    void SetValue(const std::string& caption, const std::string& text);
    // Picks a combo box's list item (from 0).
    void PickItem(const std::string& caption, int index);
    // Adds a line at the end of SOAPBOX.
    void AddSoapboxLine(const std::string& line);
    void Press(Close how);

    // ResetStats0's result once the dialog closed; -1 when it did not return in time.
    int ResetResult();
    // GetResult0 in the same load of the plug-in (the Cabrillo file is
    // written and its notice acknowledged), then the plug-in is unloaded.
    void Finish();

    // What went on, for failure messages.
    std::string Transcript() const;

#ifdef _WIN32
    // The template as the robot finds it on screen.
    struct Control {
        std::string caption;  // of the label, or the button's own
        int id = 0;
        std::string windowClass;
        unsigned long style = 0;
        long labelLeft = 0, labelTop = 0, labelRight = 0, labelBottom = 0;  // none for buttons
        long left = 0, top = 0, right = 0, bottom = 0;
    };
    std::vector<Control> Controls();  // labelled controls, then the buttons
    std::string WindowCaption();
    unsigned long WindowStyle();
    int Selection(const std::string& caption);  // CB_GETCURSEL
#else
    // Types a line on the terminal; what the terminal shows next, up to the
    // next prompt.
    std::string TypeLine(const std::string& line);
#endif

private:
    struct State;
    State* state_;
};

}  // namespace stats::test
