// TfrmProgressBox: the Qt window of the progress box, with its title, bar, note and
// "Прервать" button.
#pragma once

#include <QPointer>
#include <QWidget>

#include "forms/progressbox.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace lm {

class TfrmProgressBox : public QWidget, public IProgressWindow {
    Q_OBJECT

public:
    // A top-level window without border icons, kept above `over` (the active window, may be
    // null) without being its child, so that disabling that window leaves this one usable.
    TfrmProgressBox(TProgressBox* box, QWidget* over);
    ~TfrmProgressBox() override;

    void SetTitle(const std::string& text) override;
    void SetBoxWidth(int width) override;
    void SetNote(const std::string& text) override;
    void SetBarMax(int max) override;
    int BarMax() const override;
    int BarPosition() const override;
    void SetBarPosition(int position) override;
    void SetAbortVisible(bool visible) override;
    bool Aborted() const override { return m_aborted; }
    // Shows the window centred over the window it was made for (or the screen).
    void ShowModeless() override;
    void Close() override;

    QProgressBar* Bar() const { return m_bar; }
    QLabel* lbNote() const { return m_note; }
    QPushButton* btnAbort() const { return m_abort; }

protected:
    // Tells the box, then deletes the window once control is back in the event loop.
    void closeEvent(QCloseEvent* event) override;

private:
    TProgressBox* m_box;
    QPointer<QWidget> m_over;
    QProgressBar* m_bar;
    QLabel* m_note;
    QPushButton* m_abort;
    int m_barMax = 0;
    bool m_aborted = false;
};

} // namespace lm
