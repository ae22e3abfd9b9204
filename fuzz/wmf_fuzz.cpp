// Any bytes: the metafile reader gives a picture or a GraphicsError, never a
// crash, hang or huge allocation, and a picture it accepted plays without
// failing. Played through our writer, it gives a file the reader accepts.
//   build-fuzz-wmf/fuzz/wmf_fuzz -max_total_time=180 fuzz/corpus/wmf

#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "graphics/GraphicsError.h"
#include "graphics/WmfReader.h"
#include "graphics/WmfWriter.h"

// Fontconfig keeps every face it was asked for in its own cache: not ours to
// free, and not a leak of the reader.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Fonts and painters need the application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const graphics::WmfReader reader(bytes, QStringLiteral("fuzz"));
        QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            reader.play(painter, QRectF(0, 0, 48, 48));
        }
        graphics::WmfWriter writer(QSize(48, 48));
        {
            QPainter painter(&writer);
            reader.play(painter, QRectF(0, 0, 48, 48));
        }
        try {
            const graphics::WmfReader again(writer.data(), QStringLiteral("again"));
        } catch (const graphics::GraphicsError& e) {
            qFatal("the writer's own file is refused: %s", e.what());
        }
    } catch (const graphics::GraphicsError&) {
    }
    return 0;
}
