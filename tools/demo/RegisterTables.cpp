#include "RegisterTables.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QSaveFile>

#include "DemoData.h"
#include "DemoError.h"
#include "StructureFormulas.h"
#include "app/Bilder.h"
#include "app/NameRules.h"
#include "dbase/Table.h"

namespace demo {

namespace {

using dbase::FieldDef;
using dbase::FieldType;

FieldDef text(const char* name, int length) { return demoField(name, FieldType::Character, length); }

// Memo and picture fields hold a 10-digit block number in the record.
constexpr int blockFieldWidth = 10;

// Opens `name` in `dir` as a new, empty table of `layout`.
class NewTable {
public:
    NewTable(const QDir& dir, const QString& name, const dbase::TableLayout& layout)
    {
        m_table.setTableName(dir.filePath(name));
        m_table.createTable(layout);
        m_table.open();
    }

    dbase::Table& operator*() { return m_table; }
    dbase::Table* operator->() { return &m_table; }

    void set(const char* fieldName, const QString& value)
    {
        if (!value.isEmpty())
            m_table.fieldByName(fieldName).setAsString(value);
    }

    // Closes the table, then builds the tags from the written rows.
    void finish(std::initializer_list<dbase::IndexDef> tags)
    {
        m_table.close();
        for (const dbase::IndexDef& tag : tags)
            m_table.addIndex(tag);
    }

private:
    dbase::Table m_table;
};

const dbase::IndexDef carnSub{"CARN_SUB", "CARN+SUBCARN", true};
const dbase::IndexDef name1Sub{"NAME1_SUB", "STRIPNAME1"};

void writeNamen(const DemoData& data, const QDir& dir)
{
    NewTable t(dir, QStringLiteral("namen.dbf"), namenLayout());
    for (const Substance& s : data.substances) {
        QStringList names{s.name()};
        for (const QString& synonym : s.synonyms)
            if (!names.contains(synonym, Qt::CaseInsensitive))
                names << synonym;
        for (const QString& name : names) {
            t->append();
            t.set("NAME1", name);
            t.set("STRIPNAME1", StripNameBilden(name));
            t.set("CARN", s.carn());
            t.set("SUBCARN", s.subcarn());
            t->post();
        }
    }
    t.finish({carnSub, name1Sub});
}

void writeChemie(const DemoData& data, const QDir& dir)
{
    NewTable t(dir, QStringLiteral("chemie.dbf"), chemieLayout());
    for (const Substance& s : data.substances)
        appendSubstance(*t, s);
    t.finish({carnSub});
}

// Stock dates are fixed so that every run writes the same tables.
const QDate stockDateOld(2024, 9, 2);
const QDate stockDateNew(2025, 3, 14);

void writeLager(const DemoData& data, const QDir& dir)
{
    NewTable t(dir, QStringLiteral("lager.dbf"), lagerLayout());
    for (const StockItem& item : data.stock) {
        const QString name = data.find(item.carn, item.subcarn)->name();
        t->append();
        t.set("NAME1", name);
        t.set("CARN", item.carn);
        t.set("SUBCARN", item.subcarn);
        t.set("MENGE_IN_G", item.menge);
        t->fieldByName("DATUM_ALT").setAsDate(stockDateOld);
        t->fieldByName("DATUM_NEU").setAsDate(stockDateNew);
        t->fieldByName("DIFFE_IN_G").setAsFloat(0);
        t.set("LAGER_ORT", item.lagerOrt);
        t.set("LIEFERANT", item.lieferant);
        t.set("VERWENDER", item.verwender);
        t->fieldByName("ANZAHL").setAsInteger(item.anzahl);
        t.set("STRIPNAME1", StripNameBilden(name));
        t->post();
    }
    t.finish({carnSub, name1Sub});
}

constexpr int phraseTextWidth = 80;

void writeSiGef(const DemoData& data, const QDir& dir)
{
    NewTable t(dir, QStringLiteral("si_gef.dbf"), siGefLayout());
    for (const auto& [key, phrase] : data.phrases) {
        const QStringList lines = phraseLines(key.mid(1), phrase, phraseTextWidth);
        for (int i = 0; i < lines.size(); ++i) {
            t->append();
            t.set("NRSATZ", key);
            t->fieldByName("ZEILE").setAsInteger(i + 1);
            t.set("SATZTEXT", lines[i]);
            t->post();
        }
    }
    // The line number keeps a phrase's continuation lines in order under one key.
    t.finish({siGefTag});
}

QByteArray bmpBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        throw DemoError(QStringLiteral("Ein Strukturbild konnte nicht als BMP geschrieben werden."));
    return bytes;
}

void writeFormeln(const DemoData& data, const QDir& dir)
{
    NewTable t(dir, QStringLiteral("formeln.dbf"), formelnLayout());
    for (const Substance& s : data.substances) {
        const QImage picture = structureFormula(s.carn());
        if (picture.isNull())
            continue;
        t->append();
        t.set("CARN", s.carn());
        t.set("SUBCARN", s.subcarn());
        t->fieldByName("FORMEL").setAsBytes(bmpBytes(picture));
        t->post();
    }
    t.finish({carnSub});
}

} // namespace

