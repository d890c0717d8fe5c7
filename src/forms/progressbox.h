// TProgressBox: the progress window of long loops (step counting, abort, the active form
// disabled meanwhile), driven through a small window interface that the user-interface layer
// implements.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "util/component.h"

namespace lm {

class TProgressBox;

// The progress window as the box drives it: a title, a bar, a note under it and an abort
// button that only sets Aborted. A window links back to its box: on closing (however it is
// closed) it calls TProgressBox::WindowClosed, then frees itself later, through the message
// queue; its destructor calls TProgressBox::WindowDestroyed. The box may also delete it at
// once, which closes nothing.
class IProgressWindow {
public:
    virtual ~IProgressWindow() = default;
    virtual void SetTitle(const std::string& text) = 0;
    virtual void SetBoxWidth(int width) = 0;
    virtual void SetNote(const std::string& text) = 0;
    virtual void SetBarMax(int max) = 0;
    virtual int BarMax() const = 0;
    virtual int BarPosition() const = 0;
    virtual void SetBarPosition(int position) = 0;
    virtual void SetAbortVisible(bool visible) = 0;
    virtual bool Aborted() const = 0;
    virtual void ShowModeless() = 0;
    virtual void Close() = 0;
};

// A form kept disabled while a box is shown. Destroying the handle enables the form again and
// brings it to the front, unless the form is gone.
class IDisabledForm {
public:
    virtual ~IDisabledForm() = default;
};

// What the box needs from the user-interface toolkit.
class IProgressUi {
public:
    virtual ~IProgressUi() = default;
    // A new window linked to box; see IProgressWindow for who frees it.
    virtual IProgressWindow* CreateWindow(TProgressBox* box) = 0;
    // Disables the active form; nullptr when no form is active. formGone is called when the
    // form is destroyed while disabled (the handle is then harmless to destroy).
    virtual std::unique_ptr<IDisabledForm> DisableActiveForm(std::function<void()> formGone) = 0;
    // Handles the pending events (input, painting, deferred work) of the user interface.
    virtual void ProcessMessages() = 0;
    // Handles only the pending paint events, so windows repaint without taking input.
    virtual void ProcessPaint() = 0;
};

// The process-wide toolkit of progress boxes; nullptr (the default) shows nothing. Not owned.
void SetProgressUi(IProgressUi* ui);
IProgressUi* ProgressUi();

// Lets the windows repaint inside a loop without handling input; nothing without a toolkit.
void ProcessPaint();

class TProgressBox : public TComponent {
public:
    explicit TProgressBox(TComponent* owner = nullptr);
    // Frees an open window and enables the form it disabled.
    ~TProgressBox() override;

    // The window's title, "Ждите ..." at first; retitles an open window.
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    // The line under the bar; updates an open window at once, then processes messages.
    const std::string& Note() const { return m_note; }
    void SetNote(const std::string& note);
    bool AbortBtn() const { return m_abortBtn; }
    void SetAbortBtn(bool visible) { m_abortBtn = visible; }
    int BoxWidth() const { return m_boxWidth; }
    void SetBoxWidth(int width) { m_boxWidth = width; }
    // The number of visible bar steps a large count is reduced to; 0 or less: no reduction.
    int PointCount() const { return m_pointCount; }
    void SetPointCount(int count) { m_pointCount = count; }
    // Whether Step raises EAbort after the user aborted (else it returns false).
    bool ExceptOnAbort() const { return m_exceptOnAbort; }
    void SetExceptOnAbort(bool raise) { m_exceptOnAbort = raise; }
    // The toolkit of this box; the process-wide one unless set.
    IProgressUi* Ui() const;
    void SetUi(IProgressUi* ui) { m_ui = ui; }

    // Opens a new window for count steps (0: the count given last time), replacing an open one
    // but keeping the form the first one disabled. Without a toolkit only the counting is set.
    void Show(int count);
    // One step of work done. True to go on; after an abort the window closes and EAbort is
    // raised, or false returned when ExceptOnAbort is off. Without a window: true, nothing else.
    bool Step();
    // Closes the window if it is open.
    void Close();
    // Changes the number of steps: a count of at least PointCount (when that is above 0) moves
    // the bar once every count / PointCount steps up to PointCount; otherwise at every step up
    // to the count. A negative count counts as 0.
    void SetRealCount(int count);

    int RealCount() const { return m_realCount; }
    int StepSize() const { return m_stepSize; }
    IProgressWindow* Window() const { return m_window; }

    // Called by the window when it closes: the disabled form is enabled and forgotten.
    void WindowClosed(IProgressWindow* window);
    // Called by the window's destructor: the box forgets it.
    void WindowDestroyed(IProgressWindow* window);

private:
    void FreeWindow();
    void ProcessMessages();

    std::string m_caption;
    std::string m_note;
    bool m_abortBtn = true;
    int m_boxWidth = 370;
    int m_pointCount = 100;
    bool m_exceptOnAbort = true;
    IProgressUi* m_ui = nullptr;

    IProgressWindow* m_window = nullptr;  // frees itself after closing
    std::unique_ptr<IDisabledForm> m_disabledForm;
    int m_realCount = 0;
    int m_stepSize = 1;
    int m_counter = 0;
};

} // namespace lm
