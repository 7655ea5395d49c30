#pragma once
// The modal dialog in which the operator reviews the Cabrillo header values.

#include <string>
#include <vector>

namespace stats::platform {

enum class FieldKind {
    kEdit,       // one-line edit
    kCombo,      // drop-down combo box: pick an item or type any text
    kMultiLine,  // multi-line edit; Enter adds a line, lines joined by CR LF
};

struct DialogField {
    const char* caption;
    int controlId;
    FieldKind kind;
    std::vector<const char*> items;  // combo list items, in order
    std::string value;               // loaded before the run, saved on OK
};

// Runs the dialog built from the template with this id (in the resources of
// the module the application object keeps, on Windows) with the fields in the
// order given. Returns 1 after OK, with every value as the operator left it; 2
// after Cancel, Escape or closing the window, values unchanged; -1 when the
// dialog cannot be created.
int RunModalDialog(void* moduleHandle, int templateId, const char* caption, std::vector<DialogField>& fields);

}  // namespace stats::platform
