#include "data/Programm.h"

#include "app/Datennavigator.h"
#include "app/Einstufung.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/DatenAuffrischen.h"
#include "data/Init.h"
#include "data/ListeEinlesen.h"
#include "labels/EtikettenLayout.h"
#include "reports/StoffInfo.h"
#include "search/AktuellerFilter.h"
#include "search/AktuellerLagerFilter.h"
#include "search/FilterWarten.h"

namespace {

// Creates a window and publishes it under its global name before anything
// after it is created.
template <typename Fenster>
void anlegen(std::unique_ptr<Fenster>& besitzer, Fenster*& global)
{
    besitzer = std::make_unique<Fenster>();
    global = besitzer.get();
}

template <typename Fenster>
void freigeben(std::unique_ptr<Fenster>& besitzer, Fenster*& global)
{
    global = nullptr;
    besitzer.reset();
}

} // namespace

Programm::Programm()
{
    try {
        anlegen(m_marlex, Marlex);
        m_marlex->show();
        anlegen(m_listeEinlesen, ListeEinlesen);
        anlegen(m_datenAuffrischen, DatenAuffrischen);
        anlegen(m_aktuellerFilter, AktuellerFilter);
        anlegen(m_aktuellerLagerFilter, AktuellerLagerFilter);
        anlegen(m_datennavigator, Datennavigator);
        anlegen(m_filterWarten, FilterWarten);
        anlegen(m_stoffInfo, StoffInfo);
        anlegen(m_etikettenLayout, EtikettenLayout);
        anlegen(m_init, Init);
        anlegen(m_datas, Datas);
        m_datas->FormCreate();
        anlegen(m_einstufung, Einstufung);
    } catch (...) {
        // No global may point at a window that is gone.
        freigebenAlle();
        throw;
    }
}

Programm::~Programm()
{
    freigebenAlle();
}

void Programm::freigebenAlle()
{
    freigeben(m_einstufung, Einstufung);
    freigeben(m_datas, Datas);
    freigeben(m_init, Init);
    freigeben(m_etikettenLayout, EtikettenLayout);
    freigeben(m_stoffInfo, StoffInfo);
    freigeben(m_filterWarten, FilterWarten);
    freigeben(m_datennavigator, Datennavigator);
    freigeben(m_aktuellerLagerFilter, AktuellerLagerFilter);
    freigeben(m_aktuellerFilter, AktuellerFilter);
    freigeben(m_datenAuffrischen, DatenAuffrischen);
    freigeben(m_listeEinlesen, ListeEinlesen);
    freigeben(m_marlex, Marlex);
}

bool Programm::gestartet() const
{
    return !m_init->startAbgebrochen();
}
