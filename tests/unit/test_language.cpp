// Which translations the user's locale asks for, in the order gettext looks for them.
#include <gtest/gtest.h>

#include "platform/language.h"

namespace {

TEST(Language, TheLocaleAndTheLanguageListChooseTheTranslationsInGettextsOrder) {
    using List = std::vector<std::string>;
    const struct {
        const char* locale;
        const char* languageList;
        List wanted;
    } rows[] = {
        {"de_DE.UTF-8", "", {"de_DE", "de"}},
        {"de_DE.UTF-8@euro", "", {"de_DE", "de"}},
        {"nl", "", {"nl"}},
        {"fr_CA.UTF-8", "pt_BR:de", {"pt_BR", "pt", "de"}},   // the list wins over the locale
        {"it_IT.UTF-8", "C:zh_CN.UTF-8", {"zh_CN", "zh"}},    // "C" in the list is English: skipped
        {"C", "de", {}},                                      // no locale: the list is not heeded
        {"C.UTF-8", "de", {}},
        {"POSIX", "", {}},
        {"", "fr", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(platform::WantedLanguages(row.locale, row.languageList), row.wanted)
            << row.locale << " with LANGUAGE=" << row.languageList;
}

TEST(Language, AFormattedTextHoldsLongNamesWhole) {
    const std::string name(300, 'x');
    EXPECT_EQ(TrFormat("The picture could not be saved as \"%s\".", name.c_str()),
              "The picture could not be saved as \"" + name + "\".");
}

}  // namespace
