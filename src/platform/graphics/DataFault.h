#pragma once

#include <QString>

namespace graphics {

// Damage found inside picture data, described without the file's name; the
// reader that knows the name turns it into a GraphicsError.
struct DataFault {
    QString detail;
};

} // namespace graphics
