// TDevelopInfo: the screen metrics a form was designed with, stored with the form, and the
// guard against saving a form designed at another resolution by accident.
#pragma once

#include <string>

#include "forms/scaleforms.h"

namespace lm {

// The values stored with the form: "DevPixelsPerInch", "DevTextHeight", "FormClass".
struct TDevelopMetrics {
    int DevPixelsPerInch = kDesignPixelsPerInch;
    int DevTextHeight = kDesignTextHeight;
    std::string FormClass;
};

class TDevelopInfo {
public:
    // `ownerClass` is the class name of the form the component sits on.
    explicit TDevelopInfo(std::string ownerClass);

    // Back to the design defaults (13, 96).
    void SetDefault();
    // Takes the values read with the form; values stored on another form class are dropped
    // for the defaults, so a copied component does not carry another form's metrics.
    void Read(const TDevelopMetrics& stored);
    // The values to store: the current text height and pixels per inch and the owner's class.
    TDevelopMetrics Write(int curTextHeight, int curPixelsPerInch) const;
    // Before writing, in the designer and not while loading: raises "Form %s .
    // NewPixelsPerInch<>OldPixelsPerInch - Need SavePermission!" when the screen's pixels per
    // inch differ from the design value and SavePermission is off.
    void CheckSavePermission(bool designing, bool loading, int curPixelsPerInch) const;

    int OldPixeldPerInch() const { return m_pixelsPerInch; }
    int OldTextHeight() const { return m_textHeight; }
    bool SavePermission() const { return m_savePermission; }
    void SetSavePermission(bool permit) { m_savePermission = permit; }

private:
    std::string m_ownerClass;
    int m_pixelsPerInch = kDesignPixelsPerInch;
    int m_textHeight = kDesignTextHeight;
    bool m_savePermission = false;
};

} // namespace lm
