#include "BenchVorschau.h"

#include <exception>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>

#include "report/PreviewWidget.h"
#include "reports/Vorschau.h"

namespace bench {

namespace {

// Watches for the modal preview from the event loop it runs; once the
// preview holds a page, draws the window and closes it.
class ErsteSeiteSchliessen {
public:
    ErsteSeiteSchliessen()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* vorschau = qobject_cast<TVorschau*>(QApplication::activeModalWidget());
            if (!vorschau || vorschau->QRPreview1->pageCount() < 1)
                return;
            vorschau->grab(); // paints the first page now, not at the next expose
            m_gezeigt = true;
            m_timer.stop();
            vorschau->reject();
        });
        m_timer.start();
    }

    bool gezeigt() const { return m_gezeigt; }

private:
    QTimer m_timer;
    bool m_gezeigt = false;
};

} // namespace

void ersteSeiteMessen(benchmark::State& state, const std::function<void()>& oeffnen)
{
    for (auto _ : state) {
        ErsteSeiteSchliessen schliessen;
        try {
            oeffnen();
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
        if (!schliessen.gezeigt()) {
            state.SkipWithError("the preview closed before its first page was shown");
            break;
        }
    }
}

} // namespace bench
