#include "Fenster.h"
#include "Main.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const INITCOMMONCONTROLSEX steuerelemente{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&steuerelemente);
    modMain::Main();
    // A start that left no window open (say, the command-line file vanished before it could be
    // shown) must not linger as an invisible process.
    bool sichtbar = false;
    for (Oberfläche::Fenster* fenster : Oberfläche::GeladeneFenster()) sichtbar = sichtbar || fenster->IstSichtbar();
    if (!sichtbar) modMain::ProgrammBeenden();
    return Oberfläche::NachrichtenSchleife();
}
