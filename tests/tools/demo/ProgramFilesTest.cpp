// The program directory's files: pictograms, help pages, settings.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "DemoTestSupport.h"
#include "graphics/Picture.h"
#include "ini/IniFile.h"

using demotest::generated;

namespace {

// The stems the main window loads from Symbol\ at start, table by table
// (hazard, precaution, school use, effect, carcinogen lists), and the
// picture the record display shows when there is no structure formula.
const QStringList hazardStems{"C.", "F.", "F+.", "T.", "T+.", "Xn.", "Xi.", "O.", "E.", "N."};
const QStringList otherStems{"ABZUG.", "SCHUTZ.", "HAND.", "NOSEEK.", "SCHULE.", "SEKII.", "###.", "LV.",
                             "XXX.", "LV&.", "SEKII&.", "S.", "HP.", "H.", "P.", "HS.", "B.", "A1.",
                             "A2.", "1.", "2.", "3.", "4.", "5.", "C1.", "C2.", "C3.", "NODATA."};

QImage load(const QString& path)
{
    return graphics::Picture::load(path).toImage();
}

bool hasInkAndGround(const QImage& image)
{
    int dark = 0, light = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) {
            const int grey = qGray(image.pixel(x, y));
            dark += grey < 80 ? 1 : 0;
            light += grey > 200 ? 1 : 0;
        }
    return dark > 20 && light > 20;
}

bool isOrange(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) > 100 && qGreen(c) < 190 && qBlue(c) < 60;
}

} // namespace

TEST(DemoProgramFiles, EveryPictogramExistsPlainAndInColourAndLoads)
{
    const QDir symbol(generated().programm.filePath("Symbol"));
    for (const QStringList* stems : {&hazardStems, &otherStems}) {
        for (const QString& stem : *stems) {
            // Exact names: a case-insensitive lookup finds them, but other
            // programs on the register may not.
            const QString plainPath = symbol.filePath(stem + "BMP");
            const QString colourPath = symbol.filePath("F_" + stem + "BMP");
            ASSERT_TRUE(QFileInfo(plainPath).isFile()) << plainPath.toStdString();
            ASSERT_TRUE(QFileInfo(colourPath).isFile()) << colourPath.toStdString();
            const QImage plain = load(plainPath);
            const QImage colour = load(colourPath);
            EXPECT_EQ(plain.size(), QSize(128, 128)) << stem.toStdString();
            EXPECT_EQ(colour.size(), plain.size()) << stem.toStdString();
            EXPECT_TRUE(hasInkAndGround(plain)) << stem.toStdString();
            EXPECT_NE(plain, colour) << stem.toStdString();
            // Plain pictures are black and white (grey only at the edges).
            int coloured = 0;
            for (int y = 0; y < plain.height(); ++y)
                for (int x = 0; x < plain.width(); ++x) {
                    const QRgb c = plain.pixel(x, y);
                    coloured += std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)}) > 30;
                }
            EXPECT_EQ(coloured, 0) << stem.toStdString();
        }
    }
    // Hazard symbols: an orange square in colour, a white one plain.
    for (const QString& stem : hazardStems) {
        EXPECT_TRUE(isOrange(load(symbol.filePath("F_" + stem + "BMP")).pixel(10, 10))) << stem.toStdString();
        EXPECT_EQ(load(symbol.filePath(stem + "BMP")).pixel(10, 10), qRgb(255, 255, 255)) << stem.toStdString();
    }
    // Symbols of different hazards look different; F and F+ share the flame
    // and differ in their code only.
    EXPECT_NE(load(symbol.filePath("F.BMP")), load(symbol.filePath("F+.BMP")));
    EXPECT_NE(load(symbol.filePath("C.BMP")), load(symbol.filePath("T.BMP")));
}

TEST(DemoProgramFiles, SettingsFileStartsTheDemoWithoutTakeover)
{
    const QString path = generated().programm.filePath("marlex99.ini");
    const ini::IniFile settings(path);
    EXPECT_FALSE(settings.readBool("Optionen", "First", true));
    EXPECT_FALSE(settings.readBool("Optionen", "IndexCheck", true));
    EXPECT_FALSE(settings.readBool("Optionen", "Nur Lesemodus", true));
    EXPECT_TRUE(settings.readBool("Optionen", "Lagerdatensätze markieren", false));
    EXPECT_EQ(settings.readString("Marlex99", "symbolendung", "?"), "BMP");
    EXPECT_EQ(settings.readInteger("Marlex99", "state", -1), 0); // a real window state
    EXPECT_GT(settings.readInteger("Marlex99", "breite", 0), 600);

    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
    EXPECT_TRUE(bytes.contains("Lagerdatens\xe4tze markieren=1")); // Windows-1252
}

TEST(DemoProgramFiles, HelpPagesExistAndTheirLinksResolve)
{
    const QDir hilfe(generated().programm.filePath("Hilfe"));
    for (const char* page : {"index.htm", "hinweis1.htm"}) {
        QFile file(hilfe.filePath(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page;
        const QString html = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(html.contains("charset=\"utf-8\"")) << page;
        static const QRegularExpression link(R"re((?:src|href)="([^"#:]+)")re");
        int links = 0;
        for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(QFileInfo(hilfe.filePath(target)).isFile()) << page << " -> " << target.toStdString();
        }
        EXPECT_GT(links, 0) << page;
    }
}
