#include "labels/GIFImage.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include <QBuffer>
#include <QDir>
#include <QSaveFile>

#include <gif_lib.h>

std::uint8_t GifLastError = GifOk;

namespace {

// The largest size and position a GIF's 16-bit fields hold.
constexpr int gifMaximum = 65535;

// Written after the last frame, so a file tells which program made it.
constexpr char kennung[] = "Marlex99 Etikett";

// The file and reason of the last failed file write, for GifFehlertext().
QString& dateiFehler()
{
    static QString text;
    return text;
}

bool fehler(std::uint8_t code)
{
    GifLastError = code;
    return false;
}

// The colours met so far, in order of first appearance, with a hash from
// colour to index so that a picture of a million pixels is not searched
// linearly for each of them; the first match of a linear search and the
// hash give the same index, as every colour is held once.
class Palette {
public:
    // The index of `rgb` (0xRRGGBB), appended when new; nullopt when the
    // palette already holds 256 colours.
    std::optional<std::uint8_t> index(std::uint32_t rgb)
    {
        const std::uint32_t schluessel = rgb | belegt;
        std::size_t platz = (rgb * 2654435761u) >> (32 - hashBits);
        while (m_schluessel[platz] != 0) {
            if (m_schluessel[platz] == schluessel)
                return m_index[platz];
            platz = (platz + 1) & (hashGroesse - 1);
        }
        if (m_farben.size() == 256)
            return std::nullopt;
        m_schluessel[platz] = schluessel;
        m_index[platz] = static_cast<std::uint8_t>(m_farben.size());
        m_farben.push_back(rgb);
        return m_index[platz];
    }

    int size() const { return static_cast<int>(m_farben.size()); }

    // A GIF colour table of 2^bits entries, unused ones black; the caller
    // frees it with GifFreeMapObject.
    ColorMapObject* tabelle() const
    {
        std::vector<GifColorType> eintraege(std::size_t{1} << BitsForColors(size()));
        for (std::size_t i = 0; i < m_farben.size(); ++i)
            eintraege[i] = {static_cast<GifByteType>(m_farben[i] >> 16), static_cast<GifByteType>(m_farben[i] >> 8),
                            static_cast<GifByteType>(m_farben[i])};
        return GifMakeMapObject(static_cast<int>(eintraege.size()), eintraege.data());
    }

private:
    static constexpr std::uint32_t belegt = 0x1000000; // marks a used slot, as black is 0
    static constexpr int hashBits = 10;
    static constexpr std::size_t hashGroesse = std::size_t{1} << hashBits; // four times 256: short probes

    std::vector<std::uint32_t> m_farben;
    std::array<std::uint32_t, hashGroesse> m_schluessel{};
    std::array<std::uint8_t, hashGroesse> m_index{};
};

// One frame being written: its picture in 32-bit RGB, its palette indexes
// in output row order (interlaced or not), and its transparent index when
// the transparent colour occurs.
struct Arbeitsbild {
    const TFrameInfo* info = nullptr;
    QImage bild;
    std::vector<std::uint8_t> indizes;
    std::optional<std::uint8_t> transparent;
};

// The picture's rows in the order they are stored: top to bottom, or in
// the four passes of an interlaced GIF (every 8th row from 0, every 8th
// from 4, every 4th from 2, every 2nd from 1).
std::vector<int> zeilenfolge(int hoehe, bool interlaced)
{
    std::vector<int> folge;
    folge.reserve(static_cast<std::size_t>(hoehe));
    if (!interlaced) {
        for (int y = 0; y < hoehe; ++y)
            folge.push_back(y);
        return folge;
    }
    constexpr int start[] = {0, 4, 2, 1};
    constexpr int schritt[] = {8, 8, 4, 2};
    for (int durchgang = 0; durchgang < 4; ++durchgang)
        for (int y = start[durchgang]; y < hoehe; y += schritt[durchgang])
            folge.push_back(y);
    return folge;
}

// Indexes every pixel of the frame into `palette`, appending new colours;
// false with GifZuVieleFarben when a 257th colour is met.
bool BuildPalette(Arbeitsbild& frame, Palette& palette)
{
    GifLastError = GifPaletteAbgebrochen;
    const TFrameInfo& info = *frame.info;
    const int breite = frame.bild.width();
    frame.indizes.assign(static_cast<std::size_t>(breite) * static_cast<std::size_t>(frame.bild.height()), 0);
    frame.transparent.reset();
    const std::uint32_t transparenz = (info.TransparentColor & 0xFF) << 16 | (info.TransparentColor & 0xFF00)
        | (info.TransparentColor >> 16 & 0xFF);

    std::size_t ziel = 0;
    for (const int y : zeilenfolge(frame.bild.height(), info.Interlaced)) {
        const auto* zeile = reinterpret_cast<const QRgb*>(frame.bild.constScanLine(y));
        std::uint32_t letzteFarbe = 0;
        std::uint8_t letzterIndex = 0;
        for (int x = 0; x < breite; ++x) {
            const std::uint32_t farbe = zeile[x] & 0xFFFFFF;
            if (x == 0 || farbe != letzteFarbe) {
                const std::optional<std::uint8_t> index = palette.index(farbe);
                if (!index)
                    return fehler(GifZuVieleFarben);
                letzteFarbe = farbe;
                letzterIndex = *index;
                if (info.Transparent && !frame.transparent && farbe == transparenz)
                    frame.transparent = letzterIndex;
            }
            frame.indizes[ziel++] = letzterIndex;
        }
    }
    GifLastError = GifOk;
    return true;
}

int ausgabe(GifFileType* gif, const GifByteType* daten, int laenge)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(daten), laenge);
    return laenge;
}

