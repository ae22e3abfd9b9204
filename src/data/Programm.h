#pragma once

#include <memory>

class TMarlex;
class TListeEinlesen;
class TDatenAuffrischen;
class TAktuellerFilter;
class TAktuellerLagerFilter;
class TDatennavigator;
class TEinstufung;
class TFilterWarten;
class TStoffInfo;
class TEtikettenLayout;
class TInit;
class TDatas;

// The windows that live for the whole run, created in the program's order
// (main window, progress window, wait window, the two current-filter
// windows, the data navigator, the filter wait window, sheet engine,
// start-up window, data module, supplement window), each one's creation
// handler finished before the next is created. Creating the data module runs
// the start of the data side. The windows go in the reverse order, the data
// module (and with it the tables) before the start-up window. The globals
// Marlex, ListeEinlesen, DatenAuffrischen, AktuellerFilter,
// AktuellerLagerFilter, Datennavigator, FilterWarten, StoffInfo, Init, Datas
// and Einstufung point at them while they live.
class Programm {
public:
    // A window that fails to come up throws on; the ones made before it are
    // gone again.
    Programm();
    ~Programm();
    Programm(const Programm&) = delete;
    Programm& operator=(const Programm&) = delete;

    // False when the start was ended (missing required files, a table that
    // would not open): the user has been told and the program is to end
    // without its event loop.
    bool gestartet() const;

private:
    void freigebenAlle();

    std::unique_ptr<TMarlex> m_marlex;
    std::unique_ptr<TListeEinlesen> m_listeEinlesen;
    std::unique_ptr<TDatenAuffrischen> m_datenAuffrischen;
    std::unique_ptr<TAktuellerFilter> m_aktuellerFilter;
    std::unique_ptr<TAktuellerLagerFilter> m_aktuellerLagerFilter;
    std::unique_ptr<TDatennavigator> m_datennavigator;
    std::unique_ptr<TFilterWarten> m_filterWarten;
    std::unique_ptr<TStoffInfo> m_stoffInfo;
    std::unique_ptr<TEtikettenLayout> m_etikettenLayout;
    std::unique_ptr<TInit> m_init;
    std::unique_ptr<TDatas> m_datas;
    std::unique_ptr<TEinstufung> m_einstufung;
};
