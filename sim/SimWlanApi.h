#pragma once

#include <cstddef>

// WLAN clients and WLAN memory the simulated library handed out and this process has not released.
size_t SimWlanOpenObjects();
