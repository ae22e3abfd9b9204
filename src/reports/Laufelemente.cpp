#include "reports/Laufelemente.h"

#include "app/Bilder.h"
#include "app/Marlex.h"
#include "data/Optionen.h"
#include "dbase/DbaseError.h"
#include "dbase/Table.h"
#include "graphics/Picture.h"
#include "report/Units.h"
#include "reports/StoffInfoBuilder.h"
#include "reports/Vorlagensprache.h"

namespace reports {

namespace {

// The structure picture of the record formeln.dbf stands on; none while the
// table is closed or has no record. A table without the field is the dBASE
// layer's error, as for any data text; bytes that hold no readable picture
// print nothing, as the record page shows nothing for them.
QImage strukturbild(dbase::Table* formeln)
{
    if (!formeln || !formeln->active() || formeln->isEmpty() || formeln->eof())
        return {};
    dbase::Field feld = formeln->fieldByName("FORMEL");
    QByteArray bytes;
    try {
        bytes = feld.asBytes();
    } catch (const dbase::DbaseError& error) {
        qWarning("%s", error.what()); // a damaged memo file
        return {};
    }
    return druckbild(graphics::decodePicture(bytes, QStringLiteral("formeln.dbf FORMEL")));
}

QRectF geometrie(const LayoutComponent& quelle, QPoint versatz)
{
    return {report::pixelsToMm(quelle.left + versatz.x()), report::pixelsToMm(quelle.top + versatz.y()),
            report::pixelsToMm(quelle.width), report::pixelsToMm(quelle.height)};
}

void schriftKopieren(const LayoutComponent& quelle, report::TextElement& ziel)
{
    ziel.font = toQFont(quelle.font);
    ziel.color = toQColor(quelle.font);
}

} // namespace

report::Element* laufelementBauen(const LayoutComponent& quelle, Elementart art, report::Band& band, QPoint versatz,
                                  const Elementbau& bau)
{
    report::Element* element = nullptr;
    switch (art) {
    case Elementart::eaText:
    case Elementart::eaBedingungstext: {
        auto& label = band.add<report::Label>();
        label.caption = quelle.caption;
        label.autoSize = bau.text == Elementbau::TextGroesse::Automatisch;
        label.wordWrap = quelle.wordWrap;
        schriftKopieren(quelle, label);
        element = &label;
        break;
    }
    case Elementart::eaFeld: {
        auto& text = band.add<report::DataText>();
        // A reference naming none of the tables shows nothing rather than
        // a field of some other table.
        text.value = [satz = bau.tabellen, tabelle = GetFieldTable(quelle.caption, *bau.tabellen),
                      feld = GetFieldName(quelle.caption)] { return Feldtext(*satz, tabelle, feld); };
        text.autoSize = true;
        text.wordWrap = quelle.wordWrap;
        schriftKopieren(quelle, text);
        element = &text;
        break;
    }
    case Elementart::eaGefahrsymbol:
    case Elementart::eaSchutzbild:
    case Elementart::eaUnterrichtbild:
    case Elementart::eaWirkungbild:
    case Elementart::eaKrebsbild: {
        auto& bild = band.add<report::Image>();
        bild.stretch = true;
        bild.hint = quelle.hint;
        element = &bild;
        break;
    }
    case Elementart::eaForm: {
        auto& form = band.add<report::Shape>();
        form.shape = quelle.shape;
        form.penColor = quelle.pen.color;
        form.penStyle = quelle.pen.style;
        form.penWidth = report::pixelsToMm(quelle.pen.width);
        form.brushColor = quelle.brush.color;
        form.brushStyle = quelle.brush.style;
        element = &form;
        break;
    }
    case Elementart::eaSaetze: {
        auto& memo = band.add<report::Memo>();
        memo.autoSize = false;
        memo.wordWrap = quelle.wordWrap;
        schriftKopieren(quelle, memo);
        element = &memo;
        break;
    }
    case Elementart::eaStrukturbild: {
        auto& bild = band.add<report::DataImage>();
        bild.stretch = true;
        bild.value = [satz = bau.tabellen, formeln = bau.formeln] {
            return satz->ohneSatz(formeln) ? QImage() : strukturbild(formeln);
        };
        element = &bild;
        break;
    }
    case Elementart::eaSummenformel:
    case Elementart::eaFeldformel: {
        auto& formel = band.add<report::RichText>();
        formel.wordWrap = quelle.wordWrap;
        formel.font = toQFont(quelle.font);
        formel.color = toQColor(quelle.font);
        if (art == Elementart::eaFeldformel)
            formel.hint = quelle.caption.mid(1);
        element = &formel;
        break;
    }
    case Elementart::eaBild: {
        auto& bild = band.add<report::Image>();
        bild.stretch = quelle.stretch;
        bild.autoSize = quelle.autoSize;
        bild.picture = druckbild(graphics::decodePicture(quelle.picture.file, quelle.name));
        element = &bild;
        break;
    }
    case Elementart::eaSystemdaten: {
        const auto daten = systemdatenArt(quelle.caption);
        if (!daten) {
            qWarning("Das Systemdatenfeld %s mit der Beschriftung \"%s\" nennt keine Ziffer von 0 bis 6 und wird "
                     "nicht gedruckt.",
                     qPrintable(quelle.name), qPrintable(quelle.caption));
            return nullptr;
        }
        auto& system = band.add<report::SystemData>();
        system.data = *daten;
        schriftKopieren(quelle, system);
        system.autoSize = quelle.autoSize;
        element = &system;
        break;
    }
    case Elementart::eaVorlagentext: {
        auto& memo = band.add<report::Memo>();
        memo.autoSize = true;
        memo.autoStretch = true;
        schriftKopieren(quelle, memo);
        memo.wordWrap = quelle.wordWrap;
        memo.lines = quelle.lines;
        element = &memo;
        break;
    }
    }
    element->rect = geometrie(quelle, versatz);
    element->tag = static_cast<int>(quelle.tag);
    return element;
}

void laufelementeFuellen(const std::vector<Laufobjekt>& elemente, const TabellenSatz& tabellen,
                         const QString& bedingungstext)
{
    const bool stoffDa = !tabellen.ohneSatz(tabellen.Table2);
    const Vorlagensprache sprache(tabellen);
    const int farbe = FarbDruck != 0 ? 1 : 0;
    for (const Laufobjekt& objekt : elemente) {
        if (!objekt.art)
            continue;
        switch (*objekt.art) {
        case Elementart::eaBedingungstext:
            objekt.als<report::Label>()->caption = bedingungstext;
            break;
        case Elementart::eaSummenformel:
        case Elementart::eaFeldformel:
            formelFuellen(objekt, tabellen);
            break;
        case Elementart::eaGefahrsymbol:
            objekt.als<report::Image>()->picture = druckbild(
                bildZuCode(Marlex->Bilder.GefahrBilder, GefahrCodes, Feldwert(objekt.element->hint, tabellen), farbe));
            break;
        case Elementart::eaSaetze: {
            QStringList& zeilen = objekt.als<report::Memo>()->lines;
            zeilen.clear();
            if (stoffDa)
                sprache.SaetzeFuellen(zeilen);
            break;
        }
        default:
            break; // complete from the build, or read when printed
        }
    }
}

} // namespace reports
