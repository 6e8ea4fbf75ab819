#pragma once
// A headless user interface: message boxes answered from a queue, a target list in
// memory and a window whose properties are plain values. It records every prompt and
// every change the logic makes, in order, in a journal.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Ui.h"

namespace tesvar::sim {

// The simulated platform implements the platform's interfaces and speaks in its terms.
using namespace tesvar::platform;

class SimUi : public MessageBoxes, public TargetList, public MainWindow {
public:
    // --- scripting ---
    // Answers given to the next message boxes, in order. A box with no answer left
    // gets msgbox::Ok and is counted in unansweredPrompts.
    void Answer(std::int32_t answer) { answers_.push_back(answer); }
    void Answer(std::initializer_list<std::int32_t> answers) { answers_.insert(answers_.end(), answers); }
    // Called at every DoEvents with its count (1 for the first); return false to end
    // the program there.
    std::function<bool(int)> onYield;
    // Called after every size set through SetWidth/SetHeight (the resize rule's hook).
    std::function<void()> onResize;
    // Called at every StayResponsive with its count; return false to end the program there.
    std::function<bool(int)> onStayResponsive;
    // A close request has been handled (set by a yield that ended the program, or by a test).
    bool ending = false;
    int stayResponsiveCalls = 0;

    struct Prompt {
        std::wstring text;
        std::int32_t style;
    };
    std::vector<Prompt> prompts;
    // Called while each box is open (a close request can arrive then).
    std::function<void(const Prompt&)> onPrompt;
    int unansweredPrompts = 0;
    // One line per recorded action, e.g. "pointer 13", "enabled Start 0", "top 2",
    // "index 2", "yield", "msgbox 36", "front", "active", "visible 0", "clear".
    std::vector<std::string> journal;
    int yields = 0;

    struct Entry {
        std::wstring text;
        bool selected = false;
    };
    std::vector<Entry> entries;
    std::int32_t listIndex = -1;
    std::int32_t topIndex = 0;
    bool listVisible = true;
    bool startEnabled = true;
    bool clearEnabled = true;
    std::int32_t mousePointer = pointer::Default;

    std::wstring caption = L"Tesvar";
    std::wstring filterText;
    std::int32_t readOnlySwitch = 0;
    std::wstring statusCaption;

    float left = 0, top = 0, width = 4380, height = 4950;
    float scaleWidth = 4170, scaleHeight = 4380, stripHeight = 1485;
    float listWidth = 2655, listHeight = 1740;
    std::int32_t windowState = window_state::Normal;

    // Adds an entry directly (test set-up), optionally selected.
    void Add(const std::wstring& text, bool selected) { entries.push_back({text, selected}); }
    bool HasJournal(const std::string& line) const;

    // --- MessageBoxes ---
    std::int32_t MsgBox(const std::wstring& prompt, std::int32_t style) override;

    // --- TargetList ---
    void Clear() override;
    void AddItem(const std::wstring& text) override;
    std::int32_t NewIndex() override;
    bool Selected(std::int32_t index) override;
    void SetSelected(std::int32_t index, bool selected) override;
    std::wstring List(std::int32_t index) override;
    std::int32_t ListCount() override;
    std::int32_t SelCount() override;
    void SetListIndex(std::int32_t index) override;
    void SetTopIndex(std::int32_t index) override;
    void SetVisible(bool visible) override;

    // --- MainWindow ---
    void SetCaption(const std::wstring& text) override { caption = text; }
    std::wstring FilterText() override { return filterText; }
    void SetFilterText(const std::wstring& text) override { filterText = text; }
    std::int32_t ReadOnlySwitch() override { return readOnlySwitch; }
    void SetReadOnlySwitch(std::int32_t value) override { readOnlySwitch = value; }
    std::wstring StatusCaption() override { return statusCaption; }
    void SetStatusCaption(const std::wstring& text) override { statusCaption = text; }
    void SetButtonEnabled(Button button, bool enabled) override;
    void SetMousePointer(std::int32_t shape) override;
    void SetForegroundWindow() override { journal.emplace_back("front"); }
    void SetActiveWindow() override { journal.emplace_back("active"); }
    bool DoEvents() override;
    bool Ending() override { return ending; }
    bool StayResponsive() override;
    float Left() override { return left; }
    float Top() override { return top; }
    float Width() override { return width; }
    float Height() override { return height; }
    void SetLeft(float twips) override;
    void SetTop(float twips) override;
    void SetWidth(float twips) override;
    void SetHeight(float twips) override;
    std::int32_t WindowState() override { return windowState; }
    float ScaleWidth() override { return scaleWidth; }
    float ScaleHeight() override { return scaleHeight; }
    float StripHeight() override { return stripHeight; }
    void SetListWidth(float twips) override;
    void SetListHeight(float twips) override;

private:
    void CheckIndex(std::int32_t index) const;
    std::deque<std::int32_t> answers_;
    std::int32_t newIndex_ = -1;
};

}  // namespace tesvar::sim
