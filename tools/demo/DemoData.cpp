#include "DemoData.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include "DemoError.h"
#include "RegisterTables.h"
#include "app/NameRules.h"

namespace demo {

namespace {

struct Line {
    int number;
    QString text;
};

// The lines of a UTF-8 text file with their numbers, without "#" comments.
std::vector<Line> readLines(const QDir& dir, const QString& name)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        throw DemoError(QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2")
                            .arg(file.fileName(), file.errorString()));
    const QStringList raw = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    std::vector<Line> lines;
    for (int i = 0; i < raw.size(); ++i) {
        QString text = raw[i];
        if (text.endsWith(QLatin1Char('\r')))
            text.chop(1);
        if (!text.startsWith(QLatin1Char('#')))
            lines.push_back({i + 1, text});
    }
    return lines;
}

[[noreturn]] void fail(const QDir& dir, const QString& file, int line, const QString& what)
{
    throw DemoError(QStringLiteral("%1, Zeile %2: %3").arg(dir.filePath(file)).arg(line).arg(what));
}

const QString derivedFields[] = {QStringLiteral("GEFSYM1BMP"), QStringLiteral("GEFSYM2BMP"),
                                 QStringLiteral("GEFSYM3BMP"), QStringLiteral("GEFSYM4BMP"),
                                 QStringLiteral("FORMEL_BMP")};

const QString gefsymFields[] = {QStringLiteral("GEFSYM1"), QStringLiteral("GEFSYM2"),
                                QStringLiteral("GEFSYM3"), QStringLiteral("GEFSYM4")};

void readSubstances(const QDir& dir, DemoData& data)
{
    const QString fileName = QStringLiteral("substances.txt");
    Substance current;
    int startLine = 0;
    auto finish = [&] {
        if (current.fields.empty() && current.synonyms.isEmpty())
            return;
        if (current.name().isEmpty())
            fail(dir, fileName, startLine, QStringLiteral("Der Stoff hat keinen NAME1."));
        if (!CarnPruefen(current.carn()))
            fail(dir, fileName, startLine,
                 QStringLiteral("Die CAS-Nummer \"%1\" von %2 hat eine falsche Prüfziffer.")
                     .arg(current.carn(), current.name()));
        for (const QString& code : current.hazardCodes())
            if (!code.isEmpty() && !hazardCodeList().contains(code))
                fail(dir, fileName, startLine,
                     QStringLiteral("Unbekanntes Gefahrensymbol \"%1\" bei %2.").arg(code, current.name()));
        if (data.find(current.carn(), current.subcarn()))
            fail(dir, fileName, startLine,
                 QStringLiteral("Der Schlüssel %1/%2 kommt doppelt vor.").arg(current.carn(), current.subcarn()));
        data.substances.push_back(std::move(current));
        current = Substance();
    };

    for (const Line& line : readLines(dir, fileName)) {
        if (line.text.trimmed().isEmpty()) {
            finish();
            continue;
        }
        if (current.fields.empty() && current.synonyms.isEmpty())
            startLine = line.number;
        const qsizetype eq = line.text.indexOf(QLatin1Char('='));
        if (eq <= 0)
            fail(dir, fileName, line.number, QStringLiteral("Erwartet wird FELD=Wert."));
        const QString key = line.text.left(eq).trimmed();
        const QString value = line.text.mid(eq + 1).trimmed();
        if (key == QLatin1String("SYN")) {
            current.synonyms << value;
        } else if (!isDataField(key)) {
            fail(dir, fileName, line.number, QStringLiteral("Unbekanntes Feld %1.").arg(key));
        } else if (current.fields.count(key)) {
            fail(dir, fileName, line.number, QStringLiteral("Das Feld %1 steht doppelt.").arg(key));
        } else {
            current.fields[key] = value;
        }
    }
    finish();
}

void readPhrases(const QDir& dir, DemoData& data)
{
    const QString fileName = QStringLiteral("phrases.txt");
    static const QRegularExpression key(QStringLiteral("^[RS][0-9]+(/[0-9]+)*$"));
    for (const Line& line : readLines(dir, fileName)) {
        if (line.text.trimmed().isEmpty())
            continue;
        const qsizetype eq = line.text.indexOf(QLatin1Char('='));
        const QString nr = line.text.left(eq).trimmed();
        const QString text = line.text.mid(eq + 1).trimmed();
        if (eq <= 0 || !key.match(nr).hasMatch() || text.isEmpty())
            fail(dir, fileName, line.number, QStringLiteral("Erwartet wird R11=Text oder S2=Text."));
        if (!data.phrases.emplace(nr, text).second)
            fail(dir, fileName, line.number, QStringLiteral("Der Satz %1 steht doppelt.").arg(nr));
    }
}

void readStock(const QDir& dir, DemoData& data)
{
    const QString fileName = QStringLiteral("stock.txt");
    for (const Line& line : readLines(dir, fileName)) {
        if (line.text.trimmed().isEmpty())
            continue;
        const QStringList parts = line.text.split(QLatin1Char(';'));
        bool numeric = false;
        const int anzahl = parts.size() == 7 ? parts[6].trimmed().toInt(&numeric) : 0;
        if (!numeric || anzahl < 0)
            fail(dir, fileName, line.number,
                 QStringLiteral("Erwartet wird CARN;SUBCARN;MENGE_IN_G;LAGER_ORT;LIEFERANT;VERWENDER;ANZAHL."));
        StockItem item{parts[0].trimmed(), parts[1].trimmed(), parts[2].trimmed(), parts[3].trimmed(),
                       parts[4].trimmed(), parts[5].trimmed(), anzahl};
        if (!data.find(item.carn, item.subcarn))
            fail(dir, fileName, line.number,
                 QStringLiteral("Kein Stoff mit dem Schlüssel %1/%2.").arg(item.carn, item.subcarn));
        data.stock.push_back(std::move(item));
    }
}

void checkPhrasesKnown(const QDir& dir, const DemoData& data)
{
    for (const Substance& s : data.substances)
        for (QChar letter : {QLatin1Char('R'), QLatin1Char('S')})
            for (const QString& nr : s.phraseNumbers(letter))
                if (!data.phrases.count(letter + nr))
                    throw DemoError(QStringLiteral("%1: Der Satz %2%3 von %4 fehlt in phrases.txt.")
                                        .arg(dir.path(), letter, nr, s.name()));
}

} // namespace

