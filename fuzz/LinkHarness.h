#pragma once

#include <cstddef>
#include <cstdint>

// Feeds arbitrary bytes through the link: the first byte picks the link state and the
// settings, then length-prefixed batches arrive as if from the port (a length byte of 0xFF
// is an initialisation tick instead).
void runLinkInput(const uint8_t* data, size_t size);
