// The progress box's counting, abort and form handling, over a scripted window and toolkit.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "forms/progressbox.h"
#include "util/cp1251.h"
#include "util/exceptions.h"

using namespace lm;

namespace {

class TestUi;

struct TestForm {
    bool enabled = true;
    bool inFront = false;
    std::function<void()> gone;
};

// A window that behaves like the real one: closing reports to the box and queues the
// window's own deletion; deletion reports to the box.
class TestWindow : public IProgressWindow {
public:
    TestWindow(TestUi& ui, TProgressBox* box) : m_ui(ui), m_box(box) {}
    ~TestWindow() override;
    void SetTitle(const std::string& text) override { title = text; }
    void SetBoxWidth(int w) override { width = w; }
    void SetNote(const std::string& text) override { note = text; }
    void SetBarMax(int max) override { barMax = max; }
    int BarMax() const override { return barMax; }
    int BarPosition() const override { return position; }
    void SetBarPosition(int p) override { position = std::min(p, barMax); }
    void SetAbortVisible(bool visible) override { abortVisible = visible; }
    bool Aborted() const override { return aborted; }
    void ShowModeless() override { shown = true; }
    void Close() override;

    std::string title, note;
    int width = 0, barMax = 0, position = 0, closes = 0;
    bool abortVisible = false, aborted = false, shown = false;

private:
    TestUi& m_ui;
    TProgressBox* m_box;
};

class TestUi : public IProgressUi {
public:
    IProgressWindow* CreateWindow(TProgressBox* box) override
    {
        last = new TestWindow(*this, box);
        ++created;
        return last;
    }
    std::unique_ptr<IDisabledForm> DisableActiveForm(std::function<void()> formGone) override
    {
        struct Handle : IDisabledForm {
            TestForm* form;
            explicit Handle(TestForm* f) : form(f) {}
            ~Handle() override
            {
                if (form->gone) {
                    form->gone = nullptr;
                    form->enabled = true;
                    form->inFront = true;
                }
            }
        };
        if (!active)
            return nullptr;
        active->enabled = false;
        active->gone = std::move(formGone);
        return std::make_unique<Handle>(active);
    }
    // Runs the queued input events, then the deferred deletions.
    void ProcessMessages() override
    {
        ++processed;
        auto events = std::move(input);
        input.clear();
        for (auto& e : events)
            e();
        while (!deferred.empty())
            delete deferred.front();  // the destructor leaves the queue
    }
    void ProcessPaint() override { ++painted; }
    void DestroyForm(TestForm& form)
    {
        if (form.gone) {
            auto gone = std::move(form.gone);
            form.gone = nullptr;
            gone();
        }
    }

    TestForm* active = nullptr;
    TestWindow* last = nullptr;
    std::vector<std::function<void()>> input;
    std::vector<TestWindow*> deferred;
    int processed = 0, painted = 0, created = 0;
};

TestWindow::~TestWindow()
{
    auto& q = m_ui.deferred;
    q.erase(std::remove(q.begin(), q.end(), this), q.end());
    if (m_ui.last == this)
        m_ui.last = nullptr;
    m_box->WindowDestroyed(this);
}

void TestWindow::Close()
{
    ++closes;
    shown = false;
    m_box->WindowClosed(this);
    if (std::find(m_ui.deferred.begin(), m_ui.deferred.end(), this) == m_ui.deferred.end())
        m_ui.deferred.push_back(this);
}

class ProgressBoxTest : public ::testing::Test {
protected:
    ProgressBoxTest() { box.SetUi(&ui); }
    // Steps n times; returns the number of message rounds they triggered.
    int steps(int n)
    {
        const int before = ui.processed;
        for (int i = 0; i < n; ++i)
            EXPECT_TRUE(box.Step());
        return ui.processed - before;
    }
    void clickAbort()
    {
        TestWindow* w = ui.last;
        ui.input.push_back([w] { w->aborted = true; });
    }

    TestUi ui;
    TProgressBox box;
};

} // namespace

TEST_F(ProgressBoxTest, ShowSetsUpTheWindowAndClearsTheNote)
{
    EXPECT_EQ(box.Caption(), "Ждите ..."_w);
    box.SetNote("old");
    box.SetCaption("Экспорт"_w);
    box.SetBoxWidth(500);
    box.SetAbortBtn(false);
    const int before = ui.processed;
    box.Show(1000);
    TestWindow* w = ui.last;
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->shown);
    EXPECT_EQ(w->title, "Экспорт"_w);
    EXPECT_EQ(w->width, 500);
    EXPECT_FALSE(w->abortVisible);
    EXPECT_EQ(w->note, "");
    EXPECT_EQ(box.Note(), "");
    EXPECT_GT(ui.processed, before);
    box.SetNote("Строка 1"_w);
    box.SetCaption("Другое"_w);
    EXPECT_EQ(w->note, "Строка 1"_w);
    EXPECT_EQ(w->title, "Другое"_w);
}

