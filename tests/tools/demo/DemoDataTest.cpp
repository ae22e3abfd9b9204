// Reading the demo's source data: faults in it are found and named before
// anything is written.

#include <gtest/gtest.h>

#include <QFile>

#include "DemoTestSupport.h"
#include "demo/DemoError.h"
#include "demo/RegisterTables.h"
#include "fixtures/TempDir.h"

namespace {

void write(const QDir& dir, const QString& name, const QByteArray& text)
{
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

const QByteArray goodSubstance = "NAME1=Ethanol\nCARN=64-17-5\nGEFSYM1=F\nR_SATZ=11\nS_SATZ=2-7\nSYN=Äthanol\n";
const QByteArray goodPhrases = "R11=Leichtentzündlich\nS2=Darf nicht in die Hände von Kindern gelangen\n"
                               "S7=Behälter dicht geschlossen halten\n";
const QByteArray goodStock = "# Kopfzeile\n64-17-5;1;1000;Schrank;Weber;Chemie;1\n";

// The message of the DemoError that loading the files throws, empty when none.
std::string loadError(const QByteArray& substances, const QByteArray& phrases = goodPhrases,
                      const QByteArray& stock = goodStock)
{
    fixtures::TempDir temp;
    const QDir dir(QString::fromStdString(temp.path().string()));
    write(dir, "substances.txt", substances);
    write(dir, "phrases.txt", phrases);
    write(dir, "stock.txt", stock);
    try {
        demo::DemoData::load(dir);
    } catch (const demo::DemoError& e) {
        return e.what();
    }
    return {};
}

} // namespace

TEST(DemoData, ReadsSubstancesPhrasesAndStock)
{
    fixtures::TempDir temp;
    const QDir dir(QString::fromStdString(temp.path().string()));
    write(dir, "substances.txt", goodSubstance + "\n\r\nNAME1=Salzsäure 10 %\r\nCARN=7647-01-0\r\nSUBCARN=2\r\n");
    write(dir, "phrases.txt", goodPhrases);
    write(dir, "stock.txt", goodStock);
    const demo::DemoData data = demo::DemoData::load(dir);
    ASSERT_EQ(data.substances.size(), 2u);
    EXPECT_EQ(data.substances[0].subcarn(), "1");
    EXPECT_EQ(data.substances[0].synonyms, QStringList{"Äthanol"});
    EXPECT_EQ(data.substances[0].phraseNumbers('S'), (QStringList{"2", "7"}));
    EXPECT_EQ(data.substances[0].hazardCodes(), (QStringList{"F", "", "", ""}));
    EXPECT_EQ(data.substances[1].name(), "Salzsäure 10 %");
    EXPECT_EQ(data.substances[1].subcarn(), "2");
    ASSERT_EQ(data.stock.size(), 1u);
    EXPECT_EQ(data.stock[0].anzahl, 1);
}

TEST(DemoData, FaultsInTheDataAreNamedWithFileAndLine)
{
    EXPECT_EQ(loadError(goodSubstance), "");
    const std::string wrongCheckDigit = loadError("NAME1=Ethanol\nCARN=64-17-6\n");
    EXPECT_NE(wrongCheckDigit.find("substances.txt, Zeile 1"), std::string::npos) << wrongCheckDigit;
    EXPECT_NE(wrongCheckDigit.find("Prüfziffer"), std::string::npos) << wrongCheckDigit;
    EXPECT_NE(loadError(goodSubstance + "FLAMMPUNKT=13\n").find("Zeile 7"), std::string::npos);
    EXPECT_NE(loadError(goodSubstance + "FORMEL_BMP=64-17.BMP\n").find("FORMEL_BMP"), std::string::npos);
    EXPECT_NE(loadError("NAME1=Ethanol\nCARN=64-17-5\nGEFSYM1=X\n").find("\"X\""), std::string::npos);
    EXPECT_NE(loadError(goodSubstance + "\n" + goodSubstance).find("doppelt"), std::string::npos);
    EXPECT_NE(loadError("NAME1=Ethanol\nCARN=64-17-5\nR_SATZ=11-12\n").find("R12"), std::string::npos);
    EXPECT_NE(loadError(goodSubstance, goodPhrases + "R11=noch einmal\n").find("phrases.txt, Zeile 4"),
              std::string::npos);
    EXPECT_NE(loadError(goodSubstance, goodPhrases, "67-64-1;1;1;a;b;c;1\n").find("67-64-1/1"), std::string::npos);
    EXPECT_NE(loadError(goodSubstance, goodPhrases, "64-17-5;1;1;a;b;c\n").find("stock.txt, Zeile 1"),
              std::string::npos);
}

TEST(DemoData, PhraseTextsSplitAtWordsIntoLinesThatFit)
{
    const QString text = "Bei Berührung mit den Augen sofort gründlich mit Wasser abspülen und Arzt konsultieren";
    const QStringList lines = demo::phraseLines("26", text, 30);
    ASSERT_GT(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("26= Bei "));
    for (const QString& line : lines) {
        EXPECT_LE(line.size(), 30) << line.toStdString();
        EXPECT_FALSE(line.startsWith(' ') || line.endsWith(' ')) << line.toStdString();
    }
    EXPECT_EQ(lines.join(' ').mid(4), text);
    // A text that fits stays on the first line.
    EXPECT_EQ(demo::phraseLines("11", "Leichtentzündlich"), QStringList{"11= Leichtentzündlich"});
    // A word exactly as long as a line gets one of its own.
    EXPECT_EQ(demo::phraseLines("1", "abcdef ghijklmnop", 10), (QStringList{"1= abcdef", "ghijklmnop"}));
    EXPECT_THROW(demo::phraseLines("1", "abcdefghijklmnop", 10), demo::DemoError);
}
