#include "Programmfenster.h"

#include <QDir>

#include "BenchApplication.h"
#include "BenchRegister.h"

namespace bench {

Programmfenster::Programmfenster(const QString& directory)
    : m_app(application()), m_stumm([](const widgets::MessageRequest&) { return widgets::Answer::Ok; }),
      m_vorher(QDir::currentPath())
{
    // The set-up reports the pictures an empty program directory lacks;
    // nobody is there to answer.
    Programmverzeichnis = m_programm.path() + u'/';
    QDir::setCurrent(directory.isEmpty() ? BenchRegister::standard().path({}) : directory);
    m_marlex = std::make_unique<TMarlex>();
    Marlex = m_marlex.get();
    ListeEinlesen = &m_liste;
    AktuellerFilter = &m_aktuell;
    AktuellerLagerFilter = &m_lager;
    FilterWarten = &m_warten;
    Datas = &m_datas;
    for (dbase::Table* t : {m_datas.Table1, m_datas.Table2, m_datas.Table3, m_datas.Table6})
        t->open();
}

Programmfenster::~Programmfenster()
{
    m_marlex.reset();
    Datas = nullptr;
    Marlex = nullptr;
    ListeEinlesen = nullptr;
    AktuellerFilter = nullptr;
    AktuellerLagerFilter = nullptr;
    FilterWarten = nullptr;
    QDir::setCurrent(m_vorher);
    Programmverzeichnis.clear();
}

} // namespace bench
