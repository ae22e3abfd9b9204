#pragma once

#include <memory>

#include <QApplication>
#include <QString>
#include <QTemporaryDir>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/ListeEinlesen.h"
#include "search/AktuellerFilter.h"
#include "search/AktuellerLagerFilter.h"
#include "search/FilterWarten.h"
#include "widgets/MessageBox.h"

namespace bench {

// The main window and the windows the filters and the research show, on the
// tables of the register in `directory` (empty: the standard register,
// BenchRegister::standard()), the current directory meanwhile, for the life
// of one benchmark. Messages are answered with OK, unseen.
class Programmfenster {
public:
    explicit Programmfenster(const QString& directory = {});
    ~Programmfenster();
    Programmfenster(const Programmfenster&) = delete;
    Programmfenster& operator=(const Programmfenster&) = delete;

    TMarlex& marlex() { return *m_marlex; }

private:
    QApplication& m_app; // before the windows
    widgets::ScopedAnswerProvider m_stumm;
    QString m_vorher;
    QTemporaryDir m_programm;
    TDatas m_datas;
    TListeEinlesen m_liste;
    TAktuellerFilter m_aktuell;
    TAktuellerLagerFilter m_lager;
    TFilterWarten m_warten;
    std::unique_ptr<TMarlex> m_marlex;
};

} // namespace bench
