// Locale information: the user's language from the POSIX locale variables.
#include "ce_locale.h"

#include <cstdlib>
#include <cstring>

namespace ce {

namespace {

struct LocaleCode {
    const char* name;  // language, or language_TERRITORY
    const char* code;
};

// Language identifiers of the locales this system tells apart, and the
// common neighbours that must not be mistaken for them.
const LocaleCode kLocaleCodes[] = {
    {"it_IT", "0410"}, {"it_CH", "0810"}, {"it", "0410"},    {"fr_FR", "040C"}, {"fr_BE", "080C"}, {"fr_CA", "0C0C"},
    {"fr_CH", "100C"}, {"fr", "040C"},    {"pt_PT", "0816"}, {"pt_BR", "0416"}, {"pt", "0816"},    {"de_DE", "0407"},
    {"de_CH", "0807"}, {"de_AT", "0C07"}, {"de", "0407"},    {"es_ES", "0C0A"}, {"es_MX", "080A"}, {"es", "0C0A"},
    {"ru_RU", "0419"}, {"ru", "0419"},    {"en_GB", "0809"}, {"en_US", "0409"}, {"en", "0409"},
};

}  // namespace

std::u16string LanguageCodeForLocaleName(const char* localeName) {
    std::string name = localeName ? localeName : "";
    // Drop the code set and modifier: "de_DE.UTF-8@euro" -> "de_DE".
    size_t cut = name.find_first_of(".@");
    if (cut != std::string::npos) name.resize(cut);
    std::string language = name.substr(0, name.find('_'));
    const char* found = nullptr;
    for (const LocaleCode& entry : kLocaleCodes) {
        if (name == entry.name) {
            found = entry.code;
            break;
        }
    }
    if (!found) {
        for (const LocaleCode& entry : kLocaleCodes) {
            if (language == entry.name) {
                found = entry.code;
                break;
            }
        }
    }
    if (!found) found = "0409";
    return std::u16string(found, found + std::strlen(found));
}

bool GetLocaleLanguageCode(std::u16string* code) {
    if (!code) return false;
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    *code = LanguageCodeForLocaleName(name);
    return true;
}

}  // namespace ce
