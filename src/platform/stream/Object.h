#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "stream/Value.h"

namespace stream {

// The filer flags a component may carry before its class name.
enum FilerFlag : std::uint8_t {
    Inherited = 0x01,
    ChildPos = 0x02,
    Inline = 0x04,
};

// One component of a stream: class, name, properties in stream order, and
// the components it owns.
class Object : public PropertyList {
public:
    Object() = default;
    Object(const QString& className, const QString& name) : className(className), name(name) {}

    QString className;
    QString name; // may be empty
    std::uint8_t flags = 0; // FilerFlag bits, ChildPos included when read
    std::optional<std::int64_t> childPosition;
    std::vector<Object> children;

    // Depth-first search of the owned components by name, ignoring case as
    // component names do.
    const Object* findChild(QStringView childName) const;

    friend bool operator==(const Object&, const Object&) = default;
};

} // namespace stream
