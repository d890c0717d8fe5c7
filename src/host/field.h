// TField and its typed subclasses: one column of a dataset as the components see it (names,
// display properties, lookup definition, value access and display text).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/recordstore.h"
#include "util/component.h"
#include "util/currency.h"
#include "util/sysutils.h"
#include "util/variant.h"

namespace lm {

class TDataSet;

enum TFieldType : uint8_t {
    ftUnknown,
    ftString,
    ftFixedChar,  // CHAR(n): a string field padded by the database
    ftSmallint,
    ftInteger,
    ftLargeint,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,        // NUMERIC/DECIMAL with at most four decimals, held as Currency
    ftDate,
    ftTime,
    ftDateTime,
    ftBlob,
    ftMemo,
};

// fkData: a column of the dataset; fkCalculated: filled by the dataset's OnCalcFields;
// fkLookup: the result field of a record of LookupDataSet found by this dataset's KeyFields.
enum TFieldKind : uint8_t { fkData, fkCalculated, fkLookup };

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

class TField : public TComponent {
public:
    // The owner (often the dataset itself) destroys the field; nullptr leaves it to the caller.
    explicit TField(TComponent* owner = nullptr);
    ~TField() override;

    // Attaches the field to a dataset's field list (detaching it from the previous one).
    // Raises lm::Exception when either dataset is open.
    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* dataSet);

    const std::string& FieldName() const { return m_fieldName; }
    void SetFieldName(const std::string& name) { m_fieldName = name; }
    const std::string& FullName() const { return m_fieldName; }
    // DisplayLabel falls back to FieldName when no label was set; DisplayName is the same text.
    const std::string& DisplayLabel() const { return m_displayLabel.empty() ? m_fieldName : m_displayLabel; }
    void SetDisplayLabel(const std::string& label) { m_displayLabel = label; }
    const std::string& DisplayName() const { return DisplayLabel(); }
    // Characters a grid column needs; the type's default until set.
    int DisplayWidth() const { return m_displayWidth > 0 ? m_displayWidth : DefaultWidth(); }
    void SetDisplayWidth(int width) { m_displayWidth = width; }
    // Position in the dataset's Fields; SetIndex moves the field there (clamped). -1 when
    // unattached, and SetIndex is then ignored: attach the field first.
    int Index() const;
    void SetIndex(int index);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    // Characters of a string field, decimals of a BCD field, 0 otherwise.
    int Size() const { return m_size; }
    void SetSize(int size) { m_size = size; }
    TFieldType DataType() const { return m_dataType; }
    TFieldKind FieldKind() const { return m_fieldKind; }
    void SetFieldKind(TFieldKind kind) { m_fieldKind = kind; }
    bool Calculated() const { return m_fieldKind == fkCalculated; }
    // The column the field comes from as the dataset reports it (for example "G.NAME"), or empty.
    const std::string& Origin() const { return m_origin; }
    void SetOrigin(const std::string& origin) { m_origin = origin; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool Required() const { return m_required; }
    void SetRequired(bool required) { m_required = required; }
    // 1-based number of the field definition the field reads, 0 for calculated and lookup fields.
    int FieldNo() const { return m_fieldNo; }

    // Lookup definition. KeyFields and LookupKeyFields are ";"-separated lists of equal length.
    bool Lookup() const { return m_fieldKind == fkLookup; }
    void SetLookup(bool lookup) { m_fieldKind = lookup ? fkLookup : fkData; }
    const std::string& KeyFields() const { return m_keyFields; }
    void SetKeyFields(const std::string& names) { m_keyFields = names; RefreshLookupList(); }
    TDataSet* LookupDataSet() const { return m_lookupDataSet; }
    void SetLookupDataSet(TDataSet* dataSet);
    const std::string& LookupKeyFields() const { return m_lookupKeyFields; }
    void SetLookupKeyFields(const std::string& names) { m_lookupKeyFields = names; RefreshLookupList(); }
    const std::string& LookupResultField() const { return m_lookupResultField; }
    void SetLookupResultField(const std::string& name) { m_lookupResultField = name; RefreshLookupList(); }
    // With the cache on, each key is looked up once until RefreshLookupList.
    bool LookupCache() const { return m_lookupCache; }
    void SetLookupCache(bool cache) { m_lookupCache = cache; RefreshLookupList(); }
    void RefreshLookupList() { m_cache.clear(); }

    // Values of the dataset's active record (the edit buffer while editing, the record under
    // test inside OnFilterRecord). Without a record the field reads as null.
    bool IsNull() const;
    Variant Value() const;
    // Writers need the dataset in dsEdit or dsInsert (calculated fields also in OnCalcFields);
    // otherwise lm::Exception "Dataset not in edit or insert mode". A text that does not convert
    // to the field's type raises EConvertError. Null or unassigned clears the field.
    void SetValue(const Variant& value);
    // Null reads as the empty text, 0, 0.0 or false.
    std::string AsString() const;
    void SetAsString(const std::string& text);  // the empty text clears a non-string field
    int AsInteger() const;
    void SetAsInteger(int value) { SetValue(Variant(value)); }
    int64_t AsLargeInt() const;
    void SetAsLargeInt(int64_t value) { SetValue(Variant(value)); }
    double AsFloat() const;
    void SetAsFloat(double value) { SetValue(Variant(value)); }
    Currency AsCurrency() const;
    void SetAsCurrency(Currency value) { SetValue(Variant(value)); }
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value) { SetValue(Variant::FromDate(value)); }
    bool AsBoolean() const;
    void SetAsBoolean(bool value) { SetValue(Variant(value)); }
    void Clear() { SetValue(Variant::Null()); }
    // Whether SetValue can succeed now as far as the field and dataset allow it.
    bool CanModify() const;
    // Asks the data links bound to this field to focus their control.
    void FocusControl();

