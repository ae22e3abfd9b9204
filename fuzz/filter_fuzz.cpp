// Filter texts as users type them: parsing, binding and matching must give a
// result or a DbaseError, never a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"
#include "dbase/Filter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dbase;
    static const TableLayout layout({makeField("NAME1", FieldType::Character, 20),
                                     makeField("CARN", FieldType::Character, 12),
                                     makeField("SUBCARN", FieldType::Character, 3),
                                     makeField("ANZAHL", FieldType::Numeric, 5),
                                     makeField("DATUM", FieldType::Date, 8),
                                     makeField("MARKER", FieldType::Logical, 1),
                                     makeField("MEMOTEXT", FieldType::Memo, 10)});
    // Deleted flag, then the fields; the last record is cut short on purpose.
    static const std::string records[] = {
        std::string(" Aceton              67-64-1     1      219991224T0000000001"),
        std::string(" \xC4thanol* \xFF\0       64-17-5     1   -1.5        ?            ", 60),
        std::string(" "),
    };
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const Filter filter = Filter::parse(text);
        const Filter::Bound bound = filter.bind(layout);
        for (const std::string& bytes : records) {
            const RecordView record(layout, CodePage::windows1252(), bytes);
            for (bool caseInsensitive : {false, true})
                for (bool noPartial : {false, true})
                    (void)bound.matches(record, FilterOptions{caseInsensitive, noPartial});
        }
        (void)(filter && Filter::equals("NAME1", text)).text();
        (void)(!filter).text();
    } catch (const DbaseError&) {
    }
    return 0;
}
