// TfrmGoodsCard: the goods record form - a root field panel with one panel per field (line
// edits, the check boxes), OK and Cancel, and the record form settings that decide the keys,
// the focused field and the form's size per user.
#pragma once

#include <QDialog>

class QPushButton;

namespace lm {

class TDataSource;
class TQtAFPanel;
class TQtAnketProps;

class TfrmGoodsCard : public QDialog {
    Q_OBJECT

public:
    // The form over the current record of `source`'s dataset; `inserting` for a new record.
    TfrmGoodsCard(TDataSource* source, bool inserting, QWidget* parent = nullptr);
    ~TfrmGoodsCard() override;

    TQtAFPanel* RootPanel() const { return m_root; }
    TQtAnketProps* Props() const { return m_props; }
    QPushButton* OkButton() const { return m_ok; }

private:
    TQtAFPanel* panel(const char* name, const QRect& bounds);
    TQtAFPanel* edit(const char* name, const char* field, const QRect& bounds);
    TQtAFPanel* check(const char* name, const char* field, const QRect& bounds);

    TDataSource* m_source;
    TQtAFPanel* m_root;
    TQtAnketProps* m_props = nullptr;
    QPushButton* m_ok = nullptr;
};

// The registry key of the record form's panels and settings.
inline constexpr const char* kGoodsCardKey = "\\Software\\Lumora\\LMPackDemo\\Forms\\frmGoodsCard";

} // namespace lm
