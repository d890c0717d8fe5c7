// TXMLNode: one node of the package's XML document model (element, attribute, text, CDATA or
// comment), with the parser, writer, path queries, typed reads and tree operations.
//
// The tree is bytes: names, values and texts are Windows-1251 strings and nothing here converts
// character sets. A node owns its attribute, child and declaration lists and, through them, its
// whole subtree; Parent and Link are plain references.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "util/variant.h"
#include "xml/xmlnodelist.h"
#include "xml/xmlnodetype.h"

namespace lm {

class TFastString;
class TStrings;

// Variant type codes of the typed reads.
inline constexpr int xvtInteger = 3;
inline constexpr int xvtDouble = 5;
inline constexpr int xvtCurrency = 6;
inline constexpr int xvtDate = 7;
inline constexpr int xvtString = 256;

class TXMLNode final {
public:
    // --- Construction. Every factory hands the new node to the caller. A parse error raises
    // lm::Exception with the parser's message and no node is returned.

    // A root parsed from text (nothing is parsed when the text up to its first zero byte is empty).
    static std::unique_ptr<TXMLNode> Create(std::string_view text);
    // A node with the given parent (not added to the parent's lists) and IgnoreCase; the
    // parent's IsHTML and IgnoreCase override. Parses text when it is not empty.
    static std::unique_ptr<TXMLNode> Create(std::string_view text, TXMLNode* parent, bool ignoreCase);
    // Reads the whole file as bytes and parses it; EInOutError when it cannot be read.
    static std::unique_ptr<TXMLNode> CreateFromFile(const std::string& fileName, TXMLNode* parent = nullptr);
    // As Create(text, parent, ignoreCase) with relaxed parsing: attribute values may be bare names.
    static std::unique_ptr<TXMLNode> CreateHTML(std::string_view text, TXMLNode* parent, bool ignoreCase);
    // A node made by code; for every kind but ntAttr the parent's flags are copied.
    static std::unique_ptr<TXMLNode> Create(std::string name, TXMLNodeType nodeType, TXMLNode* parent,
                                            std::string value);
    // A new document: an element called name whose Header holds the declaration "xml" with
    // version "1.0", the encoding and standalone "yes".
    static std::unique_ptr<TXMLNode> CreateDocument(const std::string& name,
                                                    const std::string& encoding = "windows-1251");

    ~TXMLNode();
    TXMLNode(const TXMLNode&) = delete;
    TXMLNode& operator=(const TXMLNode&) = delete;
    // Nodes come from a pool of fixed-size blocks (see detail/xmlpool.h).
    static void* operator new(std::size_t size);
    static void operator delete(void* p) noexcept;

    // --- Fields, largest first so that the small ones share one word.
    std::string Value;          // text of an attribute, text, CDATA or comment; empty for elements
    std::string Name;           // element or attribute name; "#cdata-section", "#comment", or empty for text
    TXMLNode* Parent = nullptr; // the node whose list holds this one; null for a root
    TXMLNode* Link = nullptr;   // cross-reference made by SetLinks
    int32_t Position = 0;       // caller's position (record, row), quoted by conversion messages
    TXMLNodeType NodeType = ntNode;
    bool IsHTML = false;        // attribute values may be bare names
    bool IgnoreCase = false;    // child and attribute lookup by name ignores letter case

    // Attributes and children. The lists are made on first use, taking IgnoreCase from the node
    // at that moment; the const forms give an empty list instead of making one.
    TXMLNodeList& Attrs();
    TXMLNodeList& Nodes();
    const TXMLNodeList& Attrs() const;
    const TXMLNodeList& Nodes() const;
    // Declarations ("<?...?>") met while parsing this node; null until the first one.
    TXMLNodeList* Header() const;
    TXMLNodeList& CreateHeader();

    // --- Parser. Parses one node of text at pos into this node and advances pos past it.
    void ParseXML(std::string_view text, std::size_t& pos);
    // Parses a whole document into this node: one node, then nothing but blanks, comments and
    // declarations (anything else, a second root element included, is a parse error).
    void ParseDocument(std::string_view text);

    // --- Accessors.
    int GetCount() const;
    TXMLNode* GetNodebyIndex(int index) const;  // EListError when out of range
    // An element's value is that of its first text or CDATA child (empty when none).
    std::string GetValue() const;
    void SetValue(const std::string& value);
    // Attribute value, empty when absent (lookup honours IgnoreCase).
    std::string GetAttr(std::string_view name) const;
    // GetAttr converted strictly; EConvertError for an empty or non-numeric value.
    int GetAttrI(std::string_view name) const;
    // The attribute node called name (lookup honours IgnoreCase), null when absent.
    TXMLNode* AttrNode(std::string_view name) const;
    // Sets or adds the attribute; an empty value removes it.
    void SetAttr(const std::string& name, const std::string& value);

    // --- Paths (a small subset of XPath: steps, "@attr", ".", "..", "//", "[n]", "[last()]",
    // "[key=value]").
    // The node the path leads to, or null. With create, missing plain steps are appended and
    // the value is set on the node reached ("@name" sets the attribute); bracket steps never create.
    TXMLNode* NodebyName(std::string_view path, bool create, const std::string& value = std::string());
    TXMLNode* NodebyName(std::string_view path) const;
    // As NodebyName, but raises lm::Exception "Раздел "<path>" не найден!" instead of null.
    TXMLNode* NodeByNameEx(std::string_view path) const;
    std::string GetNode(std::string_view path) const;   // GetValue of the node found, empty when none
    void SetNode(std::string_view path, const std::string& value);

