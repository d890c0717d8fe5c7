// TObject: the root of the classes that string lists, date lists and trees hold as attached
// objects, so that a list owning its objects can destroy them through the base.
#pragma once

namespace lm {

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
};

} // namespace lm
