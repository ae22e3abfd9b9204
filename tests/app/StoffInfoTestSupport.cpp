#include "StoffInfoTestSupport.h"

namespace stoffinfotest {

std::ostream& operator<<(std::ostream& os, const Tabellenstand& s)
{
    return os << s.datei.toStdString() << " (" << s.indexDatei.toStdString() << ", " << s.tag.toStdString()
              << ") offen=" << s.offen << " filter=\"" << s.filter.toStdString() << "\" gefiltert=" << s.gefiltert
              << " satz=" << s.satz;
}

std::vector<Tabellenstand> tabellenstand()
{
    std::vector<Tabellenstand> staende;
    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4, Datas->Table6})
        staende.push_back({t->active(), t->tableName(), t->indexFiles(), t->indexName(), t->filterText(),
                           t->filtered(), t->filterOptions(), t->active() ? t->recNo() : 0});
    return staende;
}

void aufZeile(dbase::Table& t, const char* feld, const QString& wert)
{
    for (t.first(); !t.eof(); t.next())
        if (t.fieldByName(feld).asString() == wert)
            return;
    FAIL() << "keine Zeile mit " << feld << " = " << wert.toStdString();
}

QStringList texte(const std::vector<report::Page>& seiten)
{
    QStringList liste;
    for (const report::Page& seite : seiten)
        for (const report::DrawnItem& item : seite.items)
            if (item.kind == report::ItemKind::Text || item.kind == report::ItemKind::TextRun)
                liste << item.text;
    return liste;
}

std::vector<report::DrawnItem> bilder(const std::vector<report::Page>& seiten)
{
    std::vector<report::DrawnItem> liste;
    for (const report::Page& seite : seiten)
        for (const report::DrawnItem& item : seite.items)
            if (item.kind == report::ItemKind::Picture)
                liste.push_back(item);
    return liste;
}

void registerFuellen(Register& reg)
{
    namenSchreiben({{QStringLiteral("Aceton"), QStringLiteral("67-64-1")},
                    {QStringLiteral("Dimethylketon"), QStringLiteral("67-64-1")},
                    {QStringLiteral("Ethanol"), QStringLiteral("64-17-5")},
                    {QStringLiteral("Bob's Stoff"), QStringLiteral("12'3")},
                    {QStringLiteral("Zwölf"), QStringLiteral("12")},
                    {QStringLiteral("Wasser"), QStringLiteral("7732-18-5")},
                    {QStringLiteral("Unbekannt"), QStringLiteral("99-99-9")}});
    chemieSchreiben({{QStringLiteral("67-64-1"),
                      QStringLiteral("1"),
                      {{NAME1, QStringLiteral("Aceton rein")},
                       {FORMEL, QStringLiteral("C3H6O")},
                       {GEFSYM1, QStringLiteral("F")},
                       {GEFSYM2, QStringLiteral("Xi")},
                       {R_SATZ, QStringLiteral("11-36")},
                       {S_SATZ, QStringLiteral("9")}}},
                     {QStringLiteral("64-17-5"),
                      QStringLiteral("1"),
                      {{NAME1, QStringLiteral("Ethanol absolut")}, {FORMEL, QStringLiteral("C2H6O")},
                       {GEFSYM1, QStringLiteral("F")}, {R_SATZ, QStringLiteral("11")}}},
                     {QStringLiteral("12'3"), QStringLiteral("1"), {{NAME1, QStringLiteral("Bobs Reiniger")}}},
                     {QStringLiteral("12"), QStringLiteral("1"), {{NAME1, QStringLiteral("Zwölfstoff")}}},
                     {QStringLiteral("7732-18-5"), QStringLiteral("1"), {{NAME1, QStringLiteral("Wasser dest.")}}}});
    lagerzeilenSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1"), QStringLiteral("Schrank 2")},
                          {QStringLiteral("67-64-1"), QStringLiteral("1"), QStringLiteral("Schrank 3")},
                          {QStringLiteral("64-17-5"), QStringLiteral("1"), QStringLiteral("Keller")},
                          {QStringLiteral("12'3"), QStringLiteral("1"), QStringLiteral("Regal B")},
                          {QStringLiteral("12"), QStringLiteral("1"), QStringLiteral("Regal A")}});
    formelnSchreiben({QStringLiteral("67-64-1"), QStringLiteral("64-17-5")});
    siGefSchreiben({{QStringLiteral("R11"), QStringLiteral("11= Leichtentzündlich.")},
                    {QStringLiteral("R36"), QStringLiteral("36= Reizt die Augen.")},
                    {QStringLiteral("S9"), QStringLiteral("9= Behälter an einem gut gelüfteten Ort aufbewahren.")}});
    symbolOrdnerSchreiben(QDir(reg.programm()));
}

std::vector<Blattband> standardblatt()
{
    return {{QStringLiteral("rbTitle"),
             60,
             {blattelement(0, QStringLiteral("Stoffinfo")),
              blattelement(600, QStringLiteral("{chemie.dbf,GEFSYM1='F',Achtung entzündlich}"), {0, 25, 300, 20})}},
            {QStringLiteral("rbDetail"),
             300,
             {blattelement(100, QStringLiteral("[chemie.dbf NAME1]")),
              blattelement(100, QStringLiteral("[namen.dbf NAME1]"), {0, 25, 200, 20}),
              blattelement(100, QStringLiteral("[lager.dbf LAGER_ORT]"), {0, 50, 200, 20}),
              blattelement(400, {}, {0, 75, 700, 60}),
              blattelement(700, {}, {0, 140, 200, 20}),
              blattelement(500, {}, {400, 0, 60, 30})}}};
}

} // namespace stoffinfotest
