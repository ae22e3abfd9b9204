#pragma once

#include <map>
#include <vector>

#include <QDir>
#include <QString>
#include <QStringList>

namespace demo {

// One substance of the register as the data files describe it: the values of
// the chemie.dbf fields by field name (only the fields the data gives), its
// synonyms and its memo text.
struct Substance {
    std::map<QString, QString> fields;
    QStringList synonyms;

    QString value(const QString& field) const;
    QString name() const { return value(QStringLiteral("NAME1")); }
    QString carn() const { return value(QStringLiteral("CARN")); }
    // "1" unless the data gives another sub-number.
    QString subcarn() const;
    // The phrase numbers of R_SATZ or S_SATZ as written between the "-".
    QStringList phraseNumbers(QChar letter) const;
    // Hazard symbol codes of GEFSYM1..GEFSYM4 in slot order, empty slots kept.
    QStringList hazardCodes() const;
};

struct StockItem {
    QString carn;
    QString subcarn;
    QString menge;
    QString lagerOrt;
    QString lieferant;
    QString verwender;
    int anzahl = 0;
};

// The demo register's content, read from the data directory and checked:
// every field name known, every CAS number with a right check digit, every
// hazard code one of the ten, every phrase number with a text, every stock
// item naming a substance. A fault is a DemoError naming file and line.
struct DemoData {
    std::vector<Substance> substances;
    std::map<QString, QString> phrases; // "R11" -> "Leichtentzündlich"
    std::vector<StockItem> stock;

    static DemoData load(const QDir& dataDir);

    const Substance* find(const QString& carn, const QString& subcarn) const;
};

// The hazard symbol codes the register knows, in the record editor's order.
const QStringList& hazardCodeList();

// The fields of chemie.dbf that the data files may give; the picture names
// (GEFSYMxBMP, FORMEL_BMP) are derived and never given.
bool isDataField(const QString& name);

} // namespace demo
