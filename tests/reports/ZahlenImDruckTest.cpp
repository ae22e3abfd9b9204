// Numbers of the demo register (stored as "78.11" and "80.0") as the sheet
// and a report print them: German decimal comma, no trailing zeros. Read
// back from the PDF with poppler's tools.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include "demo/LayoutWriter.h"
#include "fixtures/Poppler.h"
#include "sheets/ReportRun.h"
#include "sheets/SheetSession.h"
#include "stream/StreamWriter.h"

namespace {

using fixtures::poppler;

class ZahlenImDruck : public ::testing::Test {
protected:
    QTemporaryDir out;
    sheets::SheetSession session;
};

TEST_F(ZahlenImDruck, TheSheetShowsMolarMassAndTemperaturesWithACommaAndNoTrailingZeros)
{
    const QString pdf = out.filePath("benzol.pdf");
    session.select("Benzol");
    session.printPdf(pdf);
    const QString text = poppler("pdftotext", {"-layout", pdf, "-"});
    for (const char* gedruckt : {"78,11 g/mol", "5,5 °C", "80 °C"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(gedruckt))) << gedruckt << "\n" << text.toStdString();
    for (const char* gespeichert : {"78.11", "5.5 °C", "80.0", "80,0"})
        EXPECT_FALSE(text.contains(QString::fromUtf8(gespeichert))) << gespeichert << "\n" << text.toStdString();
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(ZahlenImDruck, AReportLineShowsTheSubstancesNumbersAsTheRecordPageDoes)
{
    // One line per stock item of Aceton: its molar mass, melting and
    // boiling point between two marks.
    const demo::Seite seite{};
    demo::LayoutBand posten(seite, QStringLiteral("Posten"), "rbDetail", 40, 20);
    posten.text(QStringLiteral("Pos"), QRect(0, 0, 40, 16), QStringLiteral("POS:"), demo::kBody);
    posten.field(QStringLiteral("Molmasse"), QRect(44, 0, 100, 16), QStringLiteral("[chemie.dbf MOLMASSE]"));
    posten.field(QStringLiteral("Smt"), QRect(150, 0, 100, 16), QStringLiteral("[chemie.dbf SMT]"));
    posten.field(QStringLiteral("Sdt"), QRect(260, 0, 100, 16), QStringLiteral("[chemie.dbf SDT]"));
    posten.text(QStringLiteral("Ende"), QRect(370, 0, 40, 16), QStringLiteral(":ENDE"), demo::kBody);
    const QString layout = out.filePath("ZAHLEN.REP");
    stream::StreamWriter::writeFile(layout, demo::layoutRecords(QStringLiteral("TOwnQuickRep"), QStringLiteral("Zahlen"),
                                                                seite, QStringLiteral("Zahlen"),
                                                                {"namen.dbf", "NAME1='Aceton'"}, {posten}));
    const QString pdf = out.filePath("zahlen.pdf");
    sheets::printReportPdf(session, layout, pdf);

    const QString text = poppler("pdftotext", {"-layout", pdf, "-"});
    const QRegularExpression zeile(QStringLiteral("POS:\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+:ENDE"));
    const QRegularExpressionMatch treffer = zeile.match(text);
    ASSERT_TRUE(treffer.hasMatch()) << text.toStdString();
    EXPECT_EQ(treffer.captured(1), "58,08");
    EXPECT_EQ(treffer.captured(2), "-95");
    EXPECT_EQ(treffer.captured(3), "56");
}

} // namespace