    // The text a grid shows (DisplayFormat applied) and the text an editor edits. Both go
    // through OnGetText when it is assigned.
    std::string DisplayText() const { return textOf(true); }
    std::string Text() const { return textOf(false); }
    // Sets the value from edit text: OnSetText when assigned, otherwise SetAsString.
    void SetText(const std::string& text);

    // Events. OnGetText receives the text to fill and whether the display text is wanted.
    std::function<void(TField* Sender, std::string& Text, bool DisplayText)> OnGetText;
    std::function<void(TField* Sender, const std::string& Text)> OnSetText;
    std::function<void(TField* Sender)> OnChange;

    // How the storage keeps this field's values.
    virtual TStoreKind StoreKind() const = 0;
    // The value of record `rec` of `store` in column `col` as a Variant of the field's kind.
    virtual Variant ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const = 0;
    // Converts `value` (not null) to the field's kind and stores it; EConvertError on bad text.
    virtual void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const = 0;
    // The store column of this field in its dataset, -1 for lookup fields.
    int StoreColumn() const { return m_column; }

protected:
    TField(TComponent* owner, TFieldType type, TAlignment alignment);
    // AsString of a non-null value.
    virtual std::string ValueText(const Variant& value) const { return value.AsString(); }
    // The field's own text of a non-null value (OnGetText aside); ValueText unless overridden.
    virtual std::string GetText(const Variant& value, bool displayText) const;
    virtual int DefaultWidth() const { return 10; }
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TDataSet;
    std::string textOf(bool displayText) const;
    Variant lookupValue() const;

    TDataSet* m_dataSet = nullptr;
    std::string m_fieldName;
    std::string m_displayLabel;
    std::string m_origin;
    std::string m_keyFields;
    std::string m_lookupKeyFields;
    std::string m_lookupResultField;
    TDataSet* m_lookupDataSet = nullptr;
    mutable std::map<std::string, Variant> m_cache;  // joined key texts -> result
    int m_displayWidth = 0;
    int m_size = 0;
    int m_fieldNo = 0;
    int m_column = -1;
    TFieldType m_dataType = ftUnknown;
    TFieldKind m_fieldKind = fkData;
    TAlignment m_alignment = taLeftJustify;
    bool m_visible = true;
    bool m_readOnly = false;
    bool m_required = false;
    bool m_lookupCache = false;
};

class TStringField : public TField {
public:
    explicit TStringField(TComponent* owner = nullptr, TFieldType type = ftString);
    TStoreKind StoreKind() const override { return TStoreKind::skString; }
    Variant ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const override;
    void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const override;

protected:
    int DefaultWidth() const override { return Size() > 0 ? Size() : 20; }
};

// Integer, float and BCD fields: DisplayFormat and EditFormat are FormatFloat patterns.
class TNumericField : public TField {
public:
    const std::string& DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const std::string& format) { m_displayFormat = format; }
    const std::string& EditFormat() const { return m_editFormat; }
    void SetEditFormat(const std::string& format) { m_editFormat = format; }

protected:
    TNumericField(TComponent* owner, TFieldType type);
    // The number through DisplayFormat (display) or EditFormat (edit); the plain value text
    // when that format is empty.
    std::string GetText(const Variant& value, bool displayText) const override;

private:
    std::string m_displayFormat;
    std::string m_editFormat;
};

class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(TComponent* owner = nullptr) : TIntegerField(owner, ftInteger) {}
    TStoreKind StoreKind() const override { return TStoreKind::skInt; }
    Variant ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const override;
    void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const override;

protected:
    TIntegerField(TComponent* owner, TFieldType type) : TNumericField(owner, type) {}
    int DefaultWidth() const override { return 11; }
};

// A SMALLINT column; values outside -32768..32767 raise lm::Exception on writing.
class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* owner = nullptr) : TIntegerField(owner, ftSmallint) {}
    void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const override;

protected:
    int DefaultWidth() const override { return 6; }
};

