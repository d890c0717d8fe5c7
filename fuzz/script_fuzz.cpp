// Fuzz target: arbitrary text through the script compiler (normal and version-2 modes), and,
// when it compiles, through a run of the main block and of every routine on a small step
// budget; the same text is also compiled as an expression. Only lm::Exception may come out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/script.h"

using namespace lm;

namespace {

// A host object with one read-write property and one method, so member paths are reached.
class FuzzObject : public TScriptObject {
public:
    int FindMember(std::string_view name) const override
    {
        return name.size() == 4 ? 0 : name.size() == 3 ? 1 : -1;
    }
    Variant GetMember(int id) override { return id == 0 ? Variant(value) : Variant(1); }
    void SetMember(int id, const Variant& v) override
    {
        if (id == 0)
            value = v.AsString();
    }
    std::string value;
};

void runAll(TScript& s)
{
    try {
        s.Execute();
    } catch (const Exception&) {
    }
    for (const char* name : {"F", "P", "Expr_IsTrue", "A", "B"})
        if (TScriptRoutine r = s.FindRoutine(name)) {
            try {
                s.Call(r, {Variant(1), Variant("x")});
            } catch (const Exception&) {
            }
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzObject object;
    if (size == 0 || size > 4096)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    TScript s;
    s.SetCompatV2(data[0] & 1);
    s.SetMaxSteps(2000);
    s.AddFunction("Get", [](const TScriptArgs& a) { return a.Count() ? a[0] : Variant::Null(); }, 1, 1);
    s.AddObject("Memo", &object);
    s.AddVariable("V", Variant(0));
    s.SetText(text);
    if (s.Compile())
        runAll(s);
    try {
        s.Evaluate(text);
    } catch (const Exception&) {
    }
    return 0;
}
