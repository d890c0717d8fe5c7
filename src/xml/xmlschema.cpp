// TXMLNode::Validate: checks a document tree against an element-type schema.
//
// Schema format. Each child of the schema node whose "name" attribute equals an element's name
// defines that element. Its "Attribute" entries name, through "type", an attribute definition
// (a child of the element definition) with "name", "required" ("yes"), "dt:type"
// ("enumeration" with space-separated "dt:values", or "boolean"); its "element" entries (also
// inside "group" entries) give "type" (a child name), "minOccurs" and "maxOccurs" (a number or
// "*"). Elements without a definition are not checked, nor is anything below them.
#include "util/exceptions.h"
#include "util/sysutils.h"
#include "xml/xmlnode.h"

namespace lm {

namespace {

void checkAttribute(const TXMLNode& n, const TXMLNode& def, const TXMLNode& entry)
{
    const std::string type = entry.GetAttr("type");
    const TXMLNode* attrDef = def.NodebyAttr("name", type);
    if (!attrDef)
        throw Exception(Format("Error in schema: unknown attribute type %s in element %s", {type, n.Name}));
    const std::string attrName = attrDef->GetAttr("name");
    const std::string value = n.GetAttr(attrName);
    if (value.empty()) {
        if (attrDef->GetAttr("required") == "yes")
            throw Exception(Format("Required attribute %s missed in element %s", {attrName, n.Name}));
        return;
    }
    const std::string dtType = attrDef->GetAttr("dt:type");
    if (dtType == "enumeration") {
        // The value must be one whole word of the list; a value holding a blank is never one,
        // even when it spans two neighbouring words.
        std::string values(" ");
        values += attrDef->GetAttr("dt:values");
        values += ' ';
        std::string word(" ");
        word += value;
        word += ' ';
        if (value.find(' ') != std::string::npos || values.find(word) == std::string::npos)
            throw Exception(Format("Wrong enumerated attribute %s value: \"%s\" in element %s",
                                   {attrName, value, n.Name}));
    } else if (dtType == "boolean") {
        if (value != "0" && value != "1")
            throw Exception(Format("Wrong boolean attribute %s value: \"%s\" in element %s",
                                   {attrName, value, n.Name}));
    }
}

void checkCount(const TXMLNode& n, const TXMLNode& entry)
{
    const std::string type = entry.GetAttr("type");
    int count = 0;
    for (const TXMLNode* child : n.Nodes())
        if (child->Name == type)
            ++count;
    const int minOccurs = StrToInt(entry.GetAttr("minOccurs"));
    const std::string maxText = entry.GetAttr("maxOccurs");
    const bool tooMany = maxText != "*" && count > StrToInt(maxText);
    if (count < minOccurs || tooMany)
        throw Exception(Format("Invalid SubElement %s count (%d) in element %s", {type, count, n.Name}));
}

} // namespace

void TXMLNode::Validate(const TXMLNode* schema) const
{
    if (!schema)
        return;
    const TXMLNode* def = schema->NodebyAttr("name", Name);
    if (!def)
        return;
    for (const TXMLNode* entry : def->Nodes()) {
        if (entry->Name == "Attribute") {
            checkAttribute(*this, *def, *entry);
        } else if (entry->Name == "element") {
            checkCount(*this, *entry);
        } else if (entry->Name == "group") {
            for (const TXMLNode* element : entry->Nodes())
                if (element->Name == "element")
                    checkCount(*this, *element);
        }
    }
    for (const TXMLNode* child : Nodes())
        child->Validate(schema);
}

} // namespace lm
