#include "MarlexTestSupport.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>

#include "fixtures/Images.h"
#include "fixtures/Tables.h"
#include "graphics/WmfWriter.h"
#include "ini/IniFile.h"
#include "stream/StreamWriter.h"

namespace marlextest {

namespace {

using fixtures::field;

dbase::FieldDef text(const char* name, int laenge = 20)
{
    return field(name, dbase::FieldType::Character, laenge);
}

void tabelleAnlegen(const QString& datei, const std::vector<dbase::FieldDef>& felder,
                    const std::vector<std::map<int, QString>>& zeilen, const std::vector<dbase::IndexDef>& tags)
{
    dbase::Table t;
    t.setTableName(datei);
    t.createTable(dbase::TableLayout(felder));
    t.open();
    for (const auto& zeile : zeilen) {
        t.append();
        for (const auto& [position, wert] : zeile)
            t.field(position).setAsString(wert);
        t.post();
    }
    t.close();
    for (const auto& tag : tags)
        t.addIndex(tag);
}

const dbase::IndexDef carnSub{"CARN_SUB", "CARN+SUBCARN", true};
const dbase::IndexDef name1Sub{"NAME1_SUB", "STRIPNAME1", false};

std::vector<QString> alleStaemme()
{
    std::vector<QString> staemme;
    const auto dazu = [&staemme](const auto& tabelle) {
        for (const char* s : tabelle)
            staemme.push_back(QLatin1String(s));
    };
    dazu(GefahrStaemme);
    dazu(SchutzStaemme);
    dazu(UnterrichtStaemme);
    dazu(WirkungStaemme);
    dazu(KrebsStaemme);
    dazu(CancerStaemme);
    staemme.push_back(QLatin1String(KeineDatenStamm));
    return staemme;
}

} // namespace

QRgb farbeVon(const QString& dateiname)
{
    const QByteArray h = QCryptographicHash::hash(dateiname.toUpper().toUtf8(), QCryptographicHash::Md5);
    return qRgb(static_cast<uchar>(h[0]), static_cast<uchar>(h[1]), static_cast<uchar>(h[2]));
}

QRgb farbeVon(const graphics::Picture& bild)
{
    if (bild.isEmpty())
        return 0;
    const QImage image = bild.toImage(QSize(8, 8));
    return image.pixel(4, 4) | 0xff000000u;
}

QRgb symbolfarbe(const char* stamm, bool farbe)
{
    return farbeVon((farbe ? QStringLiteral("F_") : QString()) + QLatin1String(stamm));
}

void symbolOrdnerSchreiben(const QDir& programm, const QString& endung)
{
    programm.mkpath(QStringLiteral("Symbol"));
    for (const QString& stamm : alleStaemme()) {
        for (const QString& name : {stamm, QStringLiteral("F_") + stamm}) {
            const QString pfad = programm.filePath(QStringLiteral("Symbol/") + name + endung);
            const QColor farbe = QColor::fromRgb(farbeVon(name));
            if (endung == QLatin1String("WMF")) {
                graphics::WmfWriter wmf(QSize(4, 4));
                {
                    QPainter p(&wmf);
                    p.fillRect(QRect(0, 0, 4, 4), farbe);
                }
                wmf.save(pfad);
            } else {
                fixtures::filledImage(4, 4, farbe).save(pfad, "BMP");
            }
        }
    }
}

void namenSchreiben(const std::vector<Name>& namen, const QString& datei)
{
    std::vector<std::map<int, QString>> zeilen;
    for (const Name& n : namen)
        zeilen.push_back({{0, n.name}, {1, n.name.toUpper()}, {2, n.carn}, {3, n.subcarn}});
    tabelleAnlegen(datei, {text("NAME1", 60), text("STRIPNAME1", 60), text("CARN", 12), text("SUBCARN", 4)}, zeilen,
                   {carnSub, name1Sub});
}

void chemieSchreiben(const std::vector<Stoff>& stoffe)
{
    using dbase::FieldType;
    const std::vector<dbase::FieldDef> felder = {
        text("NAME1", 60), text("NAME2", 60), text("CARN", 12), text("SUBCARN", 4), text("EG_INDEX"),
        text("FORMEL", 40), text("GEFSYM1", 4), text("GEFSYM2", 4), text("GEFSYM3", 4), text("R_SATZ", 40),
        text("S_SATZ", 40), text("MERCK_NR"), text("CANCER", 4), text("MUTAGEN", 4), text("R_E", 4),
        text("R_F", 4), text("KREBS", 4), text("FRUCHTSCH", 4), text("ERBGUTGEF", 4), text("MAK1"),
        text("MAK2"), text("TRK1"), text("TRK2"), text("MAK_FAK", 6), text("WIRKUNG", 4), text("VBF", 6),
        text("WGK", 4), field("MOLMASSE", FieldType::Numeric, 10, 3), text("DICHTE"),
        field("SMT", FieldType::Numeric, 8, 1), field("SDT", FieldType::Numeric, 8, 1), text("DAMPFDRUCK"),
        text("LOESLICHKE"), text("UNTERRICHT", 6), text("LAGERUNG", 4), text("ENTSORGUNG", 14), text("UN_NR", 8),
        field("MEMOTEXT", FieldType::Memo, 10), text("GEFSYM1BMP", 12), text("GEFSYM2BMP", 12),
        text("GEFSYM3BMP", 12), text("FORMEL_BMP", 12), text("GEFSYM4", 4), text("GEFSYM4BMP", 12)};
    std::vector<std::map<int, QString>> zeilen;
    for (const Stoff& s : stoffe) {
        auto zeile = s.felder;
        zeile[CARN] = s.carn;
        zeile[SUBCARN] = s.subcarn;
        zeilen.push_back(zeile);
    }
    tabelleAnlegen(QStringLiteral("chemie.dbf"), felder, zeilen, {carnSub});
}

void lagerSchreiben(const std::vector<std::pair<QString, QString>>& zeilen)
{
    std::vector<Lagerzeile> lager;
    for (const auto& [carn, subcarn] : zeilen)
        lager.push_back({carn, subcarn, {}});
    lagerzeilenSchreiben(lager);
}

void lagerzeilenSchreiben(const std::vector<Lagerzeile>& zeilen)
{
    using dbase::FieldType;
    const std::vector<dbase::FieldDef> felder = {
        text("NAME1", 60), text("CARN", 12), text("SUBCARN", 4), text("MENGE_IN_G", 12),
        field("DATUM_ALT", FieldType::Date, 8), field("DATUM_NEU", FieldType::Date, 8),
        field("DIFFE_IN_G", FieldType::Numeric, 10, 2), text("LAGER_ORT"), text("FREI1"), text("FREI2"),
        text("LIEFERANT"), text("VERWENDER"), text("MARKER", 1), text("ETIKETTE", 1),
        field("ANZAHL", FieldType::Numeric, 4), text("STRIPNAME1", 60)};
    std::vector<std::map<int, QString>> daten;
    for (const Lagerzeile& z : zeilen)
        daten.push_back({{1, z.carn}, {2, z.subcarn}, {7, z.lagerOrt}, {14, QStringLiteral("1")}});
    tabelleAnlegen(QStringLiteral("lager.dbf"), felder, daten, {carnSub, name1Sub});
}

void formelnSchreiben(const std::vector<QString>& carns)
{
    std::vector<dbase::FieldDef> felder = {text("CARN", 12), text("SUBCARN", 4),
                                           field("FORMEL", dbase::FieldType::Binary, 10)};
    dbase::Table t;
    t.setTableName(QStringLiteral("formeln.dbf"));
    t.createTable(dbase::TableLayout(felder));
    t.open();
    for (const QString& carn : carns) {
        t.append();
        t.field(0).setAsString(carn);
        t.field(1).setAsString(QStringLiteral("1"));
        t.field(2).setAsBytes(fixtures::encodedImage(fixtures::filledImage(6, 3, Qt::darkGreen), "BMP"));
        t.post();
    }
    t.close();
    t.addIndex(carnSub);
}

void siGefSchreiben(const std::vector<std::pair<QString, QString>>& saetze)
{
    std::vector<std::map<int, QString>> zeilen;
    for (const auto& [nummer, satz] : saetze)
        zeilen.push_back({{0, nummer}, {2, satz}});
    tabelleAnlegen(QStringLiteral("si_gef.dbf"), {text("NRSATZ", 8), text("ZEILE", 2), text("SATZTEXT", 80)}, zeilen,
                   {{"NRSATZ_SUB", "NRSATZ", false}});
}

Blattelement blattelement(int tag, const QString& caption, QRect lage)
{
    Blattelement e;
    e.tag = tag;
    e.caption = caption;
    e.lage = lage;
    return e;
}

Blattelement bildelement(int tag, const QString& hint)
{
    Blattelement e;
    e.tag = tag;
    e.hint = hint;
    e.lage = {0, 0, 40, 40};
    return e;
}

Blattelement memoelement(int tag, const QStringList& lines, QRect lage)
{
    Blattelement e = blattelement(tag, {}, lage);
    e.lines = lines;
    return e;
}

void blattSchreiben(const QString& datei, const std::vector<Blattband>& baender,
                    const std::function<void(stream::Object&)>& bericht)
{
    using stream::Value;
    stream::Object report(QStringLiteral("TOwnQuickRep"), QStringLiteral("Stoffinfo"));
    report.append("Units", Value::identifier(QStringLiteral("MM")));
    report.append("Page.PaperSize", Value::identifier(QStringLiteral("A4")));
    for (const char* rand : {"Page.TopMargin", "Page.BottomMargin", "Page.LeftMargin", "Page.RightMargin"})
        report.append(rand, Value::extended(100));
    if (bericht)
        bericht(report);

    std::vector<stream::Object> saetze(1);
    int oben = 0;
    for (std::size_t i = 0; i < baender.size(); ++i) {
        const QString name = QStringLiteral("Band%1").arg(i + 1);
        stream::Object band(QStringLiteral("TQRBand"), name);
        band.append("BandType", Value::identifier(baender[i].typ));
        band.append("Top", Value::integer(oben));
        band.append("Height", Value::integer(baender[i].hoehe));
        report.children.push_back(band);
        oben += baender[i].hoehe;

        stream::Object satz(QStringLiteral("TQRBand"), name);
        int nummer = 0;
        for (const Blattelement& e : baender[i].elemente) {
            const bool memo = !e.lines.isEmpty();
            stream::Object element(memo ? QStringLiteral("TQRMemo") : QStringLiteral("TQRLabel"),
                                   QStringLiteral("%1E%2").arg(name).arg(++nummer));
            element.append("Tag", Value::integer(e.tag));
            element.append("Left", Value::integer(e.lage.left()));
            element.append("Top", Value::integer(e.lage.top()));
            element.append("Width", Value::integer(e.lage.width()));
            element.append("Height", Value::integer(e.lage.height()));
            if (!e.caption.isEmpty())
                element.append("Caption", Value::string(e.caption));
            if (!e.hint.isEmpty())
                element.append("Hint", Value::string(e.hint));
            if (memo) {
                Value::List zeilen;
                for (const QString& zeile : e.lines)
                    zeilen.push_back(Value::string(zeile));
                element.append("Lines.Strings", Value::list(std::move(zeilen)));
            }
            satz.children.push_back(std::move(element));
        }
        saetze.push_back(std::move(satz));
    }
    saetze.front() = std::move(report);
    stream::StreamWriter::writeFile(datei, saetze);
}

Register::Register()
    : m_meldungen(std::make_shared<std::vector<widgets::MessageRequest>>()),
      m_antworten([meldungen = m_meldungen](const widgets::MessageRequest& r) {
          meldungen->push_back(r);
          return widgets::Answer::Ok;
      })
{
    QDir(QString::fromStdString(m_dir.path().string())).mkpath(QStringLiteral("programm"));
    m_programm = QString::fromStdString((m_dir.path() / "programm").string()) + QLatin1Char('/');
    Programmverzeichnis = m_programm;
}

Register::~Register()
{
    m_fenster.reset();
    m_fortschritt.reset();
    m_datas.reset();
    Marlex = nullptr;
    Datas = nullptr;
    ListeEinlesen = nullptr;
    Programmverzeichnis.clear();
}

void Register::einstellung(const QString& sektion, const QString& schluessel, const QString& wert)
{
    ini::IniFile(ini()).writeString(sektion, schluessel, wert);
}

QRect Register::gespeicherteFensterlage() const
{
    const ini::IniFile datei(ini());
    return {datei.readInteger("Marlex99", "xpos", -1), datei.readInteger("Marlex99", "ypos", -1),
            datei.readInteger("Marlex99", "breite", -1), datei.readInteger("Marlex99", "hoehe", -1)};
}

TMarlex& Register::fensterAnlegen()
{
    m_fenster = std::make_unique<TMarlex>();
    Marlex = m_fenster.get();
    return *m_fenster;
}

TMarlex& Register::starten()
{
    m_datas = std::make_unique<TDatas>();
    Datas = m_datas.get();
    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table6})
        t->open();
    m_fortschritt = std::make_unique<TListeEinlesen>();
    ListeEinlesen = m_fortschritt.get();
    return fensterAnlegen();
}