TEST_F(ProgressBoxTest, LargeCountsAreReducedToPointCountVisibleSteps)
{
    box.Show(1000);
    EXPECT_EQ(box.StepSize(), 10);
    EXPECT_EQ(ui.last->barMax, 100);
    EXPECT_EQ(steps(9), 0);  // messages only at visible steps
    EXPECT_EQ(ui.last->position, 0);
    EXPECT_EQ(steps(1), 1);
    EXPECT_EQ(ui.last->position, 1);

    box.Show(250);  // not divisible: step 2, full after 200 calls
    EXPECT_EQ(box.StepSize(), 2);
    steps(200);
    EXPECT_EQ(ui.last->position, 100);
    steps(100);
    EXPECT_EQ(ui.last->position, 100);

    box.Show(50);
    EXPECT_EQ(box.StepSize(), 1);
    EXPECT_EQ(ui.last->barMax, 50);
    EXPECT_EQ(steps(3), 3);
    EXPECT_EQ(ui.last->position, 3);

    box.SetPointCount(0);  // no reduction: every call is visible
    box.Show(1000);
    EXPECT_EQ(box.StepSize(), 1);
    EXPECT_EQ(ui.last->barMax, 1000);
    EXPECT_EQ(steps(4), 4);
}

TEST_F(ProgressBoxTest, ShowZeroReusesTheLastCount)
{
    box.Show(0);  // nothing given before: a count of 0
    EXPECT_EQ(box.StepSize(), 1);
    EXPECT_EQ(ui.last->barMax, 0);
    steps(5);
    EXPECT_EQ(ui.last->position, 0);
    box.Show(250);
    box.Show(0);
    EXPECT_EQ(box.RealCount(), 250);
    EXPECT_EQ(ui.last->barMax, 100);
    box.Show(-5);
    EXPECT_EQ(box.RealCount(), 0);
}

TEST_F(ProgressBoxTest, ASmallerStepWhileShownStillMovesTheBar)
{
    box.Show(1000);
    steps(7);
    box.SetRealCount(300);
    EXPECT_EQ(box.StepSize(), 3);
    EXPECT_EQ(steps(1), 1);
    EXPECT_EQ(ui.last->position, 1);
    EXPECT_EQ(steps(3), 1);
}

TEST_F(ProgressBoxTest, AbortIsSeenAfterTheNextVisibleStepAndRaisesSilently)
{
    TestForm main;
    ui.active = &main;
    box.Show(1000);
    clickAbort();
    EXPECT_EQ(steps(9), 0);
    EXPECT_FALSE(ui.last->aborted);
    steps(1);  // the click is handled here
    EXPECT_TRUE(ui.last->aborted);
    try {
        box.Step();
        FAIL() << "no abort";
    } catch (const EAbort& e) {
        EXPECT_EQ(e.Message(), "");
    }
    EXPECT_TRUE(main.enabled);
    EXPECT_TRUE(main.inFront);
    ui.ProcessMessages();  // the closed window frees itself
    EXPECT_EQ(box.Window(), nullptr);
    EXPECT_TRUE(box.Step());
}

TEST_F(ProgressBoxTest, AbortWithoutExceptionReturnsFalseUntilTheWindowIsGone)
{
    box.SetExceptOnAbort(false);
    box.Show(10);
    clickAbort();
    EXPECT_TRUE(box.Step());
    EXPECT_FALSE(box.Step());
    EXPECT_EQ(box.Window(), ui.last);  // closed, deletion still queued
    EXPECT_FALSE(box.Step());
    ui.ProcessMessages();
    EXPECT_EQ(box.Window(), nullptr);
    EXPECT_TRUE(box.Step());
    EXPECT_TRUE(box.Step());
    box.SetNote("after");  // harmless without a window
    box.Close();
}

TEST_F(ProgressBoxTest, TheFirstActiveFormStaysDisabledUntilTheWindowCloses)
{
    TestForm main, other;
    ui.active = &main;
    box.Show(10);
    EXPECT_FALSE(main.enabled);
    ui.active = &other;
    box.Show(20);  // replaces the window, keeps the first form disabled
    EXPECT_EQ(ui.created, 2);
    EXPECT_FALSE(main.enabled);
    EXPECT_TRUE(other.enabled);
    box.Close();
    EXPECT_TRUE(main.enabled);
    EXPECT_TRUE(main.inFront);
    ui.ProcessMessages();
    EXPECT_EQ(box.Window(), nullptr);

    box.Show(5);  // now the other form is the active one
    EXPECT_FALSE(other.enabled);
    ui.DestroyForm(other);
    box.Close();
    EXPECT_FALSE(other.inFront);  // a destroyed form is forgotten, not touched
}

TEST(ProgressBoxWithoutUi, CountsButShowsNothing)
{
    SetProgressUi(nullptr);
    TProgressBox box;
    box.Show(1000);
    EXPECT_EQ(box.Window(), nullptr);
    EXPECT_EQ(box.StepSize(), 10);
    EXPECT_TRUE(box.Step());
    box.SetNote("x");
    box.Close();
    ProcessPaint();

    TestUi ui;
    SetProgressUi(&ui);
    TProgressBox global;
    global.Show(1);
    EXPECT_NE(global.Window(), nullptr);
    ProcessPaint();
    EXPECT_EQ(ui.painted, 1);
    global.Close();
    SetProgressUi(nullptr);
}
