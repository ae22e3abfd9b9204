#include "BenchRegister.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "app/NameRules.h"
#include "demo/RegisterTables.h"

namespace bench {

namespace {

// Only the engine's generator is standardised, not the distributions, so
// picks are made from its raw output: the register is the same everywhere.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : m_engine(seed) {}
    int pick(int n) { return static_cast<int>(m_engine() % static_cast<std::uint32_t>(n)); }
    bool chance(int percent) { return pick(100) < percent; }
    template <std::size_t N>
    const char* of(const char* const (&choices)[N])
    {
        return choices[pick(static_cast<int>(N))];
    }
    template <typename T>
    void shuffle(std::vector<T>& items)
    {
        for (std::size_t i = items.size(); i > 1; --i)
            std::swap(items[i - 1], items[static_cast<std::size_t>(pick(static_cast<int>(i)))]);
    }

private:
    std::mt19937 m_engine;
};

// CAS registry number with its check digit: the digits before it from the
// right, weighted 1, 2, 3, ..., summed modulo 10.
QString casNumber(int first, int second)
{
    const std::string digits = std::to_string(first) + (second < 10 ? "0" : "") + std::to_string(second);
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i)
        sum += (digits[digits.size() - 1 - i] - '0') * static_cast<int>(i + 1);
    return QStringLiteral("%1-%2-%3").arg(first).arg(second, 2, 10, QLatin1Char('0')).arg(sum % 10);
}

QString capitalised(QString s)
{
    if (!s.isEmpty())
        s[0] = s[0].toUpper();
    return s;
}

// Names that look like a German register's: salts, and organic names with
// locants (which the name key moves behind), substituents and umlauts.
QString chemicalName(Dice& dice)
{
    static const char* const cations[] = {"Natrium", "Kalium", "Calcium", "Magnesium", "Kupfer(II)-", "Eisen(III)-",
                                          "Zink", "Blei(II)-", "Ammonium", "Barium", "Silber", "Aluminium",
                                          "Lithium", "Cobalt(II)-", "Nickel(II)-", "Quecksilber(II)-"};
    static const char* const anions[] = {"chlorid", "sulfat", "nitrat", "carbonat", "hydroxid", "acetat",
                                         "phosphat", "oxid", "bromid", "jodid", "permanganat", "dichromat",
                                         "thiosulfat", "hydrogencarbonat", "sulfid", "fluorid", "oxalat"};
    static const char* const hydrates[] = {"", "", "", "-Monohydrat", "-Dihydrat", "-Pentahydrat", " wasserfrei",
                                           " Lösung 10 %"};
    static const char* const locants[] = {"", "", "", "", "1-", "2-", "3-", "4-", "1,2-", "2,4-", "N,N-",
                                          "o-", "m-", "p-", "1,3,5-", "2,2'-", "(+/-)-"};
    static const char* const substituents[] = {"methyl", "äthyl", "propyl", "butyl", "chlor", "dichlor", "brom",
                                               "fluor", "jod", "nitro", "amino", "hydroxy", "methoxy", "phenyl",
                                               "isopropyl", "trimethyl", "cyclohexyl", "acetyl", "sulfo",
                                               "tetrahydro", "dimethylamino", "trifluormethyl"};
    static const char* const stems[] = {"benzol", "toluol", "phenol", "anilin", "pyridin", "essigsäure",
                                        "propansäure", "buttersäure", "propanol", "butanol", "hexan", "heptan",
                                        "cyclohexanon", "äther", "naphthalin", "harnstoff", "glykol",
                                        "benzoesäure", "acetamid", "malonsäurediäthylester", "thiophen", "furan",
                                        "chinolin", "piperidin", "acrylnitril", "formamid", "oxalsäure",
                                        "salicylsäure", "hydrochinon", "brenzcatechin", "glycerin",
                                        "maleinsäureanhydrid", "äthylenglykolmonomethyläther", "hydrazin"};
    static const char* const suffixes[] = {"", "", "", "", "", "-hydrochlorid", " (wasserfrei)", " Lösung 25 %",
                                           "-natriumsalz", " techn.", " zur Synthese"};
    QString name;
    if (dice.pick(10) < 3) {
        name = QString::fromUtf8(dice.of(cations)) + QString::fromUtf8(dice.of(anions))
               + QString::fromUtf8(dice.of(hydrates));
    } else {
        QString body;
        for (int n = dice.pick(3); n > 0; --n)
            body += QString::fromUtf8(dice.of(substituents));
        body += QString::fromUtf8(dice.of(stems));
        name = QString::fromUtf8(dice.of(locants)) + capitalised(body) + QString::fromUtf8(dice.of(suffixes));
    }
    return name.left(60);
}