dbase::FieldDef demoField(const std::string& name, dbase::FieldType type, int length, int decimals)
{
    FieldDef f;
    f.name = name;
    f.type = type;
    f.length = static_cast<std::uint8_t>(length);
    f.decimals = static_cast<std::uint8_t>(decimals);
    return f;
}

void writeFilesList(const QDir& dir)
{
    QSaveFile file(dir.filePath(QStringLiteral("FILES.TXT")));
    // No line break after the last name: every line counts, an empty one too.
    if (!file.open(QIODevice::WriteOnly) || file.write(requiredFiles().join(QStringLiteral("\r\n")).toLatin1()) < 0
        || !file.commit())
        throw DemoError(QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(file.fileName(), file.errorString()));
}

dbase::TableLayout siGefLayout()
{
    return dbase::TableLayout(
        {text("NRSATZ", 12), demoField("ZEILE", FieldType::Numeric, 2), text("SATZTEXT", phraseTextWidth)});
}

dbase::TableLayout formelnLayout()
{
    return dbase::TableLayout({text("CARN", 12), text("SUBCARN", 4), demoField("FORMEL", FieldType::Binary, blockFieldWidth)});
}

dbase::TableLayout namenLayout()
{
    return dbase::TableLayout({text("NAME1", 60), text("STRIPNAME1", 60), text("CARN", 12), text("SUBCARN", 4)});
}

dbase::TableLayout lagerLayout()
{
    return dbase::TableLayout({text("NAME1", 60), text("CARN", 12), text("SUBCARN", 4), text("MENGE_IN_G", 15),
                               demoField("DATUM_ALT", FieldType::Date, 8), demoField("DATUM_NEU", FieldType::Date, 8),
                               demoField("DIFFE_IN_G", FieldType::Numeric, 10, 1), text("LAGER_ORT", 40),
                               text("FREI1", 30), text("FREI2", 30), text("LIEFERANT", 40), text("VERWENDER", 40),
                               text("MARKER", 1), text("ETIKETTE", 1), demoField("ANZAHL", FieldType::Numeric, 4),
                               text("STRIPNAME1", 60)});
}

