// The template language of the layouts as a layout's author may have typed
// it, with every mistake: field references, text insertions, conditions and
// their filter texts, nested and unclosed, against a small register standing
// as during a sheet run (the substance table narrowed to one substance).
// The input's lines are a template memo and the whole input a conditional
// caption. Expanding must give a text or the dBASE layer's DbaseError (a
// field the table lacks, a condition it rejects) and leave the tables usable,
// never crash, hang or trip a sanitizer.
#include <cstddef>
#include <cstdint>

#include <QDir>
#include <QGuiApplication>

#include "FuzzSupport.h"
#include "SmallRegister.h"
#include "dbase/DbaseError.h"
#include "dbase/Table.h"
#include "reports/Vorlagensprache.h"

namespace {

struct Register {
    dbase::Table namen, chemie, lager, siGef;

    Register()
    {
        const QDir dir(QString::fromStdString(scratchDir("template_fuzz").string()));
        writeSmallRegister(dir);
        for (auto [table, name] : {std::pair{&namen, "namen.dbf"}, std::pair{&chemie, "chemie.dbf"},
                                   std::pair{&lager, "lager.dbf"}, std::pair{&siGef, "si_gef.dbf"}}) {
            table->setTableName(dir.filePath(QString::fromLatin1(name)));
            table->open();
        }
    }

    // Where a sheet run of Aceton begins.
    void reset()
    {
        for (dbase::Table* table : {&namen, &lager, &siGef}) {
            table->setFiltered(false);
            table->setFilter({});
            table->first();
        }
        chemie.setFilter(dbase::Filter::equals("CARN", QStringLiteral("67-64-1"))
                         && dbase::Filter::equals("SUBCARN", QStringLiteral("1")));
        chemie.setFiltered(true);
        chemie.first();
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The register's structure pictures are drawn with fonts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Register tables;
    tables.reset();
    const reports::Vorlagensprache sprache({&tables.namen, &tables.chemie, &tables.lager, &tables.siGef});
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        QStringList memo = text.split(QLatin1Char('\n'));
        sprache.Parser(memo);
    } catch (const dbase::DbaseError&) {
    }
    try {
        QString caption = text;
        sprache.BedingungsParser(caption);
    } catch (const dbase::DbaseError&) {
    }
    // The phrase memo reads the tables as the expansion left them.
    QStringList saetze;
    sprache.SaetzeFuellen(saetze);
    return 0;
}
