// One run of the program on the register in the current directory, for the
// tests of several runs on one register: started as the program starts,
// then, when a text is given, a research into TMP1 typed into the research
// dialog. It writes one line "bereit", its working folder and the list's
// names (tab-separated) and waits until a line arrives on its input (or the
// input closes); then it quits as the program does.
//
//   marlex_lauf <program directory> [<research text>]

#include <iostream>
#include <string>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Programm.h"
#include "search/Namentabellen.h"
#include "search/Recherche.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList argumente = QApplication::arguments();
    if (argumente.size() < 2)
        return 2;
    Programmverzeichnis = argumente.at(1);
    // Every question answered, every message written out for the test.
    const widgets::ScopedAnswerProvider antworten([](const widgets::MessageRequest& m) {
        std::cout << "meldung\t" << m.text.simplified().toStdString() << std::endl;
        return m.buttons.contains(widgets::Answer::Yes) ? widgets::Answer::Yes : widgets::Answer::Ok;
    });

    std::optional<Programm> programm;
    programm.emplace();
    if (!programm->gestartet()) {
        std::cout << "abgebrochen" << std::endl;
        return 1;
    }
    if (argumente.size() > 2) {
        TRecherche dialog(Marlex, Namentabelle::Tmp1);
        dialog.show();
        QTest::keyClicks(dialog.Edit1, argumente.at(2));
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    }
    QStringList zeile = {u"bereit"_qs, Datas->Arbeitsordner};
    for (int i = 0; i < Marlex->ListBox1->count(); ++i)
        zeile << Marlex->ListBox1->text(i);
    std::cout << zeile.join(u'\t').toStdString() << std::endl;

    std::string ende;
    std::getline(std::cin, ende);
    programm.reset();
    return 0;
}
