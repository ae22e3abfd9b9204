#include "app/Stoffnummer.h"

#include "app/TabellenLeihe.h"
#include "dbase/Table.h"

namespace {

enum ChemieFeld { CARN = 2, SUBCARN = 3 };

// Whether a record other than `eigene` carries the key CARN + SUBCARN.
bool schluesselBelegt(dbase::Table& chemie, const QString& carn, const QString& subcarn, std::uint32_t eigene)
{
    if (!chemie.findKey({carn, subcarn}))
        return false;
    for (; !chemie.eof() && chemie.field(CARN).asString() == carn && chemie.field(SUBCARN).asString() == subcarn;
         chemie.next()) {
        if (chemie.recNo() != eigene)
            return true;
    }
    return false;
}

} // namespace

QString FreieSubcarn(dbase::Table& chemie, const QString& carn, int ab, std::uint32_t eigene)
{
    const dbase::NotificationHold still(chemie);
    TabellenLeihe leihe(chemie);
    // A number taken by a substance the list filter hides is taken all the same.
    if (chemie.filtered())
        leihe.eingrenzen(dbase::Filter());
    if (chemie.indexName() != QLatin1String("CARN_SUB"))
        chemie.setIndexName(QStringLiteral("CARN_SUB"));
    int nummer = ab > 0 ? ab : 1;
    while (schluesselBelegt(chemie, carn, QString::number(nummer), eigene))
        ++nummer;
    return QString::number(nummer);
}
