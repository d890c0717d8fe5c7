// TAFPanel: the field panel of record forms - its state, bounds, customisation mode and the
// settings it keeps per user (position, size, state and the "TabOrder" sub-key).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "controls/selectframe.h"
#include "host/graphics.h"

namespace lm {

class TRegistryStore;

enum TAFPState { afTabStop, afEnable, afDisable, afInvisible };
using TAFPStates = unsigned;  // bit (1 << state) per state
constexpr TAFPStates AFPSet(TAFPState s) { return 1u << s; }
inline constexpr int kAFPStateCount = 4;

enum TAFPChildAlign { chaNone, chaBottom, chaCenter };
enum TAFPMenuOption : unsigned { moAutoCreate = 1, moEndCustom = 2 };
using TAFPMenuOptions = unsigned;
enum TAFPFieldControlOption : unsigned { fcEditLookup = 1, fcRxLookup = 2, fcCheckBox = 4, fcRxDate = 8, fcPanel = 16 };
using TAFPFieldControlOptions = unsigned;

// The colour and hint a panel shows in customisation mode for its state.
TColor AFPStateColor(TAFPState state);
std::string AFPStateHint(TAFPState state);
// The tooltip background, the colour of afEnable.
inline constexpr TColor clInfoBk = static_cast<TColor>(0xFF000018u);

// What the panel needs of its widget. The widget owns the panel model and implements this.
class IAFPanelView {
public:
    virtual ~IAFPanelView() = default;
    // The model's bounds changed: move the widget.
    virtual void BoundsChanged() = 0;
    // Applies a state outside customisation: enables the panel, shows it, sets its controls'
    // tab stops and colours.
    virtual void StateApplied(bool enabled, bool visible, bool tabStop) = 0;
    // Customisation began (true) or ended (false), or the state changed within it.
    virtual void CustomChanged(bool customizing) = 0;
    // The caption of the panel's field (its display label) or of its child.
    virtual std::string DefCaption() const = 0;
    // The component names of the focusable controls of the form's root container, in tab order.
    virtual std::vector<std::string> TabList() const = 0;
    // Puts the named controls into that tab order; unknown names are skipped.
    virtual void ApplyTabOrder(const std::vector<std::string>& names) = 0;
    // Runs the tab order dialog over the root container; true on OK.
    virtual bool ExecTabOrderDialog() = 0;
};

class TAFPanel {
public:
    // A child panel registers with `parent` (not owned either way).
    explicit TAFPanel(TAFPanel* parent = nullptr);
    ~TAFPanel();
    TAFPanel(const TAFPanel&) = delete;
    TAFPanel& operator=(const TAFPanel&) = delete;

    void SetView(IAFPanelView* view) { m_view = view; }
    // The settings store; null means the per-user default store.
    void SetRegistryStore(TRegistryStore* store) { m_store = store; }

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption) { m_caption = caption; }
    const TAFBounds& Bounds() const { return m_bounds; }
    void SetBounds(const TAFBounds& bounds);
    TAFPState State() const { return m_state; }
    // Within customisation the new state is shown at once (afInvisible goes to the back).
    void SetState(TAFPState state);
    TAFPStates DenyStates = 0;
    bool DisplayCaption = true;
    bool ClickOnInsert = false;
    bool Border = false;
    bool Resizable = true;
    TAFPChildAlign ChildAlign = chaNone;
    bool RootPanel = false;
    TAFPMenuOptions MenuOptions = moAutoCreate;
    TAFPFieldControlOptions FieldControlOptions = 0;
    bool AButton = false;
    bool ZPreview = false;
    TColor DisableColor = clBtnFace;

    std::function<void(TAFPanel* Sender)> BeforeCustom;
    std::function<void(TAFPanel* Sender, bool Ok)> AfterCustom;

    TAFPanel* Parent() const { return m_parent; }
    const std::vector<TAFPanel*>& Children() const { return m_children; }
    // The outermost panel of the tree.
    TAFPanel* Top();

    // Takes the current bounds, state and tab list as the design-time reference.
    void Loaded();
    const TAFBounds& DesignBounds() const { return m_designBounds; }
    TAFPState DesignState() const { return m_designState; }

    // The panel's key: the root key given to ReadFromReg, "\", the panel's name.
    const std::string& Key() const { return m_key; }
    // Applies the stored settings of this panel and, with its key as their root, of its children.
    // A stored state in DenyStates is ignored. Afterwards the states are applied.
    void ReadFromReg(const std::string& rootKey);
    // With `remove`: deletes the key with everything below. Otherwise stores what differs from
    // the design-time values and deletes the rest; a key left empty is deleted.
    void WriteToReg(bool remove);

    bool Customizing() const { return m_custom; }
    // Enters customisation for this panel and every panel below it.
    void StartCustom();
    // Leaves customisation: OK stores every panel's settings and applies the states; Cancel
    // restores the bounds and states saved when it began.
    void EndCustom(bool ok);
    // Every panel back to its design-time bounds and state, and that stored.
    void ResetCustom();
    // The states the user may choose for this panel, in order.
    std::vector<TAFPState> StateChoices() const;

    // The tab order dialog; stores the order under Key()\TabOrder when it differs from the
    // design-time order, and deletes that key otherwise.
    void CustomTabOrder();

    // Applies the state (outside customisation) to this panel and its children.
    void UpdateState(bool enabled);
    bool Enabled() const { return m_enabled; }
    bool Editable() const { return m_state == afTabStop || m_state == afEnable; }

    // The panel of that name (ignoring case) in this panel's tree, or null.
    TAFPanel* FindPanel(const std::string& name);
    // Captions and panels of the tree below this panel; nested captions indented two spaces per level.
    void PanelList(std::vector<std::pair<std::string, TAFPanel*>>& list, int level = 0);
    std::string GetDefCaption() const { return m_view ? m_view->DefCaption() : m_caption; }

private:
    void startCustom();
    void endCustom(bool ok);
    void resetCustom();
    void readOwn();
    void readTabOrder();
    void boundsChanged();

    std::string m_name;
    std::string m_caption;
    std::string m_key;
    TAFBounds m_bounds;
    TAFBounds m_designBounds;
    TAFBounds m_savedBounds;
    std::vector<std::string> m_designTabs;
    TAFPState m_state = afTabStop;
    TAFPState m_designState = afTabStop;
    TAFPState m_savedState = afTabStop;
    TAFPanel* m_parent;
    std::vector<TAFPanel*> m_children;
    IAFPanelView* m_view = nullptr;
    TRegistryStore* m_store = nullptr;
    bool m_custom = false;
    bool m_enabled = true;
};

} // namespace lm
