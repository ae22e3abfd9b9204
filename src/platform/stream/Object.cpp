#include "stream/Object.h"

namespace stream {

const Object* Object::findChild(QStringView childName) const
{
    for (const Object& child : children) {
        if (child.name.compare(childName, Qt::CaseInsensitive) == 0)
            return &child;
        if (const Object* found = child.findChild(childName))
            return found;
    }
    return nullptr;
}

} // namespace stream
