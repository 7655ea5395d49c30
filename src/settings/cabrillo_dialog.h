#pragma once
// The Cabrillo header dialog, template 101: fifteen text values exchanged with
// its controls. It knows nothing of the settings file or of the Cabrillo log.

#include <string>

namespace stats {

class Cabrillo {
public:
    static constexpr int kTemplateId = 101;

    // 1 after OK (values saved from the controls), 2 after Cancel, -1 when the
    // dialog cannot be created.
    int DoModal();

    std::string callsign;
    std::string claimed;
    std::string club;
    std::string categoryOperator;
    std::string contest;
    std::string email;
    std::string name;
    std::string operators;
    std::string soapbox;  // plain form: lines joined by CR LF
    std::string address;
    std::string categoryBand;
    std::string addressCity;
    std::string addressPostalCode;
    std::string addressCountry;
    std::string categoryPower;
};

}  // namespace stats
