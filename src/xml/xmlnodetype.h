// The kinds of node in the XML document tree.
#pragma once

#include <cstdint>

namespace lm {

// Ordinals are fixed (0 to 4): stored settings and callers compare them as numbers.
enum TXMLNodeType : uint8_t {
    ntNode,     // element
    ntAttr,     // attribute
    ntText,     // text content
    ntCData,    // CDATA section
    ntComment,  // comment
};

} // namespace lm