void set(dbase::Table& table, const char* fieldName, const QString& value)
{
    if (!value.isEmpty())
        table.fieldByName(fieldName).setAsString(value);
}

// Makes `path` anew from `layout`, lets `fill` append the rows, then builds
// the tags from them, as the program does with the tables it makes.
template <typename Fill>
void writeTable(const QString& path, const dbase::TableLayout& layout, std::initializer_list<dbase::IndexDef> tags,
                Fill fill)
{
    dbase::Table table;
    table.setTableName(path);
    table.createTable(layout);
    table.open();
    fill(table);
    for (const dbase::IndexDef& tag : tags)
        table.addIndex(tag);
    table.close();
}

struct Substance {
    SubstanceKey key;
    std::vector<QString> names; // the first is the main name
};

std::vector<Substance> makeSubstances(const RegisterSize& size, Dice& dice)
{
    std::vector<Substance> substances(static_cast<std::size_t>(size.substances));
    for (int i = 0; i < size.substances; ++i) {
        Substance& s = substances[static_cast<std::size_t>(i)];
        // Every 25th substance is a variant (a solution, a grade) under the
        // key of the one before: same CARN, another SUBCARN.
        if (i % 25 == 24)
            s.key = {substances[static_cast<std::size_t>(i - 1)].key.carn, QStringLiteral("1")};
        else
            s.key = {casNumber(50 + 7 * i, dice.pick(100)), QStringLiteral("0")};
        s.names.push_back(chemicalName(dice));
    }
    for (int extra = size.names - size.substances; extra > 0; --extra)
        substances[static_cast<std::size_t>(dice.pick(size.substances))].names.push_back(chemicalName(dice));
    // Substances came into the register over the years, not in key order.
    dice.shuffle(substances);
    return substances;
}

// R and S phrase numbers as R_SATZ and S_SATZ hold them ("60-61" is two).
const char* const rSaetze[] = {"11", "20/21/22", "23/24/25", "34", "36/37/38", "39", "40", "45", "50/53", "26/27/28"};
const char* const sSaetze[] = {"2", "7", "16", "26", "36/37/39", "45", "53", "60-61"};

void fillChemie(dbase::Table& table, const std::vector<Substance>& substances, Dice& dice)
{
    static const char* const symbols[] = {"C", "E", "F+", "F", "N", "O", "T+", "T", "Xi", "Xn"};
    static const char* const wgk[] = {"", "0", "1", "1", "2", "2", "3"};
    static const char* const unterricht[] = {"", "", "LV", "SI", "SII", "SII#", "###", "XXX"};
    static const char* const krebs[] = {"", "", "", "", "", "", "", "", "A1", "A2", "B"};
    static const char* const wirkung[] = {"", "", "", "", "", "H", "S"};
    static const char* const entsorgung[] = {"", "1", "3", "7", "12", "Abluft", "Abwasser", "Aufarbeitung",
                                             "Hausmüll", "Einzelents"};
    int row = 0;
    for (const Substance& s : substances) {
        table.append();
        set(table, "NAME1", s.names.front());
        set(table, "NAME2", s.names.size() > 1 ? s.names[1] : QString());
        set(table, "CARN", s.key.carn);
        set(table, "SUBCARN", s.key.subcarn);
        set(table, "EG_INDEX", QStringLiteral("%1-%2-00-%3").arg(600 + dice.pick(50)).arg(dice.pick(1000), 3, 10,
                                                                                          QLatin1Char('0'))
                                   .arg(dice.pick(10)));
        set(table, "FORMEL", QStringLiteral("C%1H%2O%3").arg(1 + dice.pick(20)).arg(2 + dice.pick(40)).arg(dice.pick(6)));
        const char* gefsymFields[] = {"GEFSYM1", "GEFSYM2", "GEFSYM3", "GEFSYM4"};
        const char* bmpFields[] = {"GEFSYM1BMP", "GEFSYM2BMP", "GEFSYM3BMP", "GEFSYM4BMP"};
        // Fewer symbols in the later slots, as in a real register.
        const int slotChance[] = {80, 40, 15, 3};
        for (int slot = 0; slot < 4; ++slot) {
            const QString code = dice.chance(slotChance[slot]) ? QString::fromLatin1(dice.of(symbols)) : QString();
            set(table, gefsymFields[slot], code);
            set(table, bmpFields[slot], demo::symbolDateiname(code));
        }
        set(table, "R_SATZ", QString::fromLatin1(dice.of(rSaetze)) + '-' + QString::fromLatin1(dice.of(rSaetze)));
        set(table, "S_SATZ", QString::fromLatin1(dice.of(sSaetze)) + '-' + QString::fromLatin1(dice.of(sSaetze)));
        set(table, "WGK", QString::fromLatin1(dice.of(wgk)));
        set(table, "UNTERRICHT", QString::fromLatin1(dice.of(unterricht)));
        set(table, "ENTSORGUNG", QString::fromUtf8(dice.of(entsorgung)));
        set(table, "LAGERUNG", QString::number(dice.pick(8)));
        set(table, "UN_NR", dice.chance(60) ? QString::number(1000 + dice.pick(2500)) : QString());
        table.fieldByName("MOLMASSE").setAsFloat((1000 + dice.pick(50000)) / 100.0);
        table.fieldByName("SMT").setAsFloat((dice.pick(4000) - 1500) / 10.0);
        table.fieldByName("SDT").setAsFloat((dice.pick(5000) - 500) / 10.0);
        if (dice.chance(30)) {
            const int mak = 1 + dice.pick(500);
            set(table, "MAK1", QString::number(mak));
            set(table, "MAK2", QString::number(mak * 3));
        }
        set(table, "DICHTE", dice.chance(70) ? QStringLiteral("%1 g/cm³").arg((500 + dice.pick(2000)) / 1000.0) : QString());
        set(table, "KREBS", QString::fromLatin1(dice.of(krebs)));
        set(table, "CANCER", dice.chance(5) ? QString::number(1 + dice.pick(3)) : QString());
        set(table, "WIRKUNG", QString::fromLatin1(dice.of(wirkung)));
        set(table, "VBF", dice.chance(20) ? QStringLiteral("A%1").arg(1 + dice.pick(3)) : QString());
        set(table, "FORMEL_BMP", demo::formelBildname(s.key.carn));
        if (++row % 40 == 0)
            set(table, "MEMOTEXT", QStringLiteral("Hinweis zu %1: nur im Abzug verwenden, Schutzbrille und "
                                                  "Handschuhe tragen. Reste über die Sammelstelle entsorgen.")
                                       .arg(s.names.front()));
        table.post();
    }
}

