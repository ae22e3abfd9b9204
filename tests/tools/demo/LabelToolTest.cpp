// marlex99-etiketten run as a user runs it: the demo register's marked stock
// items into one PDF, or a German message and a failed status when the
// label layout does not load.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "DemoTestSupport.h"
#include "fixtures/Poppler.h"

namespace {

using Etikettenlauf = demotest::Werkzeuglauf;

Etikettenlauf etiketten(const QStringList& args)
{
    return demotest::werkzeugStarten(QStringLiteral("marlex99-etiketten"), args);
}

} // namespace

TEST(LabelTool, PrintsTheDemosMarkedItemsOnTheDemoLabelAndRefusesALayoutThatDoesNotLoad)
{
    QTemporaryDir temp;
    const QString ausgabe = temp.filePath("etiketten");
    const QString pdf = QDir(ausgabe).filePath("labels.pdf");

    const Etikettenlauf gut = etiketten({"--out", ausgabe});
    ASSERT_EQ(gut.exitCode, 0) << gut.err.toStdString();
    EXPECT_EQ(gut.out.trimmed(), pdf);
    // Nine labels, four to a page.
    EXPECT_TRUE(fixtures::poppler("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+3\\n")));
    EXPECT_EQ(fixtures::poppler("pdftotext", {pdf, "-"}).count("CAS-Nr.:"), 9);

    ASSERT_TRUE(QFile::remove(pdf));
    QFile kaputt(temp.filePath("kaputt.eti"));
    ASSERT_TRUE(kaputt.open(QIODevice::WriteOnly));
    kaputt.write("Das ist kein Etikett.");
    kaputt.close();
    for (const QString& falsch : {kaputt.fileName(), temp.filePath("gibtsnicht.eti")}) {
        const Etikettenlauf lauf = etiketten({"--layout", falsch, "--out", ausgabe});
        EXPECT_EQ(lauf.exitCode, 1);
        EXPECT_TRUE(lauf.err.contains(QString::fromUtf8("Die Etikettendatei „%1“ kann nicht gelesen werden.").arg(falsch)))
            << lauf.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(pdf));
    }
    const Etikettenlauf zuviel = etiketten({"Benzol"});
    EXPECT_EQ(zuviel.exitCode, 2);
    EXPECT_TRUE(zuviel.err.contains("Unbekanntes Argument Benzol.")) << zuviel.err.toStdString();
}

TEST(LabelTool, ALayoutNamedRelativeToTheCallersDirectoryIsTheOnePrinted)
{
    QTemporaryDir temp;
    ASSERT_TRUE(QDir(temp.path()).mkpath("vorlagen"));
    ASSERT_TRUE(QFile::copy(demotest::generated().programm.filePath("ETIKETT.ETI"),
                            temp.filePath("vorlagen/Mein Etikett.eti")));
    const QString vorher = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(temp.path()));
    const Etikettenlauf lauf = etiketten({"--layout", "vorlagen/Mein Etikett.eti", "--out", "aus"});
    QDir::setCurrent(vorher);

    ASSERT_EQ(lauf.exitCode, 0) << lauf.err.toStdString();
    const QString pdf = temp.filePath("aus/labels.pdf");
    EXPECT_EQ(lauf.out.trimmed(), pdf);
    EXPECT_EQ(fixtures::poppler("pdftotext", {pdf, "-"}).count("CAS-Nr.:"), 9);
}