TMarlex& Register::fensterZeigen()
{
    symbolOrdnerSchreiben(QDir(m_programm));
    TMarlex& m = fensterAnlegen();
    m.show();
    return m;
}

TMarlex& Register::startenMit(const std::vector<Stoff>& stoffe)
{
    symbolOrdnerSchreiben(QDir(m_programm));
    std::vector<Name> namen;
    for (const Stoff& stoff : stoffe)
        namen.push_back({stoff.felder.at(NAME1), stoff.carn, stoff.subcarn});
    namenSchreiben(namen);
    chemieSchreiben(stoffe);
    lagerSchreiben({});
    formelnSchreiben({});
    TMarlex& m = starten();
    m.show();
    m.DatenlisteEinlesen();
    return m;
}

} // namespace marlextest

namespace marlextest {

Ziehen::Ziehen() : m_runner([this](QDrag& drag) { return ausfuehren(drag); }) {}

bool Ziehen::eventFilter(QObject* objekt, QEvent* event)
{
    if (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* ziel = qobject_cast<QWidget*>(objekt);
    if (!ziel)
        return false;
    const QPoint stelle = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (event->type() == QEvent::MouseMove) {
        QDragEnterEvent eintritt(stelle, Qt::CopyAction, m_drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ziel, &eintritt);
        m_ueber = eintritt.isAccepted() ? ziel : nullptr;
        return true;
    }
    if (m_ueber) {
        QDropEvent drop(stelle, Qt::CopyAction, m_drag->mimeData(), Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_ueber, &drop);
        if (drop.isAccepted())
            abgelegtAuf = m_ueber;
    }
    m_schleife.quit();
    return true;
}

Qt::DropAction Ziehen::ausfuehren(QDrag& drag)
{
    m_drag = &drag;
    m_ueber = nullptr;
    abgelegtAuf = nullptr;
    qApp->installEventFilter(this);
    m_schleife.exec();
    qApp->removeEventFilter(this);
    return abgelegtAuf ? Qt::CopyAction : Qt::IgnoreAction;
}

} // namespace marlextest
