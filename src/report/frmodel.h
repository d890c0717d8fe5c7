// The version-2 report model (TfrReport): pages, views of every stream type, the variables
// dictionary, report information and the master dataset link, as the binary .frf files hold them.
//
// The model keeps the stream's own values (flag bits, frame codes, the packed display format,
// coordinates in report units) so that a file read and written again is unchanged; meanings are
// applied by the code that uses them (conversion, print wizard).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/graphics.h"
#include "util/component.h"

namespace lm {

class TDataSet;
class TfrStreamReader;
class TfrStreamWriter;

// Object type codes of the stream (the byte that starts an object record).
enum TfrObjectType : uint8_t { gtMemo = 0, gtPicture = 1, gtBand = 2, gtSubReport = 3, gtLine = 4, gtAddIn = 10 };

// Band types of the version-2 engine (the low byte of a band's frame-type field).
enum TfrBandType : uint8_t {
    btReportTitle, btReportSummary, btPageHeader, btPageFooter, btMasterHeader, btMasterData,
    btMasterFooter, btDetailHeader, btDetailData, btDetailFooter, btSubDetailHeader, btSubDetailData,
    btSubDetailFooter, btOverlay, btColumnHeader, btColumnFooter, btGroupHeader, btGroupFooter,
    btCrossHeader, btCrossData, btCrossFooter, btChild,
};

// Common view flag bits (the meaning depends on the object kind).
inline constexpr int16_t flStretched = 1, flWordWrap = 2, flWordBreak = 4, flAutoSize = 8;
inline constexpr int16_t flBandNewPageAfter = 2, flBandPrintIfSubsetEmpty = 4, flBandBreaked = 8;
inline constexpr int16_t flBandOnFirstPage = 16, flBandOnLastPage = 32, flBandRepeatHeader = 64;
inline constexpr int16_t flBandPrintChildIfInvisible = 128;

// Frame line bits of the frame-type field.
inline constexpr int16_t frbRight = 1, frbBottom = 2, frbLeft = 4, frbTop = 8, frbAll = 15;

// Memo alignment bits.
inline constexpr int32_t frtaRight = 1, frtaCenter = 2, frtaVertical = 4, frtaMiddle = 8, frtaDown = 16;

// The newest file version this model writes by default.
inline constexpr uint8_t frCurrentVersion = 25;

// One object of a page, with the fields every object record carries.
class TfrView {
public:
    TfrView(uint8_t typ, std::string className = {}) : Typ(typ), ClassName(std::move(className)) {}
    virtual ~TfrView() = default;
    TfrView(const TfrView&) = default;
    TfrView& operator=(const TfrView&) = default;

    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) { x = left; y = top; dx = width; dy = height; }
    // The first and second type byte as one number (first × 10 + second).
    int SubVersion() const { return BaseType1 * 10 + BaseType2; }
    // Same class and equal fields (used to compare a model with what was read back).
    virtual bool SameAs(const TfrView& other) const;

    uint8_t Typ;
    std::string ClassName;  // add-in objects (type 10) only
    std::string Name;
    uint8_t BaseType1 = 0, BaseType2 = 0;
    int32_t x = 0, y = 0, dx = 0, dy = 0;
    int16_t Flags = 0;
    int16_t FrameTyp = 0;
    int32_t FrameWidth = 1000;  // thousandths of a unit
    TColor FrameColor = clBlack;
    int16_t FrameStyle = 0;
    TColor FillColor = clNone;
    int32_t Format = 0;          // packed display format: category, sub-format, decimals, separator
    std::string FormatStr;       // custom format; a band's dataset or group condition
    std::vector<std::string> Memo;
    std::vector<std::string> Script;
    bool Visible = true;
    // Fields of version 25 files that the engine keeps for itself.
    int16_t Later1 = 0;
    std::string Later2;
    int32_t Later3 = 0, Later4 = 0;
    uint8_t FrameStyleByte = 0;  // present when the first type byte is above 1

    // Object-specific fields after the common ones (none for lines and unknown types).
    virtual void LoadSpecific(TfrStreamReader&, uint8_t /*version*/) {}
    virtual void SaveSpecific(TfrStreamWriter&, uint8_t /*version*/) const {}
    virtual std::unique_ptr<TfrView> Clone() const { return std::make_unique<TfrView>(*this); }

protected:
    bool sameCommon(const TfrView& o) const;
};

