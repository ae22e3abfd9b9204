// The demo sheet printed through the program's own windows and sheet engine
// (tools/sheets), read back with poppler's tools rather than our own code.

#include <gtest/gtest.h>

#include <QDate>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "sheets/SheetSession.h"
#include "fixtures/Poppler.h"

namespace {

using fixtures::poppler;

struct Gedruckt {
    QString text;  // pdftotext -layout
    QString info;  // pdfinfo
    int bilder = 0; // pictures drawn (pdfimages -list, soft masks not counted)
};

Gedruckt drucken(sheets::SheetSession& session, const QString& stoff, const QString& pdf)
{
    session.select(stoff);
    session.printPdf(pdf);
    Gedruckt g;
    g.text = poppler("pdftotext", {"-layout", pdf, "-"});
    g.info = poppler("pdfinfo", {pdf});
    for (const QString& line : poppler("pdfimages", {"-list", pdf}).split(QLatin1Char('\n')))
        g.bilder += line.simplified().section(QLatin1Char(' '), 2, 2) == QLatin1String("image") ? 1 : 0;
    return g;
}

class DemoSheetPrint : public ::testing::Test {
protected:
    QTemporaryDir out;
    sheets::SheetSession session;
};

} // namespace

TEST_F(DemoSheetPrint, BenzeneSheetIsOneA4PageWithEveryPictureAndText)
{
    const Gedruckt g = drucken(session, "Benzol", out.filePath("benzol.pdf"));
    EXPECT_TRUE(g.info.contains(QRegularExpression("Pages:\\s+1\\n"))) << g.info.toStdString();
    EXPECT_TRUE(g.info.contains("(A4)")) << g.info.toStdString();
    // The emblem, the structure, two hazard symbols, school use, effect,
    // carcinogen and the three precaution pictures.
    EXPECT_EQ(g.bilder, 10);
    for (const char* expected :
         {"Benzol", "C6H6", "Synonym: Benzen", "71-43-2", "Leichtentzündlich", "Giftig", "Besondere Schutzmaßnahmen",
          "Kann Krebs erzeugen", "1 ml/m³ (3,2 mg/m³)", "WGK 3 – stark wassergefährdend", "Tätigkeitsverbot",
          "Seite"})
        EXPECT_TRUE(g.text.contains(QString::fromUtf8(expected))) << expected << "\n" << g.text.toStdString();
    EXPECT_TRUE(g.text.contains(QDate::currentDate().toString("dd.MM.yyyy"))) << g.text.toStdString();
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(DemoSheetPrint, AHarmlessSaltShowsItsStockAndNoHazardPictures)
{
    const Gedruckt g = drucken(session, "Natriumchlorid", out.filePath("salz.pdf"));
    EXPECT_EQ(g.bilder, 2); // the emblem and the school-use picture
    EXPECT_TRUE(g.text.contains(QRegularExpression("Lagerort: +Regal 3 +Menge \\(g\\): +1000"))) << g.text.toStdString();
    EXPECT_TRUE(g.text.contains("Keine besonderen Schutzmaßnahmen")) << g.text.toStdString();
    EXPECT_FALSE(g.text.contains("Leichtentzündlich")) << g.text.toStdString();

    // Another substance in the same session reads its own data.
    const Gedruckt aceton = drucken(session, "Aceton", out.filePath("aceton.pdf"));
    EXPECT_TRUE(aceton.text.contains(QRegularExpression("Lösemittelschrank 1 +Menge \\(g\\): +2500")))
        << aceton.text.toStdString();
    EXPECT_FALSE(aceton.text.contains("Regal 3")) << aceton.text.toStdString();
}

TEST_F(DemoSheetPrint, AnUnknownNameIsAGermanError)
{
    try {
        session.select("Gibtsnicht");
        ADD_FAILURE() << "no error";
    } catch (const sheets::SheetError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("„Gibtsnicht“ steht nicht in der Namensliste")) << e.what();
    }
}
