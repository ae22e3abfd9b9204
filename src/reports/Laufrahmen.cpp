#include "reports/Laufrahmen.h"

#include <exception>
#include <optional>

#include "reports/TabellenWache.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

namespace reports {

bool Laufrahmen::ausfuehren(QWidget* besitzer, const QString& scheitern, const std::function<bool()>& arbeit)
{
    m_wiederherstellFehler.clear();
    bool ausgegeben = false;
    std::optional<QString> fehler;
    try {
        ausgegeben = arbeit();
    } catch (const std::exception& e) {
        fehler = widgets::errorText(e);
    }
    m_gescheitert = fehler.has_value();
    if (fehler)
        widgets::MessageBox::error(besitzer, QStringLiteral("%1\n%2").arg(scheitern, *fehler));
    if (!m_wiederherstellFehler.isEmpty())
        widgets::MessageBox::error(besitzer, m_wiederherstellFehler);
    return ausgegeben && !fehler && m_wiederherstellFehler.isEmpty();
}

void Laufrahmen::zurueckstellen(TabellenWache& wache)
{
    try {
        wache.restore();
    } catch (const std::exception& fehler) {
        m_wiederherstellFehler = widgets::errorText(fehler);
    }
}

} // namespace reports
