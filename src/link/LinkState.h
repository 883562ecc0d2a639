#pragma once

// Where the adapter connection stands.
enum class LinkState : int {
    Reconnect = 0,   // close and reopen the port at the next initialisation tick
    WaitAdapter = 1, // port open, "atz" sent, waiting for the banner
    SetProtocol = 2, // sending protocol commands until one is echoed
    WaitEcu = 3,     // the probe goes out at the next tick; waiting for the ECU
    Polling = 4,     // the reading cycle runs
};
