// Filling a tree from a template with macro substitution, and building an empty instance
// document from a W3C XML Schema element declaration.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "xml/xmlnode.h"

namespace lm {

// Copies template's attributes to target (SetAttr, so an empty result removes one) and, for
// each element child of template, sets target's value at its name (when the child has a
// value) and recurses into target's child of that name (made when missing). In every copied
// text each macros[i] is replaced by values[i], in index order; the pairs beyond the shorter
// array are not used.
void ApplyXMLTemplate(const TXMLNode* templ, TXMLNode* target, const std::vector<std::string>& macros,
                      const std::vector<std::string>& values);

// A new root: an empty element named after element's "name", filled with the skeleton that its
// declaration (or the "xsd:complexType" named by its "type") describes, at most ten levels
// deep. Optional parts (minOccurs "0") are included only with withOptional; an "xsd:choice"
// gives its first alternative. A type the schema does not define gives the empty root. A
// skeleton of more than 100,000 elements (a type holding itself many times) raises lm::Exception.
std::unique_ptr<TXMLNode> CreateXMLTemplate(const TXMLNode* element, bool withOptional);

} // namespace lm
