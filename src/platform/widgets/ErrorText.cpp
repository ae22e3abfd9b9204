#include "widgets/ErrorText.h"

#include <new>
#include <regex>
#include <stdexcept>
#include <system_error>
#include <typeinfo>

namespace widgets {

namespace {

// The standard library's own kinds of std::runtime_error; every other kind
// is one of the program's.
bool standardRuntimeError(const std::exception& error)
{
    return typeid(error) == typeid(std::runtime_error) || dynamic_cast<const std::range_error*>(&error)
           || dynamic_cast<const std::overflow_error*>(&error) || dynamic_cast<const std::underflow_error*>(&error)
           || dynamic_cast<const std::regex_error*>(&error) || dynamic_cast<const std::system_error*>(&error);
}

QString withDetail(const QString& sentence, const QString& detail)
{
    return u"%1\n\nTechnische Angabe: %2"_qs.arg(sentence, detail);
}

} // namespace

QString errorText(const std::exception& error)
{
    const QString text = QString::fromUtf8(error.what());
    if (dynamic_cast<const std::runtime_error*>(&error) && !standardRuntimeError(error))
        return text;
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return withDetail(u"Für diesen Vorgang reicht der Arbeitsspeicher nicht aus; er wurde abgebrochen. Schließen "
                          u"Sie andere Fenster oder Programme und versuchen Sie es noch einmal."_qs,
                          text);
    if (const auto* system = dynamic_cast<const std::system_error*>(&error))
        return withDetail(u"Das Betriebssystem hat den Vorgang mit einem Fehler abgebrochen (Fehlernummer %1)."_qs
                              .arg(system->code().value()),
                          text);
    return withDetail(u"Im Programm ist ein unerwarteter Fehler aufgetreten; der Vorgang wurde abgebrochen."_qs, text);
}

} // namespace widgets
