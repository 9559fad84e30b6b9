#pragma once
// The language every text a grown-up reads is shown in. Texts are written in English in the code
// and looked up in the translation the user's locale chooses (gettext, domain "pictoria"); a
// missing language or a missing text shows the English one.
#include <string>
#include <vector>

// The text in the user's language. Mark every text a person reads with it, so that the
// translators' template finds it.
const char* Tr(const char* english);

// Marks a text for translation where it is kept (a table, a constant) and translated later with Tr.
constexpr const char* TrLater(const char* english) { return english; }

// printf into a string, for translated texts with places for names.
std::string TrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

namespace platform {

// Takes the locale from the environment (numbers stay in the C locale: files and settings are
// read and written the same everywhere) and finds the translations: those installed beside the
// program first, then the build's run folder's.
void ChooseLanguage(const std::vector<std::string>& localeFolders);

// The languages the user asked for, best first, as the translations are named ("de", "pt_BR"),
// without "C"; empty when texts are shown in English.
std::vector<std::string> WantedLanguages();
// The same from the locale of messages ("de_DE.UTF-8") and a LANGUAGE list ("pt_BR:de").
std::vector<std::string> WantedLanguages(const std::string& messagesLocale, const std::string& languageList);

}  // namespace platform