// Text object (type 0, also the framed memo add-in, which carries 8 more bytes).
class TfrMemoView : public TfrView {
public:
    explicit TfrMemoView(const std::string& className = {}) : TfrView(className.empty() ? gtMemo : gtAddIn, className) {}
    std::string FontName = "Arial";
    int32_t FontSize = 10;
    int16_t FontStyle = 0;  // TFontStyle bits
    TColor FontColor = clBlack;
    int32_t Alignment = 0;  // frta* bits
    int16_t Charset = 1;    // stored from version 23 on
    int16_t HighlightStyle = 0;
    TColor HighlightFontColor = clBlack;
    TColor HighlightFillColor = clNone;
    std::string HighlightCondition;
    int32_t LineSpacing = 2, CharSpacing = 0;  // stored from version 24 on
    std::array<uint8_t, 8> FramedExtra{};      // the framed memo's own bytes

    bool IsFramed() const;
    void LoadSpecific(TfrStreamReader& r, uint8_t version) override;
    void SaveSpecific(TfrStreamWriter& w, uint8_t version) const override;
    bool SameAs(const TfrView& other) const override;
    std::unique_ptr<TfrView> Clone() const override { return std::make_unique<TfrMemoView>(*this); }
};

// Picture (type 1): the graphic's kind and its bytes as stored.
class TfrPictureView : public TfrView {
public:
    TfrPictureView() : TfrView(gtPicture) {}
    uint8_t Kind = 0;  // 1 bitmap, 2 metafile, 3 icon, 4 JPEG, other: none
    uint8_t KindExtra = 0;  // stored when the sub-version is above 10
    std::string Image;

    void LoadSpecific(TfrStreamReader& r, uint8_t version) override;
    void SaveSpecific(TfrStreamWriter& w, uint8_t version) const override;
    bool SameAs(const TfrView& other) const override;
    std::unique_ptr<TfrView> Clone() const override { return std::make_unique<TfrPictureView>(*this); }
};

// Band (type 2). Its type is the low byte of FrameTyp; FormatStr holds the data source (a row
// count or a dataset name) or a group header's condition.
class TfrBandView : public TfrView {
public:
    explicit TfrBandView(TfrBandType type = btMasterData) : TfrView(gtBand) { SetBandType(type); }
    TfrBandType BandType() const { return static_cast<TfrBandType>(FrameTyp & 0xFF); }
    void SetBandType(TfrBandType type) { FrameTyp = static_cast<int16_t>((FrameTyp & 0xFF00) | type); }
    std::string ChildName;                     // version 24 on
    int32_t Columns = 0, ColumnWidth = 0, ColumnGap = 0, Reserved = 0;
    std::string Extra;                         // when the sub-version is above 20

    void LoadSpecific(TfrStreamReader& r, uint8_t version) override;
    void SaveSpecific(TfrStreamWriter& w, uint8_t version) const override;
    bool SameAs(const TfrView& other) const override;
    std::unique_ptr<TfrView> Clone() const override { return std::make_unique<TfrBandView>(*this); }
};

// Sub-report (type 3): the index of the page it prints.
class TfrSubReportView : public TfrView {
public:
    TfrSubReportView() : TfrView(gtSubReport) {}
    int32_t SubPage = 0;
    void LoadSpecific(TfrStreamReader& r, uint8_t version) override;
    void SaveSpecific(TfrStreamWriter& w, uint8_t version) const override;
    bool SameAs(const TfrView& other) const override;
    std::unique_ptr<TfrView> Clone() const override { return std::make_unique<TfrSubReportView>(*this); }
};

// Add-in object (type 10) of a known class: dialog controls, barcodes, charts, check boxes,
// cross-tabs, OLE, rich text and shapes. Its own fields are named integers, texts and one block
// of bytes, laid out per class (see frAddInLayout). An unknown class keeps the bytes up to the
// next record (files of version 24 on) in Blob.
class TfrAddInView : public TfrView {
public:
    explicit TfrAddInView(std::string className) : TfrView(gtAddIn, std::move(className)) {}
    int64_t Int(const std::string& name) const;
    const std::string& Str(const std::string& name) const;
    std::map<std::string, int64_t> Ints;
    std::map<std::string, std::string> Strs;
    std::string Blob;
    bool Known() const;

    void LoadSpecific(TfrStreamReader& r, uint8_t version) override;
    void SaveSpecific(TfrStreamWriter& w, uint8_t version) const override;
    bool SameAs(const TfrView& other) const override;
    std::unique_ptr<TfrView> Clone() const override { return std::make_unique<TfrAddInView>(*this); }
};

