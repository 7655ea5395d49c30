#pragma once
// The plug-in's one statistics set, and the check of a received exchange.

#include <cstdint>

namespace stats {

// "KYRVEN RTTY CONTEST (C)" for set 0, the empty text for any other index;
// constants that live as long as the library.
char* SetName(std::int32_t setIndex);

// A serial number of exactly three or four digits; "599" is a report, not a serial.
bool IsValidExchange(const char* exchange);

// The set has no settings of its own: tells the operator so.
void ShowSetup();

}  // namespace stats
