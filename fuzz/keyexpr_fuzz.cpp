// Index key expressions as read from index files: compiling and evaluating
// must give a key of the promised length or a DbaseError, never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"
#include "dbase/KeyExpression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dbase;
    static const TableLayout layout({makeField("NAME1", FieldType::Character, 20),
                                     makeField("CARN", FieldType::Character, 12),
                                     makeField("MENGE", FieldType::Numeric, 10, 2),
                                     makeField("DATUM", FieldType::Date, 8),
                                     makeField("MARKER", FieldType::Logical, 1),
                                     makeField("MEMOTEXT", FieldType::Memo, 10)});
    // Deleted flag, then the fields; the last record is cut short on purpose.
    static const std::string records[] = {
        std::string(" Aceton              67-64-1          12.5019991224T0000000001"),
        std::string("*\xE4thanol \xFF\0         64-17-5     -99999.99        ?            ", 62),
        std::string(" "),
    };
    const std::string expression(reinterpret_cast<const char*>(data), size);
    try {
        const KeyExpression key = KeyExpression::compile(expression, layout, "FUZZ");
        for (const std::string& bytes : records) {
            const RecordView record(layout, CodePage::windows1252(), bytes);
            if (key.evaluate(record).size() != static_cast<std::size_t>(key.keyLength()))
                std::abort();
        }
    } catch (const DbaseError&) {
    }
    return 0;
}
