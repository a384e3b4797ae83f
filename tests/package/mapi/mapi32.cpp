// Stands in for the mail provider's Simple MAPI: records the message it is handed, one field a
// line in UTF-8, into the file that LADEWERK_MAPI_PROTOKOLL names, and answers with the code in
// LADEWERK_MAPI_ANTWORT (0 when unset), so a test sees what the mail program would get.

#include <windows.h>
#include <mapi.h>

#include <string>

namespace {

std::string Umgebung(const char* name) {
    char wert[64] = {};
    const DWORD länge = GetEnvironmentVariableA(name, wert, sizeof wert);
    return länge > 0 && länge < sizeof wert ? std::string(wert, länge) : std::string();
}

// The ANSI texts of the message as UTF-8.
std::string Utf8(const char* ansi) {
    if (!ansi) return "<keiner>";
    std::wstring breit(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, breit.data(), static_cast<int>(breit.size()));
    std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, breit.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, breit.c_str(), -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

void Aufzeichnen(const std::string& zeilen) {
    wchar_t pfad[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"LADEWERK_MAPI_PROTOKOLL", pfad, MAX_PATH)) return;
    HANDLE datei = CreateFileW(pfad, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (datei == INVALID_HANDLE_VALUE) return;
    DWORD geschrieben = 0;
    WriteFile(datei, zeilen.data(), static_cast<DWORD>(zeilen.size()), &geschrieben, nullptr);
    CloseHandle(datei);
}

}  // namespace

extern "C" {

__declspec(dllexport) ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPLHANDLE sitzung) {
    *sitzung = 1;
    return SUCCESS_SUCCESS;
}

__declspec(dllexport) ULONG WINAPI MAPILogoff(LHANDLE, ULONG_PTR, FLAGS, ULONG) { return SUCCESS_SUCCESS; }

__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE, ULONG_PTR, lpMapiMessage brief, FLAGS flags, ULONG) {
    std::string zeilen = Utf8(brief->lpszSubject) + "\n" + Utf8(brief->lpszNoteText) + "\n";
    for (ULONG i = 0; i < brief->nFileCount; ++i)
        zeilen += "Anhang " + Utf8(brief->lpFiles[i].lpszPathName) + " | " + Utf8(brief->lpFiles[i].lpszFileName) + "\n";
    for (ULONG i = 0; i < brief->nRecipCount; ++i) zeilen += "An " + Utf8(brief->lpRecips[i].lpszName) + "\n";
    zeilen += (flags & MAPI_DIALOG) ? "Dialog\n" : "ohne Dialog\n";
    Aufzeichnen(zeilen);
    const std::string antwort = Umgebung("LADEWERK_MAPI_ANTWORT");
    return antwort.empty() ? SUCCESS_SUCCESS : static_cast<ULONG>(std::stoul(antwort));
}

}  // extern "C"