dbase::TableLayout chemieLayout()
{
    return dbase::TableLayout({
        text("NAME1", 60),          // 0
        text("NAME2", 60),          // 1
        text("CARN", 12),           // 2
        text("SUBCARN", 4),         // 3
        text("EG_INDEX", 15),       // 4
        text("FORMEL", 40),         // 5
        text("GEFSYM1", 2),         // 6
        text("GEFSYM2", 2),         // 7
        text("GEFSYM3", 2),         // 8
        text("R_SATZ", 60),         // 9
        text("S_SATZ", 60),         // 10
        text("MERCK_NR", 10),       // 11
        text("CANCER", 1),          // 12
        text("MUTAGEN", 1),         // 13
        text("R_E", 1),             // 14
        text("R_F", 1),             // 15
        text("KREBS", 2),           // 16
        text("FRUCHTSCH", 1),       // 17
        text("ERBGUTGEF", 1),       // 18
        text("MAK1", 10),           // 19
        text("MAK2", 10),           // 20
        text("TRK1", 10),           // 21
        text("TRK2", 10),           // 22
        text("MAK_FAK", 5),         // 23
        text("WIRKUNG", 2),         // 24
        text("VBF", 4),             // 25
        text("WGK", 1),             // 26
        demoField("MOLMASSE", FieldType::Numeric, 10, 2), // 27
        text("DICHTE", 20),         // 28
        demoField("SMT", FieldType::Numeric, 8, 1),       // 29
        demoField("SDT", FieldType::Numeric, 8, 1),       // 30
        text("DAMPFDRUCK", 20),     // 31
        text("LOESLICHKE", 20),     // 32
        text("UNTERRICHT", 4),      // 33
        text("LAGERUNG", 1),        // 34
        text("ENTSORGUNG", 12),     // 35
        text("UN_NR", 4),           // 36
        demoField("MEMOTEXT", FieldType::Memo, blockFieldWidth), // 37
        text("GEFSYM1BMP", 12),     // 38
        text("GEFSYM2BMP", 12),     // 39
        text("GEFSYM3BMP", 12),     // 40
        text("FORMEL_BMP", 16),     // 41
        text("GEFSYM4", 2),         // 42
        text("GEFSYM4BMP", 12),     // 43
    });
}

void appendSubstance(dbase::Table& table, const Substance& s)
{
    table.append();
    auto set = [&table](const char* fieldName, const QString& value) {
        if (!value.isEmpty())
            table.fieldByName(fieldName).setAsString(value);
    };
    for (const auto& [name, value] : s.fields) {
        if (value.isEmpty())
            continue;
        dbase::Field f = table.fieldByName(name.toStdString());
        if (f.def().type == FieldType::Numeric) {
            bool ok = false;
            const double number = value.toDouble(&ok);
            if (!ok)
                throw DemoError(QStringLiteral("%1: %2=\"%3\" ist keine Zahl (Dezimalpunkt verwenden).")
                                    .arg(s.name(), name, value));
            f.setAsFloat(number);
        } else {
            f.setAsString(value);
        }
    }
    set("SUBCARN", s.subcarn());
    const QStringList codes = s.hazardCodes();
    const char* bmpFields[] = {"GEFSYM1BMP", "GEFSYM2BMP", "GEFSYM3BMP", "GEFSYM4BMP"};
    for (int i = 0; i < 4; ++i)
        set(bmpFields[i], symbolDateiname(codes[i]));
    set("FORMEL_BMP", formelBildname(s.carn()));
    table.post();
}

QString symbolDateiname(const QString& code)
{
    // The symbol boxes list the codes in the order of hazardCodeList().
    const qsizetype i = hazardCodeList().indexOf(code);
    return i < 0 ? QStringLiteral("LEER.BMP") : QLatin1String(SymbolDateinamen[size_t(i)]);
}

QString formelBildname(const QString& carn)
{
    return carn.left(carn.size() - 2) + QStringLiteral(".BMP");
}

QStringList phraseLines(const QString& number, const QString& text, int width)
{
    QStringList lines;
    QString line = number + QStringLiteral("= ");
    bool atStart = true; // nothing of the text on the line yet
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word.size() > width)
            throw DemoError(QStringLiteral("Satz %1: das Wort \"%2\" ist länger als eine Zeile.").arg(number, word));
        if (!atStart && line.size() + 1 + word.size() > width) {
            lines << line;
            line = word;
        } else {
            line += (atStart ? QString() : QStringLiteral(" ")) + word;
        }
        atStart = false;
    }
    lines << line;
    return lines;
}

QStringList requiredFiles()
{
    return {"namen.dbf",  "namen.mdx",   "chemie.dbf", "chemie.dbt", "chemie.mdx",  "lager.dbf",
            "lager.mdx",  "si_gef.dbf",  "si_gef.mdx", "formeln.dbf", "formeln.dbt", "formeln.mdx"};
}

void writeRegister(const DemoData& data, const QDir& dir)
{
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        throw DemoError(QStringLiteral("Das Verzeichnis %1 kann nicht angelegt werden.").arg(dir.path()));
    writeNamen(data, dir);
    writeChemie(data, dir);
    writeLager(data, dir);
    writeSiGef(data, dir);
    writeFormeln(data, dir);
    writeFilesList(dir);
}

} // namespace demo
