// Copying all visible rows of one table into another, field by field by
// position, appending or updating through the destination's active tag.

#include <utility>

#include "dbase/DbaseError.h"
#include "dbase/TableImpl.h"

namespace dbase {

namespace {

struct Row {
    std::string bytes;                // destination layout, fields not copied left blank
    std::map<int, std::string> memos; // destination blob fields
};

// Puts a cursor back on its row at the end of a scope, however it ends.
struct CursorReturn {
    Table& table;
    Bookmark mark;
    ~CursorReturn()
    {
        try {
            if (mark.valid())
                table.gotoRecNo(mark.recNo);
        } catch (const DbaseError&) {
            // the row went away meanwhile; the cursor stays at the end
        }
    }
};

bool sameShape(const FieldDef& a, const FieldDef& b)
{
    return a.type == b.type && a.length == b.length && a.decimals == b.decimals;
}

} // namespace

std::uint32_t batchMove(Table& source, Table& destination, BatchMode mode)
{
    Table::Impl& src = *source.d;
    Table::Impl& dst = *destination.d;
    src.requireActive();
    dst.requireWritable();
    if (mode == BatchMode::AppendUpdate && dst.activeTag < 0)
        throw DbaseError("Zum Aktualisieren braucht die Tabelle " + dst.quotedName()
                         + " einen aktiven Index.");

    const TableLayout& from = src.layout();
    const TableLayout& to = dst.layout();
    const int fields = std::min(from.fieldCount(), to.fieldCount());
    const bool sameCodePage = src.codePage().number() == dst.codePage().number();

    auto convert = [&](const RecordView& record) {
        Row row{dst.blank, {}};
        for (int i = 0; i < fields; ++i) {
            const FieldDef& a = from.field(i);
            const FieldDef& b = to.field(i);
            if (isBlobType(b.type)) {
                std::string data = isBlobType(a.type) ? src.memoData(i) : std::string(record.raw(i));
                if (a.type == FieldType::Memo && b.type == FieldType::Memo && !sameCodePage)
                    data = dst.codePage().encode(src.codePage().decode(data));
                if (!data.empty())
                    row.memos[i] = std::move(data);
                continue;
            }
            std::string bytes;
            if (sameShape(a, b) && (sameCodePage || a.type != FieldType::Character))
                bytes = std::string(record.raw(i));
            else if (isBlobType(a.type))
                bytes = encodeFieldText(b, dst.codePage(), src.codePage().decode(src.memoData(i)));
            else
                bytes = encodeFieldText(b, dst.codePage(), record.text(i));
            row.bytes.replace(b.offset, b.length, bytes);
        }
        return row;
    };

    // Every row is converted before the first one is written, so a value that
    // does not fit stops the move with the destination untouched.
    std::vector<Row> rows;
    {
        const CursorReturn back{source, source.bookmark()};
        for (source.first(); !source.eof(); source.next())
            rows.push_back(convert(source.currentRecord()));
    }

    // One notification for the whole move; plain appends rebuild the tags
    // once at the end instead of inserting key by key.
    dst.leaveRecord();
    const bool wasQuiet = std::exchange(dst.quiet, true);
    dst.deferIndex = mode == BatchMode::Append;
    dst.dbf->beginBulk();
    std::uint32_t moved = 0;
    auto finish = [&] {
        dst.deferIndex = false;
        dst.quiet = wasQuiet;
        dst.finishDeferredIndex();
        dst.filteredCount.reset();
        dst.notifyData();
        dst.notifyMoved();
    };
    try {
        for (Row& row : rows) {
            bool found = false;
            if (mode == BatchMode::AppendUpdate) {
                const IndexTag& tag = dst.index->tag(dst.activeTag);
                const std::string key = dst.index->key(dst.activeTag, row.bytes);
                for (std::size_t p = tag.findPrefix(key);
                     p < tag.size() && tag.compareKeys(tag.keyAt(p), key) == 0; ++p) {
                    const std::uint32_t r = tag.recNoAt(p);
                    dst.readRow(r, dst.scratch);
                    if (dst.scratch[0] == '*')
                        continue;
                    dst.take(p);
                    found = true;
                    break;
                }
            }
            if (found) {
                destination.edit();
                for (int i = 0; i < fields; ++i) {
                    const FieldDef& b = to.field(i);
                    if (!isBlobType(b.type))
                        dst.buffer.replace(b.offset, b.length, row.bytes, b.offset, b.length);
                }
            } else {
                destination.append();
                dst.buffer = std::move(row.bytes);
            }
            for (int i = 0; i < fields; ++i)
                if (isBlobType(to.field(i).type)) {
                    auto it = row.memos.find(i);
                    dst.memos[i] = it != row.memos.end() ? std::move(it->second) : std::string();
                }
            dst.modified = true;
            dst.post();
            ++moved;
        }
        dst.dbf->endBulk();
    } catch (const DbaseError& e) {
        dst.cancel();
        if (dst.dbf->inBulk()) {
            try {
                dst.dbf->endBulk(); // the rows moved so far are kept
            } catch (const DbaseError&) {
                // reported below with the first failure
            }
        }
        finish();
        throw DbaseError("Die Übernahme in " + dst.quotedName() + " brach nach " + std::to_string(moved)
                         + " von " + std::to_string(rows.size()) + " Datensätzen ab: " + e.what());
    }
    finish();
    return moved;
}

} // namespace dbase
