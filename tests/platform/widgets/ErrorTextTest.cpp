#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "dbase/DbaseError.h"
#include "ini/IniError.h"
#include "widgets/ErrorText.h"

namespace {

const QString detail = QStringLiteral("\n\nTechnische Angabe: ");

// The program's own errors are German already: shown as they are, with no
// sentence or detail around them.
TEST(ErrorText, TheProgramsOwnErrorsAreShownAsTheyAre)
{
    EXPECT_EQ(widgets::errorText(dbase::DbaseError("Die Datei „chemie.dbf“ ist beschädigt.")),
              QStringLiteral("Die Datei „chemie.dbf“ ist beschädigt."));
    EXPECT_EQ(widgets::errorText(dbase::WriteProtectedError("schreibgeschützt")), QStringLiteral("schreibgeschützt"));
    EXPECT_EQ(widgets::errorText(ini::IniError(QStringLiteral("Die Datei „marlex99.ini“ kann nicht geschrieben "
                                                              "werden."))),
              QStringLiteral("Die Datei „marlex99.ini“ kann nicht geschrieben werden."));
}

// What comes from outside reaches the user in German, its own (English)
// text below as the technical detail.
TEST(ErrorText, ForeignErrorsGetAGermanSentenceWithTheirTextBelow)
{
    const QString speicher = widgets::errorText(std::bad_alloc());
    EXPECT_TRUE(speicher.startsWith(QStringLiteral("Für diesen Vorgang reicht der Arbeitsspeicher nicht aus")))
        << speicher.toStdString();
    EXPECT_TRUE(speicher.endsWith(detail + QStringLiteral("std::bad_alloc"))) << speicher.toStdString();

    const std::system_error system(std::make_error_code(std::errc::no_space_on_device), "write");
    const QString platte = widgets::errorText(system);
    EXPECT_TRUE(platte.startsWith(QStringLiteral("Das Betriebssystem hat den Vorgang mit einem Fehler abgebrochen "
                                                 "(Fehlernummer 28).")))
        << platte.toStdString();
    EXPECT_TRUE(platte.endsWith(detail + QString::fromStdString(system.what()))) << platte.toStdString();

    // A file system error is a system error too, and no own error of the program.
    const std::filesystem::filesystem_error datei("kein Zugriff", std::make_error_code(std::errc::permission_denied));
    EXPECT_TRUE(widgets::errorText(datei).startsWith(QStringLiteral("Das Betriebssystem"))) << "filesystem_error";

    // The standard library's runtime errors and logic errors, and a plain
    // std::runtime_error, which the program never throws for the user.
    const std::vector<std::pair<std::string, QString>> fremde = {
        {"runtime_error", widgets::errorText(std::runtime_error("vector::_M_realloc_insert"))},
        {"overflow_error", widgets::errorText(std::overflow_error("bitset::to_ulong"))},
        {"out_of_range", widgets::errorText(std::out_of_range("basic_string::at: __n (which is 7) >= this->size()"))},
        {"length_error", widgets::errorText(std::length_error("vector::reserve"))},
        {"exception", widgets::errorText(std::exception())},
    };
    for (const auto& [art, text] : fremde) {
        EXPECT_TRUE(text.startsWith(QStringLiteral("Im Programm ist ein unerwarteter Fehler aufgetreten; der Vorgang "
                                                   "wurde abgebrochen.")))
            << art << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(detail)) << art;
    }
    EXPECT_TRUE(fremde[2].second.endsWith(QStringLiteral("(which is 7) >= this->size()")));
}

} // namespace
