#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace reports {

class TabellenWache;

// The frame the sheet, report and label runs share around their work. The
// work builds the run report, outputs it and puts the tables back through
// its guard; whatever it throws ends the run and is told to the user in
// German, and so is a restore of the tables that failed on the way.
class Laufrahmen {
public:
    // Runs `arbeit` (true when it printed or previewed). A failure is told to
    // `besitzer` as `scheitern` (the run's own sentence, "Der Report konnte
    // nicht erstellt werden.") followed by the failure's text, then a failed
    // restore. True when `arbeit` returned true and nothing failed.
    bool ausfuehren(QWidget* besitzer, const QString& scheitern, const std::function<bool()>& arbeit);

    // Puts the run's tables back now, after printing, when the preview
    // closes or when the print was declined, while the windows may already
    // take commands again. A failure is kept and told when the run ends.
    void zurueckstellen(TabellenWache& wache);

    // Whether the last run ended by a failure of its work (a failed restore
    // alone does not count).
    bool gescheitert() const { return m_gescheitert; }

private:
    QString m_wiederherstellFehler; // of the current run's restore
    bool m_gescheitert = false;
};

} // namespace reports