class TLargeintField : public TNumericField {
public:
    explicit TLargeintField(TComponent* owner = nullptr) : TNumericField(owner, ftLargeint) {}
    TStoreKind StoreKind() const override { return TStoreKind::skInt; }
    Variant ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const override;
    void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const override;

protected:
    int DefaultWidth() const override { return 15; }
};

// Float and BCD fields: numbers with a fraction and a Precision. With Currency() set and no
// DisplayFormat, the display text is the money form ("1 234,50 р." under the Russian settings).
class TFractionalField : public TNumericField {
public:
    bool Currency() const { return m_currency; }
    void SetCurrency(bool currency) { m_currency = currency; }
    int Precision() const { return m_precision; }
    void SetPrecision(int precision) { m_precision = precision; }

protected:
    TFractionalField(TComponent* owner, TFieldType type, int precision)
        : TNumericField(owner, type), m_precision(precision) {}
    std::string GetText(const Variant& value, bool displayText) const override;

private:
    bool m_currency = false;
    int m_precision;
};

// A double.
class TFloatField : public TFractionalField {
public:
    explicit TFloatField(TComponent* owner = nullptr) : TFloatField(owner, ftFloat) {}
    TStoreKind StoreKind() const override { return TStoreKind::skFloat; }
    Variant ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const override;
    void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const override;

protected:
    TFloatField(TComponent* owner, TFieldType type) : TFractionalField(owner, type, 15) {}
    int DefaultWidth() const override { return Precision() + 1; }
};

// A money column: a TFloatField with Currency() on.
class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(TComponent* owner = nullptr);
};

// NUMERIC/DECIMAL with Size() decimals (at most four), held exactly as Currency.
class TBCDField : public TFractionalField {
public:
    explicit TBCDField(TComponent* owner = nullptr);
    TStoreKind StoreKind() const override { return TStoreKind::skInt; }
    Variant ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const override;
    void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const override;

protected:
    int DefaultWidth() const override { return Precision() + 2; }
};

// Date, time and date-time fields: DisplayFormat is a FormatDateTime pattern; without it the
// text is the short date, the long time, or the date with the time when it is not midnight.
class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* owner = nullptr) : TDateTimeField(owner, ftDateTime) {}
    TStoreKind StoreKind() const override { return TStoreKind::skFloat; }
    Variant ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const override;
    void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const override;
    const std::string& DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const std::string& format) { m_displayFormat = format; }

protected:
    TDateTimeField(TComponent* owner, TFieldType type);
    std::string ValueText(const Variant& value) const override;
    std::string GetText(const Variant& value, bool displayText) const override;
    int DefaultWidth() const override { return 18; }

private:
    std::string m_displayFormat;
};

class TDateField : public TDateTimeField {
public:
    explicit TDateField(TComponent* owner = nullptr) : TDateTimeField(owner, ftDate) {}

protected:
    int DefaultWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
public:
    explicit TTimeField(TComponent* owner = nullptr) : TDateTimeField(owner, ftTime) {}

protected:
    int DefaultWidth() const override { return 10; }
};

// DisplayValues is "true text;false text" (default "True;False"); either text, ignoring case,
// sets the value through SetAsString.
class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* owner = nullptr);
    TStoreKind StoreKind() const override { return TStoreKind::skInt; }
    Variant ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const override;
    void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const override;
    const std::string& DisplayValues() const { return m_displayValues; }
    void SetDisplayValues(const std::string& values);

protected:
    std::string ValueText(const Variant& value) const override { return value.AsBoolean() ? m_true : m_false; }
    int DefaultWidth() const override;

private:
    std::string m_displayValues = "True;False";
    std::string m_true = "True";
    std::string m_false = "False";
};

// Binary large object held as bytes.
class TBlobField : public TField {
public:
    explicit TBlobField(TComponent* owner = nullptr) : TBlobField(owner, ftBlob) {}
    TStoreKind StoreKind() const override { return TStoreKind::skString; }
    Variant ReadStored(const TRecordStore& store, int col, TRecordStore::RecId rec) const override;
    void WriteStored(TRecordStore& store, int col, TRecordStore::RecId rec, const Variant& value) const override;

protected:
    TBlobField(TComponent* owner, TFieldType type) : TField(owner, type, taLeftJustify) {}
    // A blob shows its type name in brackets, "(BLOB)" or "(MEMO)", as grids do.
    std::string GetText(const Variant& value, bool displayText) const override;
};

// Text large object: the display text is "(MEMO)", the edit text and AsString the text itself.
class TMemoField : public TBlobField {
public:
    explicit TMemoField(TComponent* owner = nullptr) : TBlobField(owner, ftMemo) {}
};

// A new field of the class that holds `type` (TStringField for ftString and ftFixedChar ...),
// owned by `owner` (nullptr: by the caller). lm::Exception for ftUnknown.
TField* CreateField(TFieldType type, TComponent* owner);
// Whether the type is held as a number (integers, floats, currency, BCD).
bool IsNumericType(TFieldType type);

} // namespace lm
