#pragma once
// Message-box texts that more than one layer shows, so that each is spelt once.
namespace tervalux::msg {

// A program could not be started because the file is no program (a component, for instance).
inline constexpr wchar_t NotAProgram[] =
    L"Verifique se o arquivo que est\u00e1 tentando executar \u00e9 um aplicativo '.exe'";

}  // namespace tervalux::msg
