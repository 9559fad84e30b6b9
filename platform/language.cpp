#include "platform/language.h"

#include <libintl.h>
#include <sys/stat.h>

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/resources.h"

namespace {

constexpr const char* kDomain = "pictoria";

// "de_DE.UTF-8@euro" -> "de_DE"; "C", "POSIX" and "" -> "".
std::string LanguageOf(std::string locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    return locale == "C" || locale == "POSIX" ? std::string() : locale;
}

}  // namespace

const char* Tr(const char* english) { return english[0] == '\0' ? english : dgettext(kDomain, english); }

std::string TrFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

namespace platform {

void ChooseLanguage(const std::vector<std::string>& localeFolders) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    for (const std::string& folder : localeFolders) {
        struct stat st;
        if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            bindtextdomain(kDomain, folder.c_str());
            break;
        }
    }
    bind_textdomain_codeset(kDomain, "UTF-8");
    // The labels' names are drawn into pictures, one set per language, chosen as gettext chooses.
    ChooseResourceLanguage(WantedLanguages());
}

// gettext's own order: LANGUAGE (a list, heeded only when a locale is set at all), else the
// locale of messages.
std::vector<std::string> WantedLanguages(const std::string& messagesLocale, const std::string& languageList) {
    const std::string locale = LanguageOf(messagesLocale);
    std::vector<std::string> wanted;
    if (locale.empty()) return wanted;
    std::string rest = languageList.empty() ? locale : languageList;
    // Each one as asked for, then its language alone ("pt_BR", then "pt"), as gettext looks.
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string one = LanguageOf(rest.substr(0, colon));
        rest = colon == std::string::npos ? std::string() : rest.substr(colon + 1);
        if (one.empty()) continue;
        wanted.push_back(one);
        if (one.find('_') != std::string::npos) wanted.push_back(one.substr(0, one.find('_')));
    }
    return wanted;
}

std::vector<std::string> WantedLanguages() {
    const char* locale = std::setlocale(LC_MESSAGES, nullptr);
    const char* list = std::getenv("LANGUAGE");
    return WantedLanguages(locale != nullptr ? locale : "", list != nullptr ? list : "");
}

}  // namespace platform