    // --- Searches.
    // The first child whose attribute attr equals value; with an empty value a child without
    // the attribute also matches. Null when none.
    TXMLNode* NodebyAttr(std::string_view attr, std::string_view value) const;
    // Names from the root down to this node joined by separator (extra takes no part).
    std::string FullName(std::string_view separator, std::string_view extra = {}) const;
    TXMLNode* Root() const;
    TXMLNode* NextNode() const;     // following sibling, null for the last one and for a root
    TXMLNode* NextSibling() const;  // next node in document order (pre-order), null at the end
    // NodebyNameAttr among the children, else FindNode in each child's subtree.
    TXMLNode* FindNode(std::string_view name, std::string_view attr, std::string_view value) const;
    // NodebyName(path) at node, else RecursiveFind in each child of node; null when none.
    static TXMLNode* RecursiveFind(const TXMLNode* node, std::string_view path);
    // The first descendant of node, in document order, whose attribute attr equals value.
    static TXMLNode* FindNodebyAttr(const TXMLNode* node, std::string_view attr, std::string_view value);
    // Clears list, then adds GetAttr(attr) of every child called exactly name.
    void NodesToStrings(std::string_view name, std::string_view attr, TStrings& list) const;
    // The non-empty GetAttr(attr) (GetValue when attr is empty) of the children called name
    // (all children when name is empty) joined by separator, trimmed.
    std::string UnionNodeValues(std::string_view name, std::string_view attr, std::string_view separator) const;
    // For every descendant called name with a non-empty attribute attr: Link becomes
    // target->NodebyAttr(targetAttr, that value).
    void SetLinks(std::string_view name, std::string_view attr, const TXMLNode* target, std::string_view targetAttr);

    // --- Tree changes.
    void DeleteNode(int index);  // frees child index; EListError when out of range
    // Puts newNode at oldNode's place and frees oldNode. Raises lm::Exception "Replaced node not
    // found" when oldNode is not a child; newNode then stays with the caller.
    void ReplaceNode(TXMLNode* oldNode, std::unique_ptr<TXMLNode>&& newNode);
    // Swaps the child with its next (down) or previous neighbour; false when it is already
    // last (first). Raises lm::Exception "Узел для перемещения не найден" when it is not a child.
    bool MoveNode(TXMLNode* node, bool down);
    // Moves every child, in order, to the end of target's children. Moving into this node's
    // own subtree raises lm::Exception and changes nothing.
    void MoveChildsTo(TXMLNode* target);
    // Sorts the children by a list of keys separated by "," or ";": attribute texts ignoring
    // case, attribute integers, path texts, path integers. Integer sorts raise EConvertError
    // for a value that is not an integer.
    void SortbyAttr(std::string_view keys, bool ascending);
    void SortbyIntAttr(std::string_view keys, bool ascending);
    void SortbyNode(std::string_view keys, bool ascending);
    void SortbyIntNode(std::string_view keys, bool ascending);

    // --- Typed reads (varType: xvtInteger, xvtDouble, xvtCurrency, xvtDate, xvtString).
    // "." and "," both read as the decimal separator for doubles and currency.
    // Node text at path (this node's value when path is empty) converted; def when the text is
    // empty. Integers come back as currency. A failure gets CR LF and
    // "Узел "%s", строка %d имеет неверный формат." appended.
    Variant NodeAsTypeDef(std::string_view path, int varType, const Variant& def);
    // NodeAsTypeDef with a null default; a null result raises "Узел "%s" не найден".
    Variant NodeAsType(std::string_view path, int varType);
    Variant NodeAsType(std::string_view path, int varType, int position);  // stores position first
    // Attribute converted; null for an unknown type; EAbort for an empty string attribute.
    // A failure gets CR LF and "Атрибут "%s" не задан или имеет неверный формат." appended.
    Variant AttrAsType(std::string_view name, int varType) const;
    Variant AttrAsTypeDef(std::string_view name, int varType, const Variant& def) const;
    // Conversions raising messages that name the node and Position.
    Currency TryNodeStrToCurrency(const std::string& s, std::string_view nodeName) const;
    double TryNodeStrToDooble(const std::string& s, std::string_view nodeName) const;
    TDateTime TryNodeStrToDateTime(const std::string& s, std::string_view nodeName) const;

    // --- Writer.
    std::string Code() const;                    // compact, declarations in front
    std::string HeaderCode() const;              // "<?name attrs ?>" of a declaration node
    void FastCode(TFastString& buffer) const;    // compact, no declarations
    std::string FormattedCode(const std::string& indent) const;  // one space more per level
    // Two spaces more per level; a root's children start at two spaces. No declarations.
    void FormattedFastCode(TFastString& buffer, const std::string& indent) const;
    // Writes the first declaration (when there is a Header) and the indented body as the new
    // content of fileName (a Windows-1251 name), the way TFileReplacer replaces a file: links
    // followed, permissions kept, a file the user may not write refused; EInOutError on
    // failure, the old file kept. With freeAfter the node (which must have been made by a factory) is freed, after
    // being taken out of its parent's list.
    void SaveXML(const std::string& fileName, bool freeAfter = false);

    // --- Schema check against an element-type schema; raises lm::Exception on the first
    // violation.
    void Validate(const TXMLNode* schema) const;

private:
    TXMLNode() = default;
    TXMLNode* FindPath(std::string_view path, bool create, const std::string& value);
    void SortBy(std::string_view keys, bool ascending, bool byNode, bool asInteger);

    // The lists, null until first use: the attribute and child lists are made together (an
    // element nearly always needs both), the declarations only when there are some.
    struct Lists;
    Lists& lists();
    TXMLNodeList* attrList() const;
    TXMLNodeList* nodeList() const;
    std::unique_ptr<Lists> m_lists;
};

} // namespace lm
