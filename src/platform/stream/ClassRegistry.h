#pragma once

#include <initializer_list>

#include <QString>
#include <QStringList>

namespace stream {

// The class names a stream may name. The caller decides which classes a
// layout may hold; names compare without regard to case, as the component
// library finds registered classes.
class ClassRegistry {
public:
    ClassRegistry() = default;
    ClassRegistry(std::initializer_list<QString> names) : m_names(names) {}

    void add(const QString& name) { m_names.append(name); }
    bool contains(QStringView name) const { return m_names.contains(name, Qt::CaseInsensitive); }

private:
    QStringList m_names;
};

} // namespace stream
