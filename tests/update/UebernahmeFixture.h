#pragma once

// The program's first start on the demo register, with an earlier
// installation's storage files in a folder beside it: what the takeover
// tests share.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "app/Marlex.h"
#include "data/Optionen.h"
#include "data/Programm.h"
#include "demo/DemoData.h"
#include "demo/EarlierVersion.h"
#include "demo/Generator.h"
#include "demo/RegisterTables.h"
#include "fixtures/Dbfread.h"
#include "fixtures/TempDir.h"
#include "ini/IniFile.h"
#include "widgets/MessageBox.h"

namespace uebernahmetest {

inline const demo::DemoData& demodaten()
{
    static const demo::DemoData daten = demo::DemoData::load(QDir(u"" MARLEX_SOURCE_DIR "/tools/demo/data"_qs));
    return daten;
}

// Every file of a folder with the checksum of its bytes.
inline std::map<QString, QByteArray> pruefsummen(const QString& ordner)
{
    std::map<QString, QByteArray> summen;
    for (const QString& name : QDir(ordner).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        QFile datei(QDir(ordner).filePath(name));
        summen[name] = datei.open(QIODevice::ReadOnly)
                           ? QCryptographicHash::hash(datei.readAll(), QCryptographicHash::Sha256)
                           : QByteArray("(ein Ordner oder nicht lesbar)");
    }
    return summen;
}

inline QByteArray inhalt(const QString& datei)
{
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ErsterStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        register_ = QDir::currentPath();
        prog = register_ + u"/prog/"_qs;
        alt = register_ + u"/Altbestand"_qs;
        ASSERT_TRUE(QDir().mkpath(prog));
        demo::writeRegister(demodaten(), QDir::current());
        demo::generateProgramFiles(QDir(prog));
        demo::writeEarlierVersion(demodaten(), QDir(alt));
        option(u"First"_qs, u"1"_qs);
        Programmverzeichnis = prog;
        lagerVorher = fixtures::readWithDbfread("lager.dbf").rows.size();
    }

    void TearDown() override
    {
        programm.reset();
        Programmverzeichnis.clear();
    }

    void option(const QString& schluessel, const QString& wert)
    {
        ini::IniFile(prog + u"marlex99.ini"_qs).writeString(SektionOptionen, schluessel, wert);
    }
    QString optionImFile(const QString& schluessel) const
    {
        return ini::IniFile(prog + u"marlex99.ini"_qs).readString(SektionOptionen, schluessel, u"(fehlt)"_qs);
    }

    void starten() { programm = std::make_unique<Programm>(); }

    QJsonArray lagerZeilen() const { return fixtures::readWithDbfread("lager.dbf").rows; }

    QString register_, prog, alt;
    qsizetype lagerVorher = 0;
    std::vector<widgets::MessageRequest> meldungen;
    widgets::ScopedAnswerProvider antworten{[this](const widgets::MessageRequest& m) {
        meldungen.push_back(m);
        return widgets::Answer::Ok;
    }};
    fixtures::TempDir dir;
    std::unique_ptr<Programm> programm;
};

} // namespace uebernahmetest