// giflib's encoder for one write into memory, closed (and freed) on every way out.
class Kodierer {
public:
    explicit Kodierer(QByteArray& ziel) : m_gif(EGifOpen(&ziel, ausgabe, nullptr))
    {
        if (m_gif)
            EGifSetGifVersion(m_gif, true);
    }
    ~Kodierer()
    {
        if (m_gif)
            EGifCloseFile(m_gif, nullptr);
    }
    Kodierer(const Kodierer&) = delete;
    Kodierer& operator=(const Kodierer&) = delete;

    GifFileType* gif() const { return m_gif; }
    // Writes the trailer; false when giflib could not.
    bool schliessen()
    {
        GifFileType* gif = std::exchange(m_gif, nullptr);
        return gif && EGifCloseFile(gif, nullptr) == GIF_OK;
    }

private:
    GifFileType* m_gif;
};

// A colour table for giflib, freed with its owner.
struct Farbtabelle {
    explicit Farbtabelle(const Palette& palette) : map(palette.tabelle()) {}
    ~Farbtabelle() { GifFreeMapObject(map); }
    Farbtabelle(const Farbtabelle&) = delete;
    Farbtabelle& operator=(const Farbtabelle&) = delete;
    ColorMapObject* map;
};

bool kommentarSchreiben(GifFileType* gif, const QString& text)
{
    // GIF comments are 7-bit text by the standard; Latin-1 keeps umlauts for
    // the readers that show them.
    return text.isEmpty() || EGifPutComment(gif, text.toLatin1().constData()) == GIF_OK;
}

bool schleifeSchreiben(GifFileType* gif, std::uint16_t anzahl)
{
    static constexpr GifByteType netscape[] = "NETSCAPE2.0";
    const GifByteType schleife[] = {1, static_cast<GifByteType>(anzahl & 0xFF), static_cast<GifByteType>(anzahl >> 8)};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK
        && EGifPutExtensionBlock(gif, 11, netscape) == GIF_OK && EGifPutExtensionBlock(gif, 3, schleife) == GIF_OK
        && EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool steuerblockSchreiben(GifFileType* gif, const Arbeitsbild& frame)
{
    const TFrameInfo& info = *frame.info;
    const bool transparent = info.Transparent && frame.transparent.has_value();
    const int verzoegerung = std::clamp(info.DelayMs / 10, 0, gifMaximum);
    const GifByteType block[] = {
        static_cast<GifByteType>((info.Disposal <= 3 ? info.Disposal * 4 : 0) | (transparent ? 1 : 0)),
        static_cast<GifByteType>(verzoegerung & 0xFF), static_cast<GifByteType>(verzoegerung >> 8),
        static_cast<GifByteType>(transparent ? *frame.transparent : 0)};
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block) == GIF_OK;
}

bool bildSchreiben(GifFileType* gif, Arbeitsbild& frame, const ColorMapObject* eigeneTabelle)
{
    const TFrameInfo& info = *frame.info;
    return kommentarSchreiben(gif, info.Comment) && steuerblockSchreiben(gif, frame)
        && EGifPutImageDesc(gif, info.Left, info.Top, frame.bild.width(), frame.bild.height(), info.Interlaced,
                            eigeneTabelle)
        == GIF_OK
        && EGifPutLine(gif, frame.indizes.data(), static_cast<int>(frame.indizes.size())) == GIF_OK;
}

// Whether every frame is there and fits GIF's 16-bit sizes; sets the error.
bool pruefen(const TGifDocument& document)
{
    if (document.FrameCount < 1 || document.FrameCount > static_cast<int>(document.Frames.size()))
        return fehler(GifSchreibfehler);
    for (int i = 0; i < document.FrameCount; ++i) {
        const TFrameInfo* info = document.Frames[static_cast<std::size_t>(i)];
        if (!info)
            return fehler(GifSchreibfehler);
        const QImage& bild = info->Bitmap;
        if (bild.isNull() || bild.width() < 1 || bild.height() < 1 || info->Left < 0 || info->Top < 0
            || info->Left > gifMaximum - bild.width() || info->Top > gifMaximum - bild.height())
            return fehler(GifGroesseUngueltig);
    }
    return true;
}

