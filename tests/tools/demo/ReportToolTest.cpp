// marlex99-report run as a user runs it: the demo's two reports by default,
// a layout of the user's by --layout, a German message and a status other
// than 0 for a layout that does not load.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "fixtures/Poppler.h"

namespace {

struct Lauf {
    int exitCode = -1;
    QString out;
    QString err;
};

Lauf report(const QStringList& args)
{
    QProcess tool;
    tool.start(QStringLiteral(MARLEX_BINARY_DIR "/tools/sheets/marlex99-report"), args);
    EXPECT_TRUE(tool.waitForFinished(120000)) << tool.errorString().toStdString();
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
            QString::fromLocal8Bit(tool.readAllStandardOutput()), QString::fromLocal8Bit(tool.readAllStandardError())};
}

} // namespace

TEST(ReportTool, PrintsEachDemoReportUnderItsLayoutsNameAndStopsWithAGermanMessageOnABadLayout)
{
    QTemporaryDir temp;
    const QString ausgabe = temp.filePath("pdf");
    const Lauf demo = report({"--out", ausgabe});
    ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString();
    EXPECT_EQ(demo.out.split('\n', Qt::SkipEmptyParts),
              (QStringList{ausgabe + "/LAGERLISTE.pdf", ausgabe + "/GIFTLISTE.pdf"}));
    EXPECT_TRUE(fixtures::poppler("pdftotext", {ausgabe + "/LAGERLISTE.pdf", "-"}).contains("Natriumchlorid"));
    EXPECT_TRUE(fixtures::poppler("pdftotext", {ausgabe + "/GIFTLISTE.pdf", "-"}).contains("Quecksilber"));

    QFile kaputt(temp.filePath("Meine Liste.rep"));
    ASSERT_TRUE(kaputt.open(QIODevice::WriteOnly));
    kaputt.write("keine Reportdatei");
    kaputt.close();
    const Lauf schlecht = report({"--layout", kaputt.fileName(), "--out", ausgabe});
    EXPECT_EQ(schlecht.exitCode, 1);
    EXPECT_TRUE(schlecht.out.isEmpty()) << schlecht.out.toStdString();
    EXPECT_TRUE(schlecht.err.contains(QString::fromUtf8("„%1“ kann nicht gelesen werden").arg(kaputt.fileName())))
        << schlecht.err.toStdString();
    EXPECT_FALSE(QFile::exists(ausgabe + "/Meine Liste.pdf"));

    const Lauf argument = report({"LAGERLISTE.REP"});
    EXPECT_EQ(argument.exitCode, 2);
    EXPECT_TRUE(argument.err.contains("Unbekanntes Argument LAGERLISTE.REP")) << argument.err.toStdString();
}
