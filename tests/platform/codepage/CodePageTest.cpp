#include <gtest/gtest.h>

#include "codepage/CodePage.h"

using codepage::CodePage;

TEST(CodePage, LanguageDriversChooseTheirCodePage) {
    const std::pair<std::uint8_t, int> cases[] = {
        {0x58, 1252}, {0x57, 1252}, {0x03, 1252}, {0x59, 1252}, {0x61, 1252},
        {0x01, 437},  {0x0F, 437},  {0x19, 437},  {0x1B, 437},  {0x5E, 437},
        {0x02, 850},  {0x10, 850},  {0x1A, 850},  {0x37, 850},  {0x64, 852},
        {0x65, 866},  {0xC8, 1250}, {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253},
        // none and unknown drivers read as Windows ANSI
        {0x00, 1252}, {0x42, 1252}, {0xFF, 1252},
    };
    for (const auto& [driver, page] : cases)
        EXPECT_EQ(CodePage::forLanguageDriver(driver).number(), page) << "driver " << int(driver);
}

TEST(CodePage, GermanLettersDecodePerCodePage) {
    // "Äöüß€" in each page's own bytes
    EXPECT_EQ(CodePage::windows1252().decode("\xC4\xF6\xFC\xDF\x80"), QString::fromUtf8("Äöüß€"));
    EXPECT_EQ(CodePage::forLanguageDriver(0x10).decode("\x8E\x94\x81\xE1"),
              QString::fromUtf8("Äöüß"));
    EXPECT_EQ(CodePage::forLanguageDriver(0x0F).decode("\x8E\x94\x81\xE1\xB3"),
              QString::fromUtf8("Äöüß│"));
    EXPECT_EQ(CodePage::forLanguageDriver(0x65).decode("\x8F\xE0"), QString::fromUtf8("Пр"));
    EXPECT_EQ(CodePage::forLanguageDriver(0xC8).decode("\x8A\xB9"), QString::fromUtf8("Šą"));
}

TEST(CodePage, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    for (std::uint8_t driver : {0x58, 0x01, 0x02, 0x64, 0x65, 0xC8, 0xC9, 0xCA, 0xCB}) {
        const CodePage& page = CodePage::forLanguageDriver(driver);
        const QString text = page.decode(all);
        ASSERT_EQ(text.size(), 256);
        EXPECT_EQ(page.encode(text), all) << "code page " << page.number();
    }
}

TEST(CodePage, CharactersOutsideThePageBecomeQuestionMarks) {
    const CodePage& page = CodePage::forLanguageDriver(0x10);
    EXPECT_EQ(page.encode(QString::fromUtf8("Ä€Ω")), std::string("\x8E??"));
    // a character outside the BMP is one '?', not two
    EXPECT_EQ(CodePage::windows1252().encode(QString::fromUtf8("a😀b")), "a?b");
    EXPECT_EQ(CodePage::windows1252().encode(QString()), "");
}

TEST(CodePage, ExactEncodingRefusesWhatThePageCannotHold) {
    const CodePage& ansi = CodePage::windows1252();
    EXPECT_EQ(ansi.encodeExactly(QString::fromUtf8("Maß €")), std::string("Ma\xDF \x80"));
    EXPECT_EQ(ansi.encodeExactly(QString::fromUtf8("\xC2\x81")), std::string("\x81")); // undefined byte's C1 control
    EXPECT_EQ(ansi.encodeExactly(QString::fromUtf8("Ω")), std::nullopt);
    EXPECT_EQ(ansi.encodeExactly(QString::fromUtf8("a😀")), std::nullopt);
    EXPECT_EQ(ansi.encodeExactly(QString()), std::string());
    // Latin-1 letters that Windows-1252 lacks at their own code point
    EXPECT_EQ(ansi.encode(QString(QChar(0x0080))), "?");
    EXPECT_EQ(CodePage::forLanguageDriver(0x10).encodeExactly(QString::fromUtf8("ÄÖÜ")),
              std::string("\x8E\x99\x9A"));
}
