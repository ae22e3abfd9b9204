// marlex99-blatt run as a user runs it, on a register and a layout of their
// own: the register must come out byte for byte as it went in.

#include <gtest/gtest.h>

#include <map>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "DemoTestSupport.h"
#include "demo/Generator.h"

namespace {

using Lauf = demotest::Werkzeuglauf;

Lauf blatt(const QStringList& args)
{
    return demotest::werkzeugStarten(QStringLiteral("marlex99-blatt"), args);
}

// Every file of a directory with its bytes and permissions.
std::map<QString, std::pair<QByteArray, QFile::Permissions>> inhalt(const QDir& dir)
{
    std::map<QString, std::pair<QByteArray, QFile::Permissions>> dateien;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        QFile file(info.absoluteFilePath());
        EXPECT_TRUE(info.isDir() || file.open(QIODevice::ReadOnly)) << info.fileName().toStdString();
        dateien[info.fileName()] = {info.isDir() ? QByteArray() : file.readAll(), info.permissions()};
    }
    return dateien;
}

// A register of a user's: Benzol and Natriumchlorid only, tables, indexes
// and memos read-only; and a copy of the demo layout under a name of theirs.
class SheetTool : public ::testing::Test {
protected:
    SheetTool()
    {
        demo::DemoData data = demotest::generated().data;
        std::erase_if(data.substances, [](const demo::Substance& s) {
            return s.name() != QLatin1String("Benzol") && s.name() != QLatin1String("Natriumchlorid");
        });
        std::erase_if(data.stock, [&](const demo::StockItem& item) { return !data.find(item.carn, item.subcarn); });
        demo::generateRegister(data, bestand);
        for (const QString& name : bestand.entryList({"*.dbf", "*.mdx", "*.dbt"}, QDir::Files))
            EXPECT_TRUE(QFile::setPermissions(bestand.filePath(name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        EXPECT_TRUE(QFile::copy(demotest::generated().programm.filePath("STOFFINFO.STO"), layout));
        vorher = inhalt(bestand);
    }

    QTemporaryDir temp;
    QDir bestand{temp.filePath("Mein Bestand")};
    QString layout = temp.filePath("Mein Layout.sto");
    QString ausgabe = temp.filePath("pdf");
    std::map<QString, std::pair<QByteArray, QFile::Permissions>> vorher;
};

} // namespace

TEST_F(SheetTool, PrintsFromTheUsersRegisterAndLayoutAndLeavesTheRegisterAsItWas)
{
    ASSERT_EQ(vorher.count("chemie.mdx"), 1u);
    const Lauf lauf = blatt({"--register", bestand.path(), "--layout", layout, "--out=" + ausgabe, "Benzol",
                             "Natriumchlorid", "Aceton"});
    // Aceton is in the demo register but not in this one.
    EXPECT_EQ(lauf.exitCode, 1) << lauf.err.toStdString();
    EXPECT_TRUE(lauf.err.contains(QString::fromUtf8("„Aceton“ steht nicht in der Namensliste des Bestands")))
        << lauf.err.toStdString();
    EXPECT_EQ(lauf.out.split('\n', Qt::SkipEmptyParts),
              QStringList({ausgabe + "/Benzol.pdf", ausgabe + "/Natriumchlorid.pdf"}));
    for (const char* pdf : {"Benzol.pdf", "Natriumchlorid.pdf"}) {
        QFile file(QDir(ausgabe).filePath(pdf));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << pdf;
        EXPECT_TRUE(file.readAll().startsWith("%PDF")) << pdf;
    }
    EXPECT_FALSE(QFileInfo::exists(QDir(ausgabe).filePath("Aceton.pdf")));
    // Nothing written beside the tables either (research tables, error list).
    EXPECT_TRUE(inhalt(bestand) == vorher);
}

TEST_F(SheetTool, ALayoutThatDoesNotLoadOrAWrongOptionStopsWithAGermanMessage)
{
    const QString kaputt = temp.filePath("kaputt.sto");
    QFile file(kaputt);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Das ist kein Layout.");
    file.close();
    for (const QString& falsch : {kaputt, temp.filePath("gibtsnicht.sto")}) {
        const Lauf lauf = blatt({"--register", bestand.path(), "--layout", falsch, "--out", ausgabe, "Benzol"});
        EXPECT_NE(lauf.exitCode, 0);
        EXPECT_TRUE(lauf.err.contains("Das Stoffinfo-Layout wurde nicht geladen.")) << lauf.err.toStdString();
        EXPECT_TRUE(lauf.err.contains(falsch)) << lauf.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(QDir(ausgabe).filePath("Benzol.pdf")));
    }
    EXPECT_TRUE(inhalt(bestand) == vorher);

    const Lauf unbekannt = blatt({"--registr", bestand.path(), "Benzol"});
    EXPECT_EQ(unbekannt.exitCode, 2);
    EXPECT_TRUE(unbekannt.err.contains("Unbekannte Option --registr")) << unbekannt.err.toStdString();
    const Lauf keinBestand = blatt({"--register", temp.filePath("nirgends"), "--out", ausgabe, "Benzol"});
    EXPECT_EQ(keinBestand.exitCode, 1);
    EXPECT_TRUE(keinBestand.err.contains("Das Bestandsverzeichnis")) << keinBestand.err.toStdString();
}
