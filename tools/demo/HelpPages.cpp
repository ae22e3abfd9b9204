#include "HelpPages.h"

#include <QSaveFile>

#include "DemoError.h"

namespace demo {

namespace {

const char* const pageStart = R"(<!DOCTYPE html>
<html lang="de">
<head>
<meta charset="utf-8">
<title>%1</title>
<style>
body { font-family: sans-serif; max-width: 50em; margin: 1em auto; line-height: 1.4; }
table { border-collapse: collapse; }
td, th { border: 1px solid #999; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
img { width: 48px; height: 48px; }
</style>
</head>
<body>
)";

const char* const indexBody = R"(<h1>Marlex99 – Hilfe</h1>
<p>Marlex99 führt ein Verzeichnis der Gefahrstoffe einer Schule, eines Labors oder eines Betriebs:
Stoffdaten mit ihrer Einstufung, die Namen und Synonyme jedes Stoffs und den Lagerbestand.
Aus diesen Daten druckt das Programm Stoffinformationen, Reporte und Gefahrstoffetiketten.</p>

<h2>Das Hauptfenster</h2>
<dl>
<dt>Datenliste</dt>
<dd>Alle Namen und Synonyme in alphabetischer Reihenfolge. Ein Klick auf einen Namen zeigt die Gefahrensymbole,
die Hinweise zu Schutzmaßnahmen, die Einstufung für den Unterricht und die Strukturformel des Stoffs.
Das kleine Zeichen vor einem Namen zeigt, ob der Stoff im Lager vorhanden ist.</dd>
<dt>Aktueller Datensatz</dt>
<dd>Alle Daten des gewählten Stoffs: Namen, CAS-Nummer, Summenformel, Gefahrensymbole, R- und S-Sätze,
Grenzwerte (MAK, TRK), Wassergefährdungsklasse, physikalische Daten und die Einstufungen für den Unterricht.
Über <i>Daten &gt; Datenpflege</i> lassen sich Stoffe ändern, neu eingeben, kopieren und löschen.</dd>
<dt>Lager</dt>
<dd>Der Lagerbestand: Menge, Lagerort, Lieferant und Verwender jedes Gebindes. Ein Name aus der Datenliste
kann auf das Lagerbild gezogen werden, um ihn ins Lager zu übernehmen. Die Spalte <i>Anzahl</i> gibt an,
wie viele Etiketten für das Gebinde gedruckt werden.</dd>
</dl>

<h2>Suchen und Filtern</h2>
<p><i>Daten &gt; Suchen</i> (F3) findet einen Namen oder einen Teil davon. <i>Daten &gt; Filter setzen</i>
schränkt die Datenliste auf die Stoffe ein, die eine Bedingung erfüllen, zum Beispiel alle Stoffe mit dem
Gefahrensymbol T. Die Recherche legt Ergebnislisten in den Datenbanken TMP 1 und TMP 2 ab, zwischen denen
man über <i>Daten &gt; Datenbank</i> wechselt.</p>

<h2>Drucken</h2>
<ul>
<li><b>Stoffinfo:</b> ein Blatt mit allen Daten und Hinweisen zu einem Stoff (<i>Daten &gt; Stoffinfo</i>).</li>
<li><b>Report:</b> eine Liste über die Datenliste oder das Lager (<i>Daten &gt; Report erstellen</i>).</li>
<li><b>Etiketten:</b> Gefahrstoffetiketten für ein Gebinde oder alle markierten Gebinde (Menü <i>Drucken</i>);
sie lassen sich auch als Bild exportieren.</li>
</ul>

<h2>Einstellungen</h2>
<p><i>Marlex &gt; Optionen</i> stellt unter anderem die farbige Darstellung der Symbole, den Nur-Lese-Modus,
die Schrift der Listen und die Druckränder ein. Die Einstellungen stehen in der Datei marlex99.ini
im Programmverzeichnis.</p>

<h2>Einstufung</h2>
<p>Was die Gefahrensymbole, R- und S-Sätze, Grenzwerte und Kennbuchstaben bedeuten, erklärt die Seite
<a href="hinweis1.htm">Ergänzung zur Einstufung</a>.</p>
</body>
</html>
)";

const char* const hinweisBody = R"(<h1>Ergänzung zur Einstufung</h1>
<p>Die Stoffe sind nach der EG-Stoffrichtlinie 67/548/EWG eingestuft und gekennzeichnet: mit Gefahrensymbolen,
Gefahrenhinweisen (R-Sätze) und Sicherheitsratschlägen (S-Sätze). Die Grenzwerte und Wassergefährdungsklassen
sind die deutschen Werte aus der Zeit dieser Einstufung.</p>

<h2>Gefahrensymbole</h2>
<table>
<tr><th>Symbol</th><th>Kennbuchstabe</th><th>Gefahrenbezeichnung</th></tr>
<tr><td><img src="../Symbol/F_E.BMP" alt="E"></td><td>E</td><td>Explosionsgefährlich</td></tr>
<tr><td><img src="../Symbol/F_O.BMP" alt="O"></td><td>O</td><td>Brandfördernd</td></tr>
<tr><td><img src="../Symbol/F_F+.BMP" alt="F+"></td><td>F+</td><td>Hochentzündlich</td></tr>
<tr><td><img src="../Symbol/F_F.BMP" alt="F"></td><td>F</td><td>Leichtentzündlich</td></tr>
<tr><td><img src="../Symbol/F_T+.BMP" alt="T+"></td><td>T+</td><td>Sehr giftig</td></tr>
<tr><td><img src="../Symbol/F_T.BMP" alt="T"></td><td>T</td><td>Giftig</td></tr>
<tr><td><img src="../Symbol/F_Xn.BMP" alt="Xn"></td><td>Xn</td><td>Gesundheitsschädlich</td></tr>
<tr><td><img src="../Symbol/F_C.BMP" alt="C"></td><td>C</td><td>Ätzend</td></tr>
<tr><td><img src="../Symbol/F_Xi.BMP" alt="Xi"></td><td>Xi</td><td>Reizend</td></tr>
<tr><td><img src="../Symbol/F_N.BMP" alt="N"></td><td>N</td><td>Umweltgefährlich</td></tr>
</table>

<h2>R- und S-Sätze</h2>
<p>R-Sätze nennen die besonderen Gefahren eines Stoffs, S-Sätze die Sicherheitsratschläge für den Umgang mit ihm.
Im Datensatz stehen nur die Nummern, durch Bindestriche getrennt (R 11-36-66-67); kombinierte Sätze werden mit
Schrägstrich geschrieben (R 36/37/38). Die Texte stehen in der Tabelle si_gef.dbf, die Stoffinfo und die Etiketten
drucken sie aus.</p>

<h2>Hinweise zu Schutzmaßnahmen</h2>
<p>Die drei Gebotszeichen <i>Abzug</i>, <i>Schutzbrille</i> und <i>Schutzhandschuhe</i> erscheinen bei Stoffen, die
krebserzeugend (MAK-Liste A1, A2 oder B) oder fruchtschädigend (Gruppe A, B oder C) sind, über die Haut aufgenommen
werden oder sensibilisieren (H, S), nur als Lehrerversuch oder gar nicht im Unterricht verwendet werden dürfen
(LV, XXX, ###) oder für die eine Technische Richtkonzentration (TRK) gilt.</p>

<h2>Grenzwerte</h2>
<dl>
<dt>MAK</dt><dd>Maximale Arbeitsplatzkonzentration: die höchste Konzentration eines Stoffs in der Luft am
Arbeitsplatz, die nach dem Stand der Kenntnis auch bei wiederholter und langfristiger Einwirkung die Gesundheit
im Allgemeinen nicht beeinträchtigt. Angegeben in ml/m³ (ppm) und in mg/m³.</dd>
<dt>TRK</dt><dd>Technische Richtkonzentration: für krebserzeugende und erbgutverändernde Stoffe, für die kein
unbedenklicher Wert angegeben werden kann, die Konzentration, die nach dem Stand der Technik erreicht werden kann.
Ihre Einhaltung schließt eine Gefährdung nicht aus.</dd>
</dl>

<h2>Wassergefährdungsklassen (WGK)</h2>
<table>
<tr><td>WGK 0</td><td>im Allgemeinen nicht wassergefährdend</td></tr>
<tr><td>WGK 1</td><td>schwach wassergefährdend</td></tr>
<tr><td>WGK 2</td><td>wassergefährdend</td></tr>
<tr><td>WGK 3</td><td>stark wassergefährdend</td></tr>
</table>

<h2>Gefahrklassen nach der Verordnung über brennbare Flüssigkeiten (VbF)</h2>
<table>
<tr><td>A I</td><td>nicht mit Wasser mischbar, Flammpunkt unter 21 °C</td></tr>
<tr><td>A II</td><td>nicht mit Wasser mischbar, Flammpunkt 21 °C bis 55 °C</td></tr>
<tr><td>A III</td><td>nicht mit Wasser mischbar, Flammpunkt über 55 °C bis 100 °C</td></tr>
<tr><td>B</td><td>mit Wasser mischbar, Flammpunkt unter 21 °C</td></tr>
</table>

<h2>Krebserzeugende, erbgutverändernde und fortpflanzungsgefährdende Stoffe</h2>
<p><i>Cancer</i>, <i>Mutagen</i>, <i>R_E</i> (fruchtschädigend) und <i>R_F</i> (Beeinträchtigung der
Fortpflanzungsfähigkeit) geben die Kategorie nach der EG-Einstufung an:</p>
<table>
<tr><td>1</td><td>Stoffe, die beim Menschen bekanntermaßen so wirken</td></tr>
<tr><td>2</td><td>Stoffe, die als so wirkend für den Menschen angesehen werden sollten</td></tr>
<tr><td>3</td><td>Stoffe, die wegen möglicher Wirkungen auf den Menschen Anlass zur Besorgnis geben</td></tr>
</table>
<p><i>Krebs</i> nennt die Kategorie der MAK-Liste (früher A1, A2, B; heute 1 bis 5),
<i>Fruchtschädigung</i> die Schwangerschaftsgruppe der MAK-Liste:</p>
<table>
<tr><td>A</td><td>Eine Schädigung der Leibesfrucht ist sicher nachgewiesen und auch bei Einhaltung des MAK-Werts zu erwarten.</td></tr>
<tr><td>B</td><td>Eine Schädigung der Leibesfrucht muss auch bei Einhaltung des MAK-Werts als wahrscheinlich unterstellt werden.</td></tr>
<tr><td>C</td><td>Eine Schädigung der Leibesfrucht braucht bei Einhaltung des MAK-Werts nicht befürchtet zu werden.</td></tr>
<tr><td>D</td><td>Eine Einstufung ist noch nicht möglich.</td></tr>
</table>

<h2>Wirkung</h2>
<table>
<tr><td><img src="../Symbol/F_H.BMP" alt="H"></td><td>H</td><td>Gefahr der Hautresorption: der Stoff kann in gefährlicher Menge über die Haut aufgenommen werden.</td></tr>
<tr><td><img src="../Symbol/F_S.BMP" alt="S"></td><td>S</td><td>Gefahr der Sensibilisierung: der Stoff kann Allergien auslösen.</td></tr>
</table>

<h2>Einstufung für den Unterricht</h2>
<p>So verwendet der Demo-Bestand die Kennzeichen des Felds <i>Unterricht</i>:</p>
<table>
<tr><td><img src="../Symbol/F_SCHULE.BMP" alt="SI"></td><td>SI</td><td>Schülerübungen ab der Sekundarstufe I</td></tr>
<tr><td><img src="../Symbol/F_SEKII.BMP" alt="SII"></td><td>SII</td><td>Schülerübungen erst in der Sekundarstufe II</td></tr>
<tr><td><img src="../Symbol/F_LV.BMP" alt="LV"></td><td>LV</td><td>nur im Lehrerversuch</td></tr>
<tr><td><img src="../Symbol/F_XXX.BMP" alt="XXX"></td><td>XXX</td><td>im Unterricht nicht verwenden; durch einen weniger gefährlichen Stoff ersetzen</td></tr>
</table>
<p>Ob ein Stoff im Unterricht verwendet werden darf, regeln die Vorschriften des jeweiligen Landes;
die Kennzeichen sind eine Hilfe und ersetzen sie nicht.</p>
</body>
</html>
)";

void writePage(const QDir& dir, const QString& name, const QString& title, const char* body)
{
    QSaveFile file(dir.filePath(name));
    const QByteArray text = QString::fromUtf8(pageStart).arg(title).toUtf8() + QByteArray(body);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw DemoError(QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(file.fileName(), file.errorString()));
}

} // namespace

void writeHelpPages(const QDir& dir)
{
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        throw DemoError(QStringLiteral("Das Verzeichnis %1 kann nicht angelegt werden.").arg(dir.path()));
    writePage(dir, QStringLiteral("index.htm"), QStringLiteral("Marlex99 – Hilfe"), indexBody);
    writePage(dir, QStringLiteral("hinweis1.htm"), QStringLiteral("Ergänzung zur Einstufung"), hinweisBody);
}

} // namespace demo
