// Production index files as they come from disk, damaged in any way: reading
// must give the tags or a DbaseError, never a crash, a hang or a sanitizer
// report; and what reads must write out and read back to the same tags.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "dbase/Collation.h"
#include "dbase/DbaseError.h"
#include "dbase/FileIo.h"
#include "dbase/MdxFile.h"

namespace {

// The fuzz input, served as the file's bytes without touching the disk.
std::string input;

class InputFile final : public dbase::FileIo {
public:
    void open(const std::filesystem::path& path, Access) override { m_path = path; }
    std::size_t readAt(std::uint64_t offset, char* data, std::size_t size) override
    {
        if (offset >= input.size())
            return 0;
        const std::size_t n = std::min<std::size_t>(size, input.size() - offset);
        std::memcpy(data, input.data() + offset, n);
        return n;
    }
    void writeAt(std::uint64_t, const char*, std::size_t) override { std::abort(); }
    std::uint64_t size() override { return input.size(); }
    void truncate(std::uint64_t) override { std::abort(); }
    void sync() override {}
    void renameTo(const std::filesystem::path&) override { std::abort(); }
    void syncDirectory() override {}
    bool tryLock(Lock) override { return true; }
    void lockAppend() override {}
    void unlockAppend() override {}
    bool tryLockRange(std::uint64_t, std::uint64_t) override { return true; }
    void unlockRange(std::uint64_t, std::uint64_t) override {}
    // One open of bytes nobody else changes: the size is all a cache needs.
    Stamp stamp() override { return {size(), 0}; }
};

bool sameEntries(const dbase::IndexTag& a, const dbase::IndexTag& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a.recNoAt(i) != b.recNoAt(i) || a.keyAt(i) != b.keyAt(i))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace dbase;
    input.assign(reinterpret_cast<const char*>(data), size);
    const Collation& collation = Collation::forLanguageDriver(size > 31 ? data[31] : 0);

    setFileIoFactory([] { return std::make_unique<InputFile>(); });
    MdxFile file;
    std::vector<IndexTag> orders; // each tag read for its order alone, where that works
    try {
        MdxFile::readTagInfos("fuzz.mdx");
        file = MdxFile::read("fuzz.mdx", collation);
        std::vector<std::uint8_t> owners;
        std::uint8_t owner = 0;
        for (const StoredTag& stored : MdxFile::readStoredTags("fuzz.mdx")) {
            IndexTag order(stored.info, collation);
            if (!MdxFile::readEntries("fuzz.mdx", stored, order, owners, ++owner, false))
                order = file.tags()[owner - 1u];
            orders.push_back(std::move(order));
        }
    } catch (const DbaseError&) {
        setFileIoFactory({});
        return 0;
    }
    setFileIoFactory({});

    // The order read without keys is the order of the whole read.
    for (std::size_t i = 0; i < orders.size(); ++i) {
        const IndexTag& whole = file.tags()[i];
        if (orders[i].size() != whole.size())
            std::abort();
        for (std::size_t p = 0; p < whole.size(); ++p)
            if (orders[i].recNoAt(p) != whole.recNoAt(p))
                std::abort();
    }

    for (const IndexTag& tag : file.tags()) {
        if (tag.size() == 0)
            continue;
        const std::string first(tag.keyAt(0));
        if (tag.find(first, tag.recNoAt(0)) != 0 || tag.lowerBound(first) != 0)
            std::abort();
    }

    const std::filesystem::path copy = scratchDir("mdx_fuzz") / "copy.mdx";
    try {
        file.write(copy, "FUZZ", size > 31 ? data[31] : 0);
    } catch (const DbaseError&) {
        return 0; // e.g. two tags of one name: refused, not written wrongly
    }
    const MdxFile back = MdxFile::read(copy, collation);
    if (back.tags().size() != file.tags().size())
        std::abort();
    for (std::size_t i = 0; i < back.tags().size(); ++i)
        if (!sameEntries(back.tags()[i], file.tags()[i]))
            std::abort();
    return 0;
}