// Returns which substances (by position) have stock.
std::vector<bool> fillLager(dbase::Table& table, const std::vector<Substance>& substances, int count, Dice& dice)
{
    std::vector<bool> stocked(substances.size());
    static const char* const mengen[] = {"bis 10g", "bis 100g", "bis 1000g", "über 1000g"};
    static const char* const orte[] = {"Giftschrank", "Säureschrank", "Laugenschrank", "Kühlschrank",
                                       "Lösungsmittelschrank", "Sammlung Raum 2.14", "Regal A3"};
    static const char* const lieferanten[] = {"Chemiehandel Nord", "Laborbedarf Süd GmbH", "Schulausstatter Müller"};
    const QDate oldDate(2024, 9, 2);
    const QDate newDate(2025, 3, 14);
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(dice.pick(static_cast<int>(substances.size())));
        const Substance& s = substances[at];
        stocked[at] = true;
        table.append();
        set(table, "NAME1", s.names.front());
        set(table, "CARN", s.key.carn);
        set(table, "SUBCARN", s.key.subcarn);
        set(table, "MENGE_IN_G", QString::fromUtf8(dice.of(mengen)));
        table.fieldByName("DATUM_ALT").setAsDate(oldDate);
        table.fieldByName("DATUM_NEU").setAsDate(newDate);
        table.fieldByName("DIFFE_IN_G").setAsFloat(0);
        set(table, "LAGER_ORT", QString::fromUtf8(dice.of(orte)));
        set(table, "LIEFERANT", QString::fromUtf8(dice.of(lieferanten)));
        set(table, "VERWENDER", QStringLiteral("Fachbereich %1").arg(1 + dice.pick(6)));
        table.fieldByName("ANZAHL").setAsInteger(1);
        set(table, "STRIPNAME1", StripNameBilden(s.names.front()));
        table.post();
    }
    return stocked;
}

// The R and S phrases the substances name, each in two or three lines of
// si_gef.dbf as the phrase table keeps them.
void fillSiGef(dbase::Table& table)
{
    const auto phrase = [&](const QString& key) {
        const QString text = QStringLiteral("Hinweis %1 des Registers: beim Umgang die Betriebsanweisung beachten, "
                                            "nur in gut gelüfteten Räumen arbeiten und Kontakt mit Haut und Augen "
                                            "vermeiden.")
                                 .arg(key);
        const QStringList lines = demo::phraseLines(key.mid(1), text);
        for (int i = 0; i < lines.size(); ++i) {
            table.append();
            set(table, "NRSATZ", key);
            table.fieldByName("ZEILE").setAsInteger(i + 1);
            set(table, "SATZTEXT", lines[i]);
            table.post();
        }
    };
    // Every single phrase, as the real table has them, then the combined
    // ones the substances name.
    QStringList keys;
    for (int r = 1; r <= 68; ++r)
        keys << QStringLiteral("R%1").arg(r);
    for (int s = 1; s <= 64; ++s)
        keys << QStringLiteral("S%1").arg(s);
    for (const char* const number : rSaetze)
        if (QLatin1String(number).contains(QLatin1Char('/')))
            keys << QStringLiteral("R") + QLatin1String(number);
    for (const char* const number : sSaetze)
        if (QLatin1String(number).contains(QLatin1Char('/')))
            keys << QStringLiteral("S") + QLatin1String(number);
    for (const QString& key : keys)
        phrase(key);
}

