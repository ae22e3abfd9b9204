#pragma once

#include <stdexcept>
#include <string>

namespace dbase {

// The one exception type of the dBASE layer. The message is German-readable
// text for the user and names the file concerned where there is one.
class DbaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace dbase
