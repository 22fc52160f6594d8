#pragma once

// Copies the request out of the block, carries it out and writes the reply
// back; an unknown code is answered with the request unchanged.
void DispatchRequest();
