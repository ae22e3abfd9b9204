#pragma once

#include <stdexcept>

namespace stream {

// The one exception type of the component stream layer. The message is German
// text for the user; it names the layout file and, for damaged data, the byte
// position where reading stopped.
class StreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace stream