bool EncodeGif(const TGifDocument& document, QByteArray& ziel)
{
    if (!pruefen(document))
        return false;
    GifLastError = GifSchreibfehler;

    std::vector<Arbeitsbild> frames(static_cast<std::size_t>(document.FrameCount));
    int bildschirmBreite = 0;
    int bildschirmHoehe = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        frames[i].info = document.Frames[i];
        frames[i].bild = frames[i].info->Bitmap.convertToFormat(QImage::Format_RGB32);
        bildschirmBreite = std::max(bildschirmBreite, frames[i].info->Left + frames[i].bild.width());
        bildschirmHoehe = std::max(bildschirmHoehe, frames[i].info->Top + frames[i].bild.height());
    }

    // One shared palette while the frames' colours fit into it, else one
    // per frame; a single frame always has the global one.
    std::vector<Palette> paletten;
    const auto indizieren = [&](bool gemeinsam) {
        paletten.assign(gemeinsam ? 1 : frames.size(), Palette{});
        for (std::size_t i = 0; i < frames.size(); ++i)
            if (!BuildPalette(frames[i], paletten[gemeinsam ? 0 : i]))
                return false;
        return true;
    };
    bool gemeinsam = document.GlobalPalette || frames.size() == 1;
    if (!indizieren(gemeinsam)) {
        if (!gemeinsam || frames.size() == 1 || GifLastError != GifZuVieleFarben)
            return false;
        gemeinsam = false;
        if (!indizieren(false))
            return false;
    }
    GifLastError = GifSchreibfehler;

    Kodierer kodierer(ziel);
    GifFileType* gif = kodierer.gif();
    if (!gif)
        return false;
    {
        const std::optional<Farbtabelle> global = gemeinsam ? std::make_optional<Farbtabelle>(paletten[0])
                                                            : std::nullopt;
        if (EGifPutScreenDesc(gif, bildschirmBreite, bildschirmHoehe, 1, 0, global ? global->map : nullptr) != GIF_OK)
            return false;
    }
    if (frames.size() > 1 && !schleifeSchreiben(gif, document.LoopCount))
        return false;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const std::optional<Farbtabelle> eigene = gemeinsam ? std::nullopt
                                                            : std::make_optional<Farbtabelle>(paletten[i]);
        if (!bildSchreiben(gif, frames[i], eigene ? eigene->map : nullptr))
            return false;
    }
    if (!kommentarSchreiben(gif, QString::fromLatin1(kennung)) || !kodierer.schliessen())
        return false;
    GifLastError = GifOk;
    return true;
}

} // namespace

int BitsForColors(int colors)
{
    if (colors < 0 || colors > 256)
        return 0;
    int bits = 1;
    while ((1 << bits) < colors)
        ++bits;
    return bits;
}

QString GifFehlertext()
{
    switch (GifLastError) {
    case GifOk:
        return {};
    case GifZuVieleFarben:
        return QStringLiteral("Das Bild hat mehr als 256 Farben und kann nicht als GIF gespeichert werden.");
    case GifGroesseUngueltig:
        return QStringLiteral("Das Bild kann nicht als GIF gespeichert werden: Es hat keine Bildpunkte, oder es ist "
                              "breiter oder höher als 65535 Bildpunkte.");
    case GifDateiFehler:
        return dateiFehler();
    case GifPaletteAbgebrochen:
        return QStringLiteral("Die Farbpalette des GIF-Bildes konnte nicht erstellt werden.");
    default:
        return QStringLiteral("Das GIF-Bild konnte nicht geschrieben werden.");
    }
}

bool WriteGifDocument(QIODevice& stream, const TGifDocument& document)
{
    QByteArray daten;
    if (!EncodeGif(document, daten))
        return false;
    if (stream.write(daten) != daten.size())
        return fehler(GifSchreibfehler);
    return true;
}

bool WriteBitmapGif(QIODevice& stream, const QImage& bitmap, bool interlaced, bool transparent,
                    std::uint32_t transparentColor)
{
    TFrameInfo frame;
    frame.Bitmap = bitmap;
    frame.Width = bitmap.width();
    frame.Height = bitmap.height();
    frame.Interlaced = interlaced;
    frame.Transparent = transparent;
    frame.TransparentColor = transparentColor;
    TGifDocument document;
    document.FrameCount = 1;
    document.Frames[0] = &frame;
    return WriteGifDocument(stream, document);
}

bool SaveBitmapAsGif(const QString& fileName, const QImage& bitmap, bool interlaced, bool transparent,
                     std::uint32_t transparentColor)
{
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    if (!WriteBitmapGif(puffer, bitmap, interlaced, transparent, transparentColor))
        return false;
    QSaveFile datei(fileName);
    if (!datei.open(QIODevice::WriteOnly) || datei.write(daten) != daten.size() || !datei.commit()) {
        dateiFehler() = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                            .arg(QDir::toNativeSeparators(fileName), datei.errorString());
        return fehler(GifDateiFehler);
    }
    return true;
}
