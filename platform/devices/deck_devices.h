#pragma once
// The virtual decks as devices of CLSID_VideoInputDeviceCategory: while a
// DeckDevices object lives, the system device enumerator lists one moniker
// per configured deck (display name from DeckDisplayName, bag values
// "FriendlyName" = the deck's name, "DevicePath" = its display name and
// "DeckName"), and binding a moniker makes a DeckCaptureFilter. The program
// keeps one for its lifetime; a deck whose tape cannot be played fails to
// bind with the tape's error.
#include "platform/com/wintypes.h"

class DeckDevices {
public:
    DeckDevices();
    ~DeckDevices();
    DeckDevices(const DeckDevices&) = delete;
    DeckDevices& operator=(const DeckDevices&) = delete;

private:
    DWORD cookie_ = 0;
};
