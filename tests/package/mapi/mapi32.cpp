// Stands in for the mail provider's Simple MAPI in the test program's own process: leaves the
// attachment of the message it is handed as "{path} | {name}" in the environment variable
// LADEWERK_MAPI_ANHANG and answers with the code in LADEWERK_MAPI_ANTWORT (0 when unset).

#include <windows.h>
#include <mapi.h>

#include <cstdlib>
#include <string>

extern "C" {

__declspec(dllexport) ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPLHANDLE sitzung) {
    *sitzung = 1;
    return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPILogoff(LHANDLE, ULONG_PTR, FLAGS, ULONG) { return SUCCESS_SUCCESS; }

__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR, lpMapiMessage brief, FLAGS, ULONG) {
    const MapiFileDesc& anhang = brief->lpFiles[0];  // the program always attaches the one package
    const std::string wert = std::string(anhang.lpszPathName) + " | " + anhang.lpszFileName;
    SetEnvironmentVariableA("LADEWERK_MAPI_ANHANG", wert.c_str());
    char antwort[16] = {};
    GetEnvironmentVariableA("LADEWERK_MAPI_ANTWORT", antwort, sizeof antwort);
    return static_cast<ULONG>(std::strtoul(antwort, nullptr, 10));
}

}  // extern "C"
