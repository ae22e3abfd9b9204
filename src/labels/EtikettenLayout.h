#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "report/Page.h"
#include "reports/Layout.h"

namespace report {
class Band;
class PageBuilder;
class Report;
} // namespace report

// Hazard labels of the storage register's stock items: one run reads the
// label layout ("ETI"), builds a report whose detail band is one label, and
// prints or previews every stock item of the job `ANZAHL` times, one label
// under the other down A4 pages, with a dashed cut line at each label's top
// and bottom edge. After a print that went to the printer without error the
// counts of the printed items are set back to 0 when the option says so;
// where they cannot be (tables opened read-only, a refused write) the user
// is told that the labels were printed and their counts kept.
//
// A window made at start in the program's creation order and never shown;
// the label dialogs set VorlagenDatei and start the jobs. Every input (the
// layout, the margins, the label's height against the page) is read and
// checked before any table is touched; the run's guard puts the tables back
// on every path.
class TEtikettenLayout : public QWidget {
    Q_OBJECT
public:
    explicit TEtikettenLayout(QWidget* parent = nullptr);
    ~TEtikettenLayout() override;

    // Holds the run reports' hidden parts; never shown.
    QWidget* ScrollBox1 = nullptr;
    // The layout file ("*.ETI") the next job reads.
    QString VorlagenDatei;

    // Preview of all marked stock items, or of the current one.
    bool EtikettenLayoutZeigen(bool AlleMarkierten);
    // Prints all marked stock items.
    bool EtikettenGesamtDrucken();
    // Prints the current stock item (the storage table's current row).
    bool EtikettAktuellDrucken();

    // The label of the storage table's current stock item as the label print
    // draws it, for the label export: the same template elements, table
    // switching, positioning and fill, on a page of the label's own size
    // (the template's width and height in pixels at 96 dpi) without cut
    // lines. A conditional text shows its caption as it stands, a formula
    // plain text, system data nothing. The tables are back as they were
    // afterwards. An unmarked stock item (count 0 or less), one whose name
    // or substance is not in the register, or a failure on the way is a
    // German message in `fehler` and no page; nothing is switched for an
    // unmarked one.
    std::optional<report::Page> AktuellesEtikettZeichnen(const reports::Layout& vorlage, QString& fehler);

    // The stock items of the last job whose substance, name or structure
    // row was not found, as "CARN-SUBCARN" (their labels show those empty).
    const QStringList& FehlendeStoffe() const { return m_fehlend; }
    // The labels of the last job on which a text element of the layout was
    // too small for its text, which is then cut as the layout says: each
    // as "substance (CAS-SUBCARN)", once. They are told after the job.
    const QStringList& AbgeschnitteneEtiketten() const { return m_abgeschnitten; }

private:
    struct Lauf;
    enum class Ausgabe { Vorschau, Drucker, Bild };

    // Builds the label elements of `vorlage` on the run's band, with the
    // kinds and fill that `ausgabe` draws.
    void elementeBauen(const reports::Layout& vorlage, report::Band& band, Ausgabe ausgabe);
    bool etikettenlauf(bool alleMarkierten, Ausgabe ausgabe);
    bool NeedData();
    void BandBeforePrint();
    void EtikettFuellen();
    void textPruefen(const QString& kennung, bool stoffGefunden);
    void QuickRep1Preview(report::PageBuilder& builder);
    QString anzahlenLoeschen();
    QWidget* besitzer() const;

    Lauf* m_lauf = nullptr;
    QStringList m_fehlend;
    QStringList m_abgeschnitten;
};

// The label engine; created and owned by the program's main routine, null
// before and after.
extern TEtikettenLayout* EtikettenLayout;
