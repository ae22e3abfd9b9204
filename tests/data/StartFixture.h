#pragma once

// The start of the program on a small register in a temporary directory,
// with the program directory beside it: what the start-up tests share.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Init.h"
#include "data/Optionen.h"
#include "data/Programm.h"
#include "demo/DemoData.h"
#include "demo/Generator.h"
#include "demo/RegisterTables.h"
#include "fixtures/TempDir.h"
#include "ini/IniFile.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace starttest {

inline demo::Substance stoff(const QString& name, const QString& carn, QStringList synonyme = {})
{
    demo::Substance s;
    s.fields = {{u"NAME1"_qs, name}, {u"CARN"_qs, carn}};
    s.synonyms = std::move(synonyme);
    return s;
}

// Three substances, four names; only ethanol is in storage.
inline const demo::DemoData& register3()
{
    static const demo::DemoData daten = [] {
        demo::DemoData d;
        d.substances = {stoff(u"Ethanol"_qs, u"64-17-5"_qs), stoff(u"Aceton"_qs, u"67-64-1"_qs),
                        stoff(u"Natriumchlorid"_qs, u"7647-14-5"_qs, {u"Kochsalz"_qs})};
        demo::StockItem item;
        item.carn = u"64-17-5"_qs;
        item.subcarn = u"1"_qs;
        item.anzahl = 1;
        d.stock = {item};
        return d;
    }();
    return daten;
}

inline const QStringList alleNamen = {u"Aceton"_qs, u"Ethanol"_qs, u"Kochsalz"_qs, u"Natriumchlorid"_qs};

inline bool vorhanden(const QString& datei)
{
    return QFileInfo::exists(datei);
}

class Start : public ::testing::Test {
protected:
    void SetUp() override
    {
        prog = QDir::currentPath() + u"/prog/"_qs;
        ASSERT_TRUE(QDir().mkpath(prog));
        demo::writeRegister(register3(), QDir::current());
        demo::generateProgramFiles(QDir(prog));
        Programmverzeichnis = prog;
        // The user's own folders lie in the test's directory too.
        benutzer = QDir::currentPath() + u"/benutzer"_qs;
        if (qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
            frueheresBenutzerverzeichnis = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", benutzer.toUtf8());
    }

    void TearDown() override
    {
        programm.reset();
        Programmverzeichnis.clear();
        if (frueheresBenutzerverzeichnis)
            qputenv("XDG_CONFIG_HOME", *frueheresBenutzerverzeichnis);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    void option(const QString& schluessel, const QString& wert)
    {
        ini::IniFile(prog + u"marlex99.ini"_qs).writeString(SektionOptionen, schluessel, wert);
    }

    void starten() { programm = std::make_unique<Programm>(); }

    // The messages shown to the user, the main window's set-up notes left out.
    QStringList meldungenDesStarts() const
    {
        QStringList texte;
        for (const widgets::MessageRequest& m : meldungen) {
            if (!m.text.startsWith(u"Beim Start von Marlex99"_qs))
                texte << m.text;
        }
        return texte;
    }

    QStringList listenTexte() const
    {
        QStringList texte;
        for (int i = 0; i < Marlex->ListBox1->count(); ++i)
            texte << Marlex->ListBox1->text(i);
        return texte;
    }

    void erwarteAbbruchOhneGeoeffneteTabellen()
    {
        EXPECT_FALSE(programm->gestartet());
        EXPECT_TRUE(Init->isVisible()) << "the start-up window stays until the program ends";
        for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4, Datas->Table5,
                                Datas->Table6, Datas->Table7})
            EXPECT_FALSE(t->active()) << t->tableName().toStdString();
        EXPECT_EQ(Marlex->ListBox1->count(), 0);
        EXPECT_TRUE(Marlex->RecNoList.isEmpty());
        EXPECT_FALSE(vorhanden(u"zan_tmp1.dbf"_qs));
        EXPECT_FALSE(vorhanden(u"zan_tmp2.dbf"_qs));
    }

    fixtures::TempDir dir;
    QString prog;
    QString benutzer;
    std::optional<QByteArray> frueheresBenutzerverzeichnis;
    std::vector<widgets::MessageRequest> meldungen;
    widgets::ScopedAnswerProvider antworten{[this](const widgets::MessageRequest& m) {
        meldungen.push_back(m);
        return widgets::Answer::Ok;
    }};
    std::unique_ptr<Programm> programm;
};

} // namespace starttest

using starttest::Start;
