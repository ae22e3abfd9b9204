// The rows of a table's walk, read in the order of the table file: the name
// list of a register that outgrows the record cache is read at start with
// one pass through the file instead of a jump per row.
#include <algorithm>
#include <limits>
#include <string_view>

#include "dbase/TableImpl.h"

namespace dbase {

std::size_t Table::visitInFileOrder(const FileOrderVisitor& visit)
{
    d->requireActive();
    d->leaveRecord();
    d->checkForeignChanges();

    const std::uint32_t fileRecords = d->fileCount();
    const std::size_t entries = d->slotCount();
    // Where each record stands in the active order, by record number: the
    // file's records first, then the numbers handed to held-back new rows.
    // Only the entries of the filter's range count, as for the walk; the
    // tag's record numbers come from the index file alone.
    constexpr std::uint32_t absent = std::numeric_limits<std::uint32_t>::max();
    const auto placeOf = [&](std::uint32_t r) -> std::size_t {
        return r < firstProvisionalRecNo ? std::size_t(r) - 1 : fileRecords + std::size_t(r - firstProvisionalRecNo);
    };
    std::vector<std::uint32_t> slotOfRecord;
    if (d->activeTag >= 0) {
        if (entries >= absent)
            throw DbaseError("Die Tabelle " + d->quotedName() + " hat zu viele Einträge im Index.");
        slotOfRecord.assign(fileRecords + std::size_t(d->nextProvisional - firstProvisionalRecNo), absent);
        const auto [first, last] = d->filterRange();
        for (std::size_t s = first; s < last; ++s) {
            const std::size_t place = placeOf(d->recNoAt(s));
            if (place < slotOfRecord.size())
                slotOfRecord[place] = static_cast<std::uint32_t>(s);
        }
    }

    // A table that the record cache holds whole is read through it, so that
    // its rows are at hand afterwards; a larger one is read past it, a block
    // at a time from the first row wanted on.
    const std::size_t recordLength = d->layout().recordLength();
    const bool pastCache = std::size_t(fileRecords) * recordLength > DbfFile::cacheBudget;
    constexpr std::size_t blockBytes = 256 * 1024;
    const auto blockRecords = static_cast<std::uint32_t>(std::max<std::size_t>(1, blockBytes / recordLength));
    std::string block;
    std::uint32_t blockFirst = 0;
    std::uint32_t blockEnd = 0;
    std::string bytes;
    const auto rowBytes = [&](std::uint32_t r) -> std::string_view {
        if (!pastCache || r >= firstProvisionalRecNo || d->pending.count(r) != 0) {
            d->readRow(r, bytes);
            return bytes;
        }
        if (r < blockFirst || r >= blockEnd) {
            blockFirst = r;
            blockEnd = r + std::min(blockRecords, fileRecords - r + 1);
            d->dbf->readRecords(blockFirst, blockEnd - blockFirst, block);
        }
        return std::string_view(block).substr(std::size_t(r - blockFirst) * recordLength, recordLength);
    };
    const auto visitRecord = [&](std::uint32_t r, std::size_t physicalSlot) {
        std::size_t s = physicalSlot;
        if (d->activeTag >= 0) {
            const std::uint32_t stored = slotOfRecord[placeOf(r)];
            if (stored == absent)
                return;
            s = stored;
        }
        const std::string_view row = rowBytes(r);
        if (d->passes(row))
            visit(RecordView(d->layout(), d->codePage(), row), r, s);
    };
    for (std::uint32_t r = 1; r <= fileRecords; ++r)
        visitRecord(r, r - 1);
    // The visitor may not change the table, so the list of held-back rows
    // stays as it is while it is walked.
    const std::vector<std::uint32_t>& appended = d->pendingAppends;
    for (std::size_t i = 0; i < appended.size(); ++i)
        visitRecord(appended[i], fileRecords + i);
    return entries;
}

} // namespace dbase
