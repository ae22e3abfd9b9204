// Any bytes: the reader gives records or a StreamError, never a crash, hang or
// huge allocation. What it reads, the writer writes, and reading that again
// and writing it gives the same bytes.
//   build-fuzz-stream/fuzz/stream_fuzz -max_total_time=180 fuzz/corpus/stream

#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "stream/Picture.h"
#include "stream/StreamError.h"
#include "stream/StreamReader.h"
#include "stream/StreamWriter.h"

namespace {

const stream::ClassRegistry& classes()
{
    static const stream::ClassRegistry registry{"TOwnQuickRep", "TQuickRep", "TQRBand", "TOwnBand",
                                                "TQRChildBand", "TQRLabel", "TQRMemo", "TQRImage",
                                                "TQRShape", "TImage", "TShape", "TMemo", "TLabel"};
    return registry;
}

QByteArray rewrite(const QByteArray& data)
{
    stream::StreamReader reader(data, classes(), "fuzz");
    QByteArray out;
    for (const stream::Object& record : reader.readAllRecords())
        out += stream::StreamWriter::toBytes(record);
    return out;
}

void parsePictures(const stream::Object& object)
{
    for (const stream::Property& property : object.properties()) {
        if (const QByteArray* data = property.value.binary()) {
            try {
                stream::Picture::fromPictureData(*data, "fuzz");
                stream::Picture::fromGlyphData(*data, "fuzz");
            } catch (const stream::StreamError&) {
            }
        }
    }
    for (const stream::Object& child : object.children)
        parsePictures(child);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QByteArray once;
    try {
        stream::StreamReader reader(input, classes(), "fuzz");
        for (const stream::Object& record : reader.readAllRecords()) {
            parsePictures(record);
            once += stream::StreamWriter::toBytes(record);
        }
    } catch (const stream::StreamError&) {
        return 0;
    }
    // Names and strings read are always writable, so no StreamError here.
    if (rewrite(once) != once)
        std::abort();
    return 0;
}
