// TfrxComponent: one object of a version-3 report (page, band, view, dialog control or any
// element a file brings), with its properties as named texts in file order and its children.
//
// Properties are kept as the .fr3 attributes spell them ("Left", "Font.Name", "Frame.Typ"), so
// that a property this code does not know survives a load and a save. Typed accessors read and
// write the same texts: numbers with "." as the decimal point, Booleans as "True"/"False".
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lm {

// The engine's length unit: one screen pixel at 96 per inch, so 0.1 cm is 3.7795… units.
inline constexpr double fr01cm = 96.0 / 25.4;
inline constexpr double fr1cm = fr01cm * 10;

struct TfrxProperty {
    std::string Name;
    std::string Value;
    bool operator==(const TfrxProperty&) const = default;
};

class TfrxComponent {
public:
    explicit TfrxComponent(std::string className) : m_className(std::move(className)) {}
    virtual ~TfrxComponent();
    TfrxComponent(const TfrxComponent&) = delete;
    TfrxComponent& operator=(const TfrxComponent&) = delete;

    const std::string& ClassName() const { return m_className; }

    // --- Properties.
    const std::vector<TfrxProperty>& Props() const { return m_props; }
    // The text of a property; empty when it is not set.
    const std::string& Prop(std::string_view name) const;
    bool HasProp(std::string_view name) const;
    // Sets (in place) or appends the property.
    void SetProp(std::string_view name, std::string value);
    void RemoveProp(std::string_view name);
    // Typed forms: the default when the property is not set or not a number.
    double PropFloat(std::string_view name, double def = 0) const;
    void SetPropFloat(std::string_view name, double value);
    int PropInt(std::string_view name, int def = 0) const;
    void SetPropInt(std::string_view name, long long value);
    bool PropBool(std::string_view name, bool def = false) const;
    void SetPropBool(std::string_view name, bool value);

    std::string Name() const { return Prop("Name"); }
    void SetName(const std::string& name) { SetProp("Name", name); }
    // Position and size in engine units; a child's position is relative to its parent band.
    double Left() const { return PropFloat("Left"); }
    double Top() const { return PropFloat("Top"); }
    double Width() const { return PropFloat("Width"); }
    double Height() const { return PropFloat("Height"); }
    void SetLeft(double v) { SetPropFloat("Left", v); }
    void SetTop(double v) { SetPropFloat("Top", v); }
    void SetWidth(double v) { SetPropFloat("Width", v); }
    void SetHeight(double v) { SetPropFloat("Height", v); }
    void SetBounds(double left, double top, double width, double height);
    bool Visible() const { return PropBool("Visible", true); }
    void SetVisible(bool v) { SetPropBool("Visible", v); }

    // Text content of an element that a file gave one (kept for writing back).
    std::string Content;

    // --- Children.
    TfrxComponent* Parent() const { return m_parent; }
    int Count() const { return static_cast<int>(m_children.size()); }
    TfrxComponent* Objects(int index) const { return m_children.at(index).get(); }
    // Takes the child and appends it (or inserts it at index); returns it.
    TfrxComponent* Add(std::unique_ptr<TfrxComponent> child);
    TfrxComponent* Insert(int index, std::unique_ptr<TfrxComponent> child);
    // Removes a child and hands it back; null when it is not a child of this one.
    std::unique_ptr<TfrxComponent> Take(TfrxComponent* child);
    void ClearObjects() { m_children.clear(); }
    // Every descendant, parents before their children.
    std::vector<TfrxComponent*> AllObjects() const;
    // The descendant of that name (ignoring letter case), or null.
    TfrxComponent* FindObject(std::string_view name) const;

    // Same class, the same properties (in any order), content and equal children in order.
    bool SameAs(const TfrxComponent& other) const;

private:
    std::string m_className;
    std::vector<TfrxProperty> m_props;
    std::vector<std::unique_ptr<TfrxComponent>> m_children;
    TfrxComponent* m_parent = nullptr;
};

// Multi-line properties ("Text", "Items.Text") hold their lines joined by CR LF.
std::string frxJoinLines(const std::vector<std::string>& lines);
// The lines of such a text (CR LF, LF or CR end a line); none for the empty text.
std::vector<std::string> frxSplitLines(const std::string& text);

} // namespace lm
