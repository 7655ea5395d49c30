#include "settings/cabrillo_dialog.h"

#include <vector>

#include "platform/header_dialog.h"
#include "plugin/run_state.h"

namespace stats {

int Cabrillo::DoModal() {
    using platform::FieldKind;
    struct Binding {
        const char* caption;
        int controlId;
        FieldKind kind;
        std::vector<const char*> items;
        std::string* value;
    };
    // The data exchange order.
    const Binding bindings[] = {
        {"CALLSIGN", 1010, FieldKind::kEdit, {}, &callsign},
        {"CLAIMED", 1008, FieldKind::kEdit, {}, &claimed},
        {"CLUB", 1005, FieldKind::kEdit, {}, &club},
        {"CATEGORY-OPERATOR", 1013, FieldKind::kCombo, {"SINGLE-OP", "MULTI-ONE", "CHECKLOG"}, &categoryOperator},
        {"CONTEST", 1009, FieldKind::kEdit, {}, &contest},
        {"E-MAIL", 1004, FieldKind::kEdit, {}, &email},
        {"NAME", 1007, FieldKind::kEdit, {}, &name},
        {"OPERATORS", 1006, FieldKind::kEdit, {}, &operators},
        {"SOAPBOX", 1001, FieldKind::kMultiLine, {}, &soapbox},
        {"ADDRESS", 1002, FieldKind::kEdit, {}, &address},
        {"CATEGORY-BAND", 1014, FieldKind::kCombo, {"ALL", "80M", "40M", "20M", "15M", "10M"}, &categoryBand},
        {"ADDRESS-CITY", 1003, FieldKind::kEdit, {}, &addressCity},
        {"ADDRESS-POSTALCODE", 1011, FieldKind::kEdit, {}, &addressPostalCode},
        {"ADDRESS-COUNTRY", 1012, FieldKind::kEdit, {}, &addressCountry},
        {"CATEGORY-POWER", 1015, FieldKind::kCombo, {"HIGH", "LOW", "QRP"}, &categoryPower},
    };
    std::vector<platform::DialogField> fields;
    for (const Binding& b : bindings) fields.push_back({b.caption, b.controlId, b.kind, b.items, *b.value});

    const int result = platform::RunModalDialog(theApp.moduleHandle, kTemplateId, "KYRVEN RTTY CONTEST ", fields);
    if (result == 1)
        for (size_t i = 0; i < fields.size(); ++i) bindings[i].value->swap(fields[i].value);
    return result;
}

}  // namespace stats
