#include "UpdateTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include "dbase/Table.h"
#include "fixtures/Dbfread.h"

namespace updatetest {

void updateSchreiben(const QString& datei, const std::vector<marlextest::Stoff>& stoffe,
                     const std::function<void(std::vector<dbase::FieldDef>&)>& aendern)
{
    std::vector<dbase::FieldDef> felder;
    {
        dbase::Table chemie;
        chemie.setTableName(QStringLiteral("chemie.dbf"));
        chemie.setReadOnly(true);
        chemie.open();
        felder = chemie.layout().fields();
    }
    if (aendern)
        aendern(felder);
    QDir().mkpath(QFileInfo(datei).absolutePath());
    dbase::Table update;
    update.setTableName(datei);
    update.createTable(dbase::TableLayout(felder));
    update.open();
    for (const marlextest::Stoff& s : stoffe) {
        update.append();
        auto werte = s.felder;
        werte[marlextest::CARN] = s.carn;
        werte[marlextest::SUBCARN] = s.subcarn;
        for (const auto& [i, wert] : werte) {
            dbase::Field feld = update.field(i);
            const dbase::FieldType typ = feld.def().type;
            if (wert.isEmpty())
                continue;
            if (typ == dbase::FieldType::Numeric || typ == dbase::FieldType::Float)
                feld.setAsFloat(wert.toDouble());
            else
                feld.setAsString(wert);
        }
        update.post();
    }
    update.close();
}

marlextest::Stoff stoff(const QString& name, const QString& carn, std::map<int, QString> felder)
{
    felder[marlextest::NAME1] = name;
    return {carn, QStringLiteral("1"), felder};
}

QStringList zeilen(const QString& tabelle, const QStringList& weitere)
{
    QStringList ergebnis;
    for (const QJsonValue& wert : fixtures::readWithDbfread(tabelle.toStdString()).rows) {
        const QJsonObject zeile = wert.toObject();
        QStringList teile;
        for (const QString& feld : QStringList{"NAME1", "CARN", "SUBCARN"} + weitere) {
            const QJsonValue v = zeile.value(feld);
            teile << (v.isDouble() ? QString::number(v.toDouble()) : v.toString());
        }
        ergebnis << teile.join(u'|');
    }
    return ergebnis;
}

} // namespace updatetest
