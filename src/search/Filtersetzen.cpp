#include "search/Filtersetzen.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "ini/IniFile.h"
#include "search/Filterverwaltung.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/ScreenCentre.h"

namespace {

const QString anzahlSchluessel = u"Anzahl"_qs;

QString filterSchluessel(int i)
{
    return u"Filter"_qs + QString::number(i);
}

// How an expression is stored as a settings value, so that it reads back as
// the same filter: a value is one line, so each line break becomes a blank
// (the filter reads both alike); blanks around a value are not kept anyway;
// and the reader takes one pair of like quotes off a value, so an
// expression that begins and ends with the same quote ("'A' = NAME1 or
// NAME1 = 'B'") gets a pair of its own.
QString gespeichert(QString text)
{
    text.replace(u"\r\n"_qs, u" "_qs);
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text = text.trimmed();
    if (text.size() >= 2 && (text.front() == u'\'' || text.front() == u'"') && text.back() == text.front())
        text = QLatin1Char('"') + text + QLatin1Char('"');
    return text;
}

QListWidget* hilfsliste(QWidget* parent, const char* name)
{
    auto* liste = new QListWidget(parent);
    liste->setObjectName(QLatin1String(name));
    liste->setToolTip(u"Doppelklick zum Auswählen"_qs);
    return liste;
}

QPushButton* knopf(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TFiltersetzen::TFiltersetzen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Memo1(new QPlainTextEdit(this)), ListBox1(hilfsliste(this, "ListBox1")), ListBox2(hilfsliste(this, "ListBox2")),
      ComboBox1(new QComboBox(this)), Button1(knopf(this, "Button1", u"&Setzen"_qs)),
      Button2(knopf(this, "Button2", u"&Abbruch"_qs)), Button3(knopf(this, "Button3", u"&Filter löschen"_qs)),
      Button4(knopf(this, "Button4", u"Alle Filter löschen"_qs))
{
    setObjectName(u"Filtersetzen"_qs);
    setWindowTitle(u"Filter setzen"_qs);
    widgets::centreOnScreen(this);
    Memo1->setObjectName(u"Memo1"_qs);
    Memo1->setToolTip(u"Geben Sie hier den Filtertext ein"_qs);
    Memo1->setTabChangesFocus(true);
    ComboBox1->setObjectName(u"ComboBox1"_qs);
    ComboBox1->setEditable(false);
    Button1->setDefault(true);
    ListBox2->addItems({u"AND"_qs, u"OR"_qs, u"NOT"_qs, u"="_qs, u"<>"_qs, u">"_qs, u"<"_qs, u">="_qs, u"<="_qs,
                        u"("_qs, u")"_qs, u"'"_qs});

    auto* raster = new QGridLayout(this);
    raster->addWidget(new QLabel(u"Filtertext:"_qs, this), 0, 0, 1, 2);
    raster->addWidget(Memo1, 1, 0, 1, 2);
    raster->addWidget(new QLabel(u"Filterfeld:"_qs, this), 2, 0);
    raster->addWidget(new QLabel(u"Filtereigenschaften:"_qs, this), 2, 1);
    raster->addWidget(ListBox1, 3, 0);
    raster->addWidget(ListBox2, 3, 1);
    raster->addWidget(new QLabel(u"Fertige Filter:"_qs, this), 4, 0, 1, 2);
    raster->addWidget(ComboBox1, 5, 0, 1, 2);
    auto* knoepfe = new QHBoxLayout;
    for (QPushButton* button : {Button1, Button2, Button3, Button4})
        knoepfe->addWidget(button);
    raster->addLayout(knoepfe, 6, 0, 1, 2);
    resize(460, 380);

    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TFiltersetzen::ListBox1DblClick);
    connect(ListBox2, &QListWidget::itemDoubleClicked, this, &TFiltersetzen::ListBox2DblClick);
    connect(ComboBox1, &QComboBox::activated, this, &TFiltersetzen::ComboBox1Click);
    connect(Button1, &QPushButton::clicked, this, &TFiltersetzen::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TFiltersetzen::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFiltersetzen::Button4Click);

    FormCreate();
}

TFiltersetzen::~TFiltersetzen() = default;

bool TFiltersetzen::lagerModus() const
{
    return Marlex->LagerFilterModus == 1;
}

dbase::Table& TFiltersetzen::tabelle() const
{
    return lagerModus() ? *Datas->Table3 : *Datas->Table2;
}

QString TFiltersetzen::sektion() const
{
    return lagerModus() ? u"LagerFilter"_qs : u"Filter"_qs;
}

void TFiltersetzen::FormCreate()
{
    const dbase::Table& table = tabelle();
    ListBox1->clear();
    for (int i = 0; i < table.fieldCount(); ++i)
        ListBox1->addItem(QString::fromStdString(table.layout().field(i).name));

    const int anzahl = Marlex->IniDatei->readInteger(sektion(), anzahlSchluessel, 0);
    for (int i = 1; i <= anzahl; ++i)
        ComboBox1->addItem(Marlex->IniDatei->readString(sektion(), filterSchluessel(i), {}));
    ComboBox1->setCurrentIndex(-1);

    const QString text = table.filterText();
    if (!text.isEmpty()) {
        Memo1->setPlainText(text);
        ComboBox1->setCurrentIndex(ComboBox1->findText(text, Qt::MatchFixedString));
    }
}

void TFiltersetzen::anhaengen(const QString& text)
{
    QString memo = Memo1->toPlainText();
    if (!memo.isEmpty())
        memo += QLatin1Char(' ');
    Memo1->setPlainText(memo + text);
    Memo1->moveCursor(QTextCursor::End);
}

void TFiltersetzen::ListBox1DblClick(QListWidgetItem* item)
{
    anhaengen(item->text());
}

void TFiltersetzen::ListBox2DblClick(QListWidgetItem* item)
{
    anhaengen(item->text());
}

void TFiltersetzen::ComboBox1Click(int index)
{
    Memo1->setPlainText(ComboBox1->itemText(index));
}

void TFiltersetzen::merken(const QString& text)
{
    if (!FilterLeer(text) && ComboBox1->findText(text, Qt::MatchFixedString) < 0)
        ComboBox1->addItem(text);
}

void TFiltersetzen::Button1Click()
{
    const QString text = Memo1->toPlainText();
    if (!lagerModus() && FilterLeer(text)) {
        accept();
        return;
    }
    dbase::Filter filter;
    try {
        filter = FilterPruefen(text, tabelle());
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::warning(this, u"Der Filter kann nicht gesetzt werden.\n\n"_qs
                                               + widgets::errorText(fehler));
        Memo1->setFocus();
        return;
    }

    if (lagerModus()) {
        LagerFilterSetzen(filter);
    } else {
        bool gesetzt = false;
        try {
            gesetzt = ListenFilterSetzen(filter);
        } catch (const std::exception& fehler) {
            widgets::MessageBox::error(this, u"Die Filtertabelle konnte nicht erstellt werden; der Filter ist "
                                             u"nicht gesetzt.\n\n"_qs
                                                 + widgets::errorText(fehler));
            return;
        }
        if (!gesetzt) {
            widgets::MessageBox::information(this, u"Es kann auf diese Datenbank kein Filter gesetzt werden, da "
                                                   u"keine übereinstimmende Datensätze gefunden wurden."_qs);
            accept();
            return;
        }
    }
    merken(text);
    FilterInIniFileSchreiben();
    accept();
}

void TFiltersetzen::Button3Click()
{
    if (lagerModus()) {
        LagerFilterLoeschen();
    } else {
        FilterLoeschen();
        Marlex->DatenlisteEinlesen();
    }
    accept();
}

void TFiltersetzen::Button4Click()
{
    if (widgets::MessageBox::askYesNo(this, u"Wollen Sie wirklich alle Filter aus der Liste löschen?"_qs,
                                      widgets::Answer::No, widgets::MessageKind::Warning)
        != widgets::Answer::Yes)
        return;
    const int anzahl = ComboBox1->count();
    ComboBox1->clear();
    ini::IniChanges aenderungen;
    aenderungen.setInteger(sektion(), anzahlSchluessel, 0);
    for (int i = 1; i <= anzahl; ++i)
        aenderungen.removeKey(sektion(), filterSchluessel(i));
    speichern(aenderungen);
}

void TFiltersetzen::FilterInIniFileSchreiben()
{
    const int anzahl = ComboBox1->count();
    ini::IniChanges aenderungen;
    aenderungen.setInteger(sektion(), anzahlSchluessel, anzahl);
    for (int i = 1; i <= anzahl; ++i)
        aenderungen.setString(sektion(), filterSchluessel(i), gespeichert(ComboBox1->itemText(i - 1)));
    speichern(aenderungen);
}

void TFiltersetzen::speichern(const ini::IniChanges& aenderungen)
{
    try {
        Marlex->IniDatei->write(aenderungen);
    } catch (const ini::IniError& fehler) {
        widgets::MessageBox::warning(this, u"Die Filterliste konnte nicht gespeichert werden.\n\n"_qs
                                               + fehler.message());
    }
}
