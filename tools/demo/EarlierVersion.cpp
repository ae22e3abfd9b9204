#include "EarlierVersion.h"

#include <algorithm>

#include <QDate>
#include <QFile>

#include "DemoData.h"
#include "DemoError.h"
#include "RegisterTables.h"
#include "dbase/Table.h"

namespace demo {

namespace {

using dbase::FieldDef;
using dbase::FieldType;

FieldDef text(const std::string& name, int length) { return demoField(name, FieldType::Character, length); }

// A table written under a dBASE name and then given the earlier version's
// own file name, as that version kept it.
class OldTable {
public:
    OldTable(const QDir& dir, const QString& fileName, const dbase::TableLayout& layout)
        : m_dir(dir), m_fileName(fileName)
    {
        m_table.setTableName(dir.filePath(dbfName()));
        m_table.createTable(layout);
        m_table.open();
    }

    dbase::Table* operator->() { return &m_table; }

    void set(int position, const QString& value)
    {
        if (!value.isEmpty())
            m_table.field(position).setAsString(value);
    }

    void finish()
    {
        m_table.close();
        const QString target = m_dir.filePath(m_fileName);
        if ((QFile::exists(target) && !QFile::remove(target)) || !QFile::rename(m_dir.filePath(dbfName()), target))
            throw DemoError(QStringLiteral("%1 kann nicht geschrieben werden.").arg(target));
    }

private:
    QString dbfName() const { return m_fileName.section(QLatin1Char('.'), 0, 0) + QStringLiteral(".dbf"); }

    QDir m_dir;
    QString m_fileName;
    dbase::Table m_table;
};

dbase::TableLayout marlex1Layout()
{
    return dbase::TableLayout({text("NAME", 60), text("CAS_NR", 12), text("SUB_NR", 4), text("MENGE_IN_G", 15),
                               demoField("DATUM_ALT", FieldType::Date, 8), demoField("DATUM_NEU", FieldType::Date, 8),
                               demoField("DIFFE_IN_G", FieldType::Numeric, 10, 1), text("LAGER_ORT", 40),
                               text("FREI1", 30), text("FREI2", 30), text("LIEFERANT", 40), text("VERWENDER", 40),
                               text("MARKER", 1), text("ETIKETTE", 1), demoField("ANZAHL", FieldType::Numeric, 4)});
}

// Positions the takeover reads; the others are filler of the same width.
constexpr int zanName = 0, zanSupplier = 1, zanCarn = 3, zanPlace = 18, zanRemark = 32, zanMarker = 33;

dbase::TableLayout zanLayout()
{
    std::vector<FieldDef> fields;
    for (int i = 0; i <= zanMarker; ++i) {
        switch (i) {
        case zanName: fields.push_back(text("NAME", 60)); break;
        case zanSupplier: fields.push_back(text("LIEFERANT", 40)); break;
        case zanCarn: fields.push_back(text("CAS_NR", 12)); break;
        case zanPlace: fields.push_back(text("LAGERORT", 40)); break;
        case zanRemark: fields.push_back(text("BEMERKUNG", 30)); break;
        case zanMarker: fields.push_back(demoField("MARKER", FieldType::Numeric, 2)); break;
        default: fields.push_back(text("FELD" + std::to_string(i), 10));
        }
    }
    return dbase::TableLayout(std::move(fields));
}

const QDate oldDateBefore(1998, 10, 5);
const QDate oldDateAfter(1999, 2, 11);

int writeMarlex1(const DemoData& data, const QDir& dir)
{
    OldTable t(dir, QStringLiteral("LAGER.MX1"), marlex1Layout());
    std::vector<StockItem> items = data.stock;
    if (!items.empty()) {
        // The first substance had a second bottle elsewhere.
        StockItem second = items.front();
        second.menge = QStringLiteral("500");
        second.lagerOrt = QStringLiteral("Vorbereitungsraum");
        items.insert(items.begin() + 1, second);
    }
    for (const StockItem& item : items) {
        t->append();
        t.set(0, data.find(item.carn, item.subcarn)->name());
        t.set(1, item.carn);
        t.set(2, item.subcarn);
        t.set(3, item.menge);
        t->field(4).setAsDate(oldDateBefore);
        t->field(5).setAsDate(oldDateAfter);
        t->field(6).setAsFloat(0);
        t.set(7, item.lagerOrt);
        t.set(10, item.lieferant);
        t.set(11, item.verwender);
        t->field(14).setAsInteger(item.anzahl);
        t->post();
    }
    t.finish();
    return int(items.size());
}

int writeZan(const DemoData& data, const QDir& dir)
{
    OldTable t(dir, QStringLiteral("CHEMIE.ZAN"), zanLayout());
    int marked = 0;
    for (const Substance& s : data.substances) {
        const auto item = std::find_if(data.stock.begin(), data.stock.end(), [&](const StockItem& i) {
            return i.carn == s.carn() && i.subcarn == s.subcarn();
        });
        const bool inStock = item != data.stock.end();
        t->append();
        t.set(zanName, s.name());
        t.set(zanCarn, s.carn());
        if (inStock) {
            t.set(zanSupplier, item->lieferant);
            t.set(zanPlace, item->lagerOrt);
            t.set(zanRemark, QStringLiteral("aus Zan 3.0"));
            ++marked;
        }
        t->field(zanMarker).setAsInteger(inStock ? 1 : 0);
        t->post();
    }
    t.finish();
    return marked;
}

} // namespace

EarlierVersionSummary writeEarlierVersion(const DemoData& data, const QDir& dir)
{
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        throw DemoError(QStringLiteral("Das Verzeichnis %1 kann nicht angelegt werden.").arg(dir.path()));
    EarlierVersionSummary summary;
    summary.oldStockItems = writeMarlex1(data, dir);
    summary.markedSubstances = writeZan(data, dir);
    return summary;
}

} // namespace demo
