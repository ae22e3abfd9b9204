#include "report/Band.h"

namespace report {

Band::Band(BandType bandType)
    : type(bandType)
{
}

Band::~Band() = default;

Band& Band::childBand()
{
    if (!m_child)
        m_child = std::make_unique<Band>(BandType::Child);
    return *m_child;
}

} // namespace report
