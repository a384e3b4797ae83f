#pragma once
// Date and time as the progress countdown and the create dialog use them: whole seconds of the
// local clock, and the text form "dd.mm.yyyy hh:nn:ss". The clock can be replaced so that tests
// check a 60-second countdown without waiting a minute.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace modZeit {

using Zeitpunkt = std::chrono::local_seconds;
using Uhr = std::function<SYSTEMTIME()>;  // the current local time

// An empty Uhr brings back the system clock.
void UhrSetzen(Uhr uhr);

Zeitpunkt AktuelleZeit();
std::wstring AktuelleZeitText();

// "dd.mm.yyyy hh:nn:ss" of a real calendar date and time of day; nothing for any other text.
std::optional<Zeitpunkt> ZeitLesen(const std::wstring& text);
std::wstring ZeitText(Zeitpunkt zeit);

}  // namespace modZeit
