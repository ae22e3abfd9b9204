#include "dbase/TextCheck.h"

#include <QStringList>

#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"
#include "dbase/Table.h"

namespace dbase {

void checkText(const Table& table, int field, const QString& value)
{
    const FieldDef& def = table.layout().field(field);
    if (def.type != FieldType::Character && def.type != FieldType::Memo)
        return;
    const CodePage& page = table.codePage();
    if (page.encodeExactly(value))
        return;
    QStringList missing;
    for (const char32_t c : value.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if (!page.encodeExactly(character) && !missing.contains(character))
            missing << character;
    }
    const bool one = missing.size() == 1;
    throw DbaseError("Das Feld \"" + def.name + "\" kann " + (one ? "das Zeichen " : "die Zeichen ")
                     + (QStringLiteral("„") + missing.join(QStringLiteral("“, „")) + QStringLiteral("“")).toStdString()
                     + " nicht speichern: die Tabelle hält ihren Text in der Codepage "
                     + std::to_string(page.number()) + ". Bitte ersetzen Sie " + (one ? "es." : "sie."));
}

} // namespace dbase
