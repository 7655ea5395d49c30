#include "platform/header_dialog.h"

#include <windows.h>

namespace stats::platform {
namespace {

std::string ControlText(HWND dialog, int controlId) {
    const int length = ::GetWindowTextLengthA(::GetDlgItem(dialog, controlId));
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(::GetDlgItemTextA(dialog, controlId, text.data(), length + 1)));
    return text;
}

void Load(HWND dialog, const std::vector<DialogField>& fields) {
    for (const DialogField& field : fields)
        for (const char* item : field.items)
            ::SendDlgItemMessageA(dialog, field.controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (const DialogField& field : fields) {
        if (field.kind == FieldKind::kCombo) {
            // The first item that begins with the value, ignoring case; else
            // the value as the combo box's text.
            const LRESULT found = ::SendDlgItemMessageA(dialog, field.controlId, CB_FINDSTRING,
                                                        static_cast<WPARAM>(-1),
                                                        reinterpret_cast<LPARAM>(field.value.c_str()));
            if (found != CB_ERR) {
                ::SendDlgItemMessageA(dialog, field.controlId, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
                continue;
            }
        }
        ::SetDlgItemTextA(dialog, field.controlId, field.value.c_str());
    }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            Load(dialog, *reinterpret_cast<std::vector<DialogField>*>(lParam));
            return TRUE;  // focus on the first tab stop
        case WM_COMMAND:
            // Enter in a one-line edit or a combo box reaches here as the
            // default button, OK; Escape and the close box as CANCEL.
            if (LOWORD(wParam) == IDOK) {
                // No exception may cross the system's dialog code: a saving that
                // fails ends the dialog as one that could not run.
                try {
                    auto& fields =
                        *reinterpret_cast<std::vector<DialogField>*>(::GetWindowLongPtrA(dialog, DWLP_USER));
                    for (DialogField& field : fields) field.value = ControlText(dialog, field.controlId);
                    ::EndDialog(dialog, 1);
                } catch (...) {
                    ::EndDialog(dialog, -1);
                }
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(dialog, 2);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

// The caption comes from the template. The values are saved only on OK, so
// after Cancel they are as they came.
int RunModalDialog(void* moduleHandle, int templateId, const char*, std::vector<DialogField>& fields) {
    const INT_PTR result =
        ::DialogBoxParamA(static_cast<HINSTANCE>(moduleHandle), MAKEINTRESOURCEA(templateId), nullptr, &DialogProc,
                          reinterpret_cast<LPARAM>(&fields));
    if (result == 0 || result == -1) return -1;
    return static_cast<int>(result);
}

}  // namespace stats::platform
