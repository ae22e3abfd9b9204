#include "data/Datas.h"

#include "app/Marlex.h"
#include "data/Init.h"
#include "data/Laufordner.h"
#include "data/Optionen.h"
#include "ini/IniFile.h"
#include "ini/SettingsLocation.h"
#include "search/Namentabellen.h"
#include "update/Datenuebernahme.h"
#include "widgets/MessageBox.h"

TDatas* Datas = nullptr;

namespace {

struct TabellenVorgabe {
    QString tabelle;
    QString indexDatei;
    const char* indexName;
    std::vector<dbase::IndexDef> tags;
};

const dbase::IndexDef& carnSub = NamenTags[0];
const dbase::IndexDef& name1Sub = NamenTags[1];

// Table1 .. Table7 as the data module declares them; the index file names
// are written exactly so. Table5's file is set by the start-up, Table7 has
// no index until the list filter builds it. The phrase table's tag is its
// key field: every phrase table has it, and a phrase's lines keep the order
// they were written in.
const TabellenVorgabe vorgaben[7] = {
    {namentabellenDatei(Namentabelle::Stamm), namentabellenIndexDatei(Namentabelle::Stamm), "NAME1_SUB", NamenTags},
    {u"chemie.dbf"_qs, u"chemie.MDX"_qs, "CARN_SUB", {carnSub}},
    {u"lager.dbf"_qs, u"lager.MDX"_qs, "CARN_SUB", {carnSub, name1Sub}},
    {u"si_gef.dbf"_qs, u"si_gef.mdx"_qs, "NRSATZ_SUB", {{"NRSATZ_SUB", "NRSATZ", false, false, false}}},
    {{}, {}, "", {}},
    {u"formeln.dbf"_qs, u"formeln.MDX"_qs, "CARN_SUB", {carnSub}},
    {u"filter.dbf"_qs, {}, "", {}},
};

template <typename T, std::size_t N>
std::array<std::unique_ptr<T>, N> anlegen()
{
    std::array<std::unique_ptr<T>, N> objekte;
    for (auto& objekt : objekte)
        objekt = std::make_unique<T>();
    return objekte;
}

} // namespace

TDatas::TDatas(QObject* parent)
    : QObject(parent),
      m_tables(anlegen<dbase::Table, 7>()),
      m_sources(anlegen<widgets::DataSource, 7>()),
      Table1(m_tables[0].get()), Table2(m_tables[1].get()), Table3(m_tables[2].get()),
      Table4(m_tables[3].get()), Table5(m_tables[4].get()), Table6(m_tables[5].get()),
      Table7(m_tables[6].get()),
      DataSource1(m_sources[0].get()), DataSource2(m_sources[1].get()), DataSource3(m_sources[2].get()),
      DataSource4(m_sources[3].get()), DataSource5(m_sources[4].get()), DataSource6(m_sources[5].get()),
      DataSource7(m_sources[6].get())
{
    setObjectName(u"Datas"_qs);
    for (std::size_t i = 0; i < m_tables.size(); ++i) {
        dbase::Table& table = *m_tables[i];
        table.setTableName(vorgaben[i].tabelle);
        table.setIndexFiles(vorgaben[i].indexDatei);
        table.setIndexName(QString::fromLatin1(vorgaben[i].indexName));
        m_sources[i]->setObjectName(u"DataSource%1"_qs.arg(i + 1));
        m_sources[i]->setDataSet(&table);
    }
    Table4->setReadOnly(true);
}

TDatas::~TDatas()
{
    // The data sources go first (declared last); the tables close when they go.
    for (auto& source : m_sources)
        source->setDataSet(nullptr);
}

const std::vector<dbase::IndexDef>& TDatas::indexTags(const dbase::Table& table) const
{
    std::size_t i = 0;
    while (i < m_tables.size() && m_tables[i].get() != &table)
        ++i;
    static const std::vector<dbase::IndexDef> keine;
    return i < m_tables.size() ? vorgaben[i].tags : keine;
}

QString TDatas::arbeitsdatei(const QString& dateiName) const
{
    return Arbeitsordner.isEmpty() ? dateiName : Arbeitsordner + u'/' + dateiName;
}

void TDatas::laufordnerAnlegen()
{
    m_laufordner = std::make_unique<Laufordner>(ini::userSettingsDirectory() + u"/Arbeitsdateien"_qs);
    Arbeitsordner = m_laufordner->pfad();
}

void TDatas::FormCreate()
{
    if (OptFirst) {
        // The takeover of an earlier version's storage register is offered
        // once: the flag is cleared after the dialog ran, whether the user
        // took the data over or went on without. A settings file that
        // cannot be written must not stop the start: the user is told and
        // asked again next time.
        {
            TDatenuebernahme dialog(Marlex);
            dialog.exec();
        }
        try {
            Marlex->IniDatei->writeBool(SektionOptionen, u"First"_qs, false);
        } catch (const ini::IniError& fehler) {
            widgets::MessageBox::warning(Marlex, fehler.message());
        }
    }
    Init->show();
    Init->Initialisieren();
}