QString Substance::value(const QString& field) const
{
    const auto it = fields.find(field);
    return it == fields.end() ? QString() : it->second;
}

QString Substance::subcarn() const
{
    const QString given = value(QStringLiteral("SUBCARN"));
    return given.isEmpty() ? QStringLiteral("1") : given;
}

QStringList Substance::phraseNumbers(QChar letter) const
{
    const QString text = value(letter == QLatin1Char('R') ? QStringLiteral("R_SATZ") : QStringLiteral("S_SATZ"));
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('-'));
}

QStringList Substance::hazardCodes() const
{
    QStringList codes;
    for (const QString& f : gefsymFields)
        codes << value(f);
    return codes;
}

const Substance* DemoData::find(const QString& carn, const QString& subcarn) const
{
    for (const Substance& s : substances)
        if (s.carn() == carn && s.subcarn() == subcarn)
            return &s;
    return nullptr;
}

DemoData DemoData::load(const QDir& dataDir)
{
    DemoData data;
    readSubstances(dataDir, data);
    readPhrases(dataDir, data);
    readStock(dataDir, data);
    checkPhrasesKnown(dataDir, data);
    return data;
}

const QStringList& hazardCodeList()
{
    static const QStringList codes{"C", "E", "F+", "F", "N", "O", "T+", "T", "Xi", "Xn"};
    return codes;
}

bool isDataField(const QString& name)
{
    for (const QString& derived : derivedFields)
        if (name == derived)
            return false;
    return chemieLayout().indexOf(name.toStdString()) >= 0;
}

} // namespace demo
