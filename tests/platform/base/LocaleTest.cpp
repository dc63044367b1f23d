// The handset's default language from $LANG.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/base/Locale.h"

namespace {

TEST(Locale, TheDefaultLanguageFollowsLang) {
    const char* saved = std::getenv("LANG");
    const std::string kept = saved != nullptr ? saved : "";
    struct Case {
        const char* lang;
        LANGID id;
    };
    for (const Case& c : {Case{"de_AT.UTF-8", 0x0C07}, Case{"fr_FR@euro", 0x040C}, Case{"zh_TW.Big5", 0x0404},
                          Case{"zh", 0x0804}, Case{"", 0x0409}, Case{"xx_YY", 0x0409}, Case{"nb_NO", 0x0414},
                          Case{"e", 0x0409}, Case{"english", 0x0409}}) {
        setenv("LANG", c.lang, 1);
        EXPECT_EQ(GetSystemDefaultLangID(), c.id) << "LANG=" << c.lang;
    }
    unsetenv("LANG");
    EXPECT_EQ(GetSystemDefaultLangID(), 0x0409);
    EXPECT_EQ(PRIMARYLANGID(0x0816), 0x16);
    EXPECT_EQ(SUBLANGID(0x0816), 2);
    if (saved != nullptr) setenv("LANG", kept.c_str(), 1);
}

}  // namespace
