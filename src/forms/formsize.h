// TFormSize: where a package form keeps its position, size and window state for the user, per
// screen resolution and font choice, and the rules of restoring and saving them.
#pragma once

#include <memory>
#include <string>

namespace lm {

class TRegistry;
class TRegistryStore;

enum TWindowState : int { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

// A form's placement in screen pixels, as the window shows it.
struct TFormPlacement {
    int Top = 0;
    int Left = 0;
    int Height = 0;
    int Width = 0;
    TWindowState State = wsNormal;
};

class TFormSize {
public:
    // `className` is the form's class name, `sizeSuffix` the GetSizeSuffix of its creation.
    // The registry works on `store`, or on the per-user default store when null.
    TFormSize(std::string className, std::string sizeSuffix, TRegistryStore* store = nullptr);
    ~TFormSize();

    // "\Software\Lumora\LMPack\Forms" + size suffix + "\" + class name.
    std::string FormKey() const;

    // The stored placement over `placement` (the form's designed one): "Height" and "Width"
    // only for a sizeable form; "Top"/"Left" when stored, else centred on the screen (never
    // above or left of it); "State" when stored.
    void RestoreSize(TFormPlacement& placement, bool sizeable, int screenWidth, int screenHeight);
    // Stores "State" unless minimised; in the normal state also "Top", "Left" and, for a
    // sizeable form, "Height" and "Width". The key and its "\Size" sub-key are created.
    void SaveSize(const TFormPlacement& placement, bool sizeable);

private:
    std::string m_className;
    std::string m_sizeSuffix;
    std::unique_ptr<TRegistry> m_registry;
};

} // namespace lm
