#pragma once

#include <string>
#include <vector>

// The network cards Windows lists under "NetworkCards", each with the two values
// WLAN detection takes. A card whose sub-key name does not fit in 31 characters
// (cut, it could name another card) or whose "Description" or "ServiceName" is
// missing or longer than 259 characters is left out; the values' types are not
// looked at.
struct NetworkCard {
    std::wstring description;
    std::wstring serviceName;
};

std::vector<NetworkCard> ListNetworkCards();
