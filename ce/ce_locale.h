// Locale information (GetLocaleInfoW with LOCALE_ILANGUAGE).
#pragma once

#include <string>

namespace ce {

// The LOCALE_ILANGUAGE code (four upper-case hexadecimal digits, e.g. "0409")
// of the user's default locale, taken from LC_ALL, then LC_MESSAGES, then
// LANG. False when no code can be given (never on Linux: "C"/"POSIX" and
// unknown languages give "0409").
bool GetLocaleLanguageCode(std::u16string* code);
// The code for a POSIX locale name such as "de_DE.UTF-8" (exposed for tests).
std::u16string LanguageCodeForLocaleName(const char* localeName);

}  // namespace ce