QByteArray structurePicture()
{
    QImage image(96, 64, QImage::Format_Indexed8);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int x = 8; x < 88; ++x) // a zigzag chain
        image.setPixel(x, 32 + (x % 16 < 8 ? x % 8 : 8 - x % 8), 1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

constexpr std::size_t structureStep = 5; // a structure picture for every fifth substance

void fillFormeln(dbase::Table& table, const std::vector<Substance>& substances)
{
    const QByteArray picture = structurePicture();
    for (std::size_t i = 0; i < substances.size(); i += structureStep) {
        table.append();
        set(table, "CARN", substances[i].key.carn);
        set(table, "SUBCARN", substances[i].key.subcarn);
        table.fieldByName("FORMEL").setAsBytes(picture);
        table.post();
    }
}

} // namespace

const dbase::IndexDef BenchRegister::carnSubTag{"CARN_SUB", "CARN+SUBCARN", true};
const dbase::IndexDef BenchRegister::name1SubTag{"NAME1_SUB", "STRIPNAME1"};

void appendNameRow(dbase::Table& table, const NameRow& row)
{
    table.append();
    table.field(0).setAsString(row.name1);
    table.field(1).setAsString(row.stripName1);
    table.field(2).setAsString(row.carn);
    table.field(3).setAsString(row.subcarn);
    table.post();
}

BenchRegister::BenchRegister(const RegisterSize& size)
{
    if (!m_dir.isValid() || size.substances <= 0 || size.names < size.substances)
        throw std::runtime_error("Benchmark register: no temporary directory or an impossible size");
    Dice dice(1999);
    const std::vector<Substance> substances = makeSubstances(size, dice);
    for (const Substance& s : substances) {
        m_substances.push_back(s.key);
        for (const QString& name : s.names)
            m_names.push_back({name, StripNameBilden(name), s.key.carn, s.key.subcarn});
    }
    writeTable(path("namen.dbf"), demo::namenLayout(), {carnSubTag, name1SubTag}, [this](dbase::Table& table) {
        for (const NameRow& row : m_names)
            appendNameRow(table, row);
    });
    writeTable(path("chemie.dbf"), demo::chemieLayout(), {carnSubTag},
               [&](dbase::Table& table) { fillChemie(table, substances, dice); });
    std::vector<bool> stocked;
    writeTable(path("lager.dbf"), demo::lagerLayout(), {carnSubTag, name1SubTag},
               [&](dbase::Table& table) { stocked = fillLager(table, substances, size.stockItems, dice); });
    writeTable(path("si_gef.dbf"), demo::siGefLayout(), {demo::siGefTag}, fillSiGef);
    writeTable(path("formeln.dbf"), demo::formelnLayout(), {carnSubTag},
               [&](dbase::Table& table) { fillFormeln(table, substances); });
    demo::writeFilesList(QDir(m_dir.path()));
    // The sheet's substance: stock, a structure picture and a main name that
    // is no other name of the register, so that its list line is found.
    std::unordered_map<QString, int> uses;
    for (const NameRow& row : m_names)
        ++uses[row.name1];
    for (std::size_t i = 0; i < substances.size() && m_sheetSubstance.isEmpty(); i += structureStep)
        if (stocked[i] && uses[substances[i].names.front()] == 1)
            m_sheetSubstance = substances[i].names.front();
    if (m_sheetSubstance.isEmpty())
        throw std::runtime_error("Benchmark register: no substance for the sheet");
}

const BenchRegister& BenchRegister::standard()
{
    static const BenchRegister instance{RegisterSize{}};
    return instance;
}

const BenchRegister& BenchRegister::millionNames()
{
    static const BenchRegister instance{RegisterSize{200000, 1000000, 50000}};
    return instance;
}

QString BenchRegister::path(const QString& fileName) const { return m_dir.filePath(fileName); }

void BenchRegister::copyTo(const QString& directory) const
{
    const QDir source(m_dir.path());
    const QDir target(directory);
    for (const QString& file : source.entryList(QDir::Files))
        QFile::copy(source.filePath(file), target.filePath(file));
}

void BenchRegister::open(dbase::Table& table, const QString& fileName, const QString& tag) const
{
    table.setTableName(path(fileName));
    table.setIndexName(tag);
    table.open();
}

} // namespace bench
