// TDemoSettings: the demo application's own settings, kept per user in the settings store under
// the application's registry root.
#pragma once

namespace lm {

struct TDemoSettings {
    bool UseOpenOffice = false;   // the grid export writes .ods instead of .xlsx
    bool KazakhKeyboard = false;  // typed Kazakh letters go into the database's private code points
    bool ShowFooters = true;      // the grid's totals row
    int GridFontSize = 9;         // points, 7..14
    int ExpensivePrice = 5000;    // the price from which a good is coloured as expensive, roubles

    // Reads the stored values; missing or out-of-range ones keep their defaults.
    void Load();
    // Stores every value.
    void Save() const;
};

// The registry root of the demo application (glVars' RegRoot).
inline constexpr const char* kDemoRegRoot = "\\Software\\Lumora\\LMPackDemo";

} // namespace lm
