#pragma once

#include <memory>
#include <vector>

#include <QColor>

#include "report/Element.h"

namespace report {

// The ordinal order is the one layouts store; Child is 10.
enum class BandType {
    Title,
    PageHeader,
    Detail,
    PageFooter,
    Summary,
    GroupHeader,
    GroupFooter,
    SubDetail,
    ColumnHeader,
    Overlay,
    Child,
};

struct Frame {
    QColor color = Qt::black;
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
    Qt::PenStyle style = Qt::SolidLine;
    double width = 0.0; // mm
};

// A horizontal strip of the page across the printable width. Its height is
// in millimetres; it grows when an element with autoStretch needs more.
class Band {
public:
    explicit Band(BandType type);
    ~Band();
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    BandType type;
    double height = 0.0;
    Frame frame;
    bool enabled = true;

    template <class E>
    E& add()
    {
        auto element = std::make_unique<E>();
        E& result = *element;
        m_elements.push_back(std::move(element));
        return result;
    }
    const std::vector<std::unique_ptr<Element>>& elements() const { return m_elements; }

    // The child band printed right after this one, made on first use; a
    // child has its own child in turn, so they form a chain.
    Band& childBand();
    bool hasChild() const { return m_child != nullptr; }
    Band* child() const { return m_child.get(); }

private:
    std::vector<std::unique_ptr<Element>> m_elements;
    std::unique_ptr<Band> m_child;
};

} // namespace report