// Creates the object of a record: the type byte and, for add-ins, the class name.
std::unique_ptr<TfrView> frCreateObject(uint8_t typ, const std::string& className = {});

// Page kinds of the page-type byte.
enum TfrPageType : uint8_t { ptReport = 0, ptDialog = 1 };

class TfrPage {
public:
    int32_t pgSize = 9;              // paper code (9 = A4); 256 custom
    int32_t Width = 2100, Height = 2970;  // tenths of a millimetre
    std::array<int32_t, 4> Margins{};     // left, top, right, bottom in report units (18/5 per mm)
    uint8_t Orientation = 0;         // 0 portrait, 1 landscape
    std::array<uint8_t, 6> Spare{};  // files before version 23
    int32_t Bin = -1;                // paper bin, stored from version 24 on
    int16_t PrintToPrevPage = 0;
    int16_t UseMargins = 1;
    int32_t ColCount = 1;
    int32_t ColGap = 0;              // report units
    // Version 24 on.
    TfrPageType PageType = ptReport;
    std::string Name;
    uint8_t BorderStyle = 0;
    std::string Caption;
    TColor Color = clBtnFace;
    std::array<int32_t, 4> Bounds{};  // a dialog's left, top, width, height
    std::vector<std::string> Script;

    std::vector<std::unique_ptr<TfrView>> Objects;

    TfrPage() = default;
    TfrPage(const TfrPage& other);
    TfrView* Add(std::unique_ptr<TfrView> view);
    TfrView* FindObject(const std::string& name) const;
    bool SameAs(const TfrPage& other) const;
};

// One entry of the variables dictionary: a name starting with a blank is a category heading.
struct TfrVariable {
    std::string Name;
    std::string Value;
    bool operator==(const TfrVariable&) const = default;
};

class TfrVariables {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    const TfrVariable& Items(int i) const { return m_items.at(i); }
    // Sets the value of the variable of that name (ignoring letter case), adding it at the end
    // when absent.
    void SetVariable(const std::string& name, const std::string& value);
    int IndexOf(const std::string& name) const;  // -1 when absent
    void Add(const std::string& name, const std::string& value) { m_items.push_back({name, value}); }
    void Clear() { m_items.clear(); }
    bool operator==(const TfrVariables&) const = default;
private:
    std::vector<TfrVariable> m_items;
};

// The report-information record.
struct TfrReportInfo {
    bool Present = false;
    std::string Description, Name, Author, VMajor, VMinor, VRelease, VBuild, Password;
    std::array<uint8_t, 2> Reserved{};
    double CreateDate = 0, LastChange = 0;
    bool operator==(const TfrReportInfo&) const = default;
};

class TfrDBDataSet;

// A version-2 report: the header, the pages and their objects, the dictionary and information.
class TfrReport : public TComponent {
public:
    explicit TfrReport(TComponent* owner = nullptr) : TComponent(owner) {}

    // Header fields.
    bool PrintToDefault = true;
    bool DoublePass = false;
    std::string PrinterName;
    std::vector<std::unique_ptr<TfrPage>> Pages;
    TfrVariables Variables;
    // The second and third name/value lists of the dictionary record, kept for writing back.
    std::vector<TfrVariable> DictionaryExtra1, DictionaryExtra2;
    TfrReportInfo Info;
    // Run-time settings that the files do not hold.
    std::string Title;
    std::string Comment;
    std::string FileName;
    TfrDBDataSet* Dataset() const { return m_dataset; }
    void SetDataset(TfrDBDataSet* dataset);

    TfrPage* AddPage();
    void Clear();
    // The version of the file last read (frCurrentVersion for a new report).
    uint8_t Version() const { return m_version; }

    // Reads a stream in the layout of the .frf files. A damaged object of a version that stores
    // its end position is skipped; anything else unreadable raises EFrfError ("Error in frf
    // file"), and the report then holds what was read before it.
    void LoadFromStream(const std::string& data);
    void LoadFromFile(const std::string& fileName);
    // Writes the report in the layout of the given file version (21 … 25).
    std::string SaveToStream(uint8_t version = frCurrentVersion) const;
    void SaveToFile(const std::string& fileName, uint8_t version = frCurrentVersion) const;

    bool SameAs(const TfrReport& other) const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TfrReader;
    TfrDBDataSet* m_dataset = nullptr;
    uint8_t m_version = frCurrentVersion;
};

} // namespace lm
