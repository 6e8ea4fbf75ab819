#include "sim/SimUi.h"

#include <algorithm>
#include <string>

#include "platform/Error.h"

namespace tesvar::sim {
namespace {
std::string Num(std::int64_t v) { return std::to_string(v); }
[[noreturn]] void InvalidArgument() {
    throw Error(win_error::InvalidParameter, L"パラメーターが間違っています。");
}
}  // namespace

bool SimUi::HasJournal(const std::string& line) const {
    return std::find(journal.begin(), journal.end(), line) != journal.end();
}

std::int32_t SimUi::MsgBox(const std::wstring& prompt, std::int32_t style) {
    journal.push_back("msgbox " + Num(style));
    prompts.push_back({prompt, style});
    if (onPrompt) onPrompt(prompts.back());
    if (answers_.empty()) {
        ++unansweredPrompts;
        return msgbox::Ok;
    }
    const std::int32_t answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void SimUi::CheckIndex(std::int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) InvalidArgument();
}

void SimUi::Clear() {
    journal.emplace_back("clear");
    entries.clear();
    listIndex = -1;
    topIndex = 0;
    newIndex_ = -1;
}

void SimUi::AddItem(const std::wstring& text) {
    entries.push_back({text, false});
    newIndex_ = static_cast<std::int32_t>(entries.size() - 1);
}

std::int32_t SimUi::NewIndex() { return newIndex_; }

bool SimUi::Selected(std::int32_t index) {
    CheckIndex(index);
    return entries[static_cast<std::size_t>(index)].selected;
}

void SimUi::SetSelected(std::int32_t index, bool selected) {
    CheckIndex(index);
    entries[static_cast<std::size_t>(index)].selected = selected;
}

std::wstring SimUi::List(std::int32_t index) {
    CheckIndex(index);
    return entries[static_cast<std::size_t>(index)].text;
}

std::int32_t SimUi::ListCount() { return static_cast<std::int32_t>(entries.size()); }

std::int32_t SimUi::SelCount() {
    return static_cast<std::int32_t>(std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return e.selected; }));
}

void SimUi::SetListIndex(std::int32_t index) {
    CheckIndex(index);
    journal.push_back("index " + Num(index));
    listIndex = index;
}

void SimUi::SetTopIndex(std::int32_t index) {
    CheckIndex(index);
    journal.push_back("top " + Num(index));
    topIndex = index;
}

void SimUi::SetVisible(bool visible) {
    journal.push_back(std::string("visible ") + (visible ? "1" : "0"));
    listVisible = visible;
}

void SimUi::SetButtonEnabled(Button button, bool enabled) {
    journal.push_back(std::string("enabled ") + (button == Button::Start ? "Start " : "Clear ") + (enabled ? "1" : "0"));
    (button == Button::Start ? startEnabled : clearEnabled) = enabled;
}

void SimUi::SetMousePointer(std::int32_t shape) {
    journal.push_back("pointer " + Num(shape));
    mousePointer = shape;
}

bool SimUi::DoEvents() {
    journal.emplace_back("yield");
    ++yields;
    if (!ending && onYield && !onYield(yields)) ending = true;
    return !ending;
}

bool SimUi::StayResponsive() {
    ++stayResponsiveCalls;
    if (!ending && onStayResponsive && !onStayResponsive(stayResponsiveCalls)) ending = true;
    return !ending;
}

// A minimised or maximised window refuses a new placement, as the real one does.
void SimUi::SetLeft(float twips) {
    if (windowState != window_state::Normal) InvalidArgument();
    left = twips;
}
void SimUi::SetTop(float twips) {
    if (windowState != window_state::Normal) InvalidArgument();
    top = twips;
}
void SimUi::SetWidth(float twips) {
    if (windowState != window_state::Normal) InvalidArgument();
    scaleWidth += twips - width;
    width = twips;
    if (onResize) onResize();
}
void SimUi::SetHeight(float twips) {
    if (windowState != window_state::Normal) InvalidArgument();
    scaleHeight += twips - height;
    height = twips;
    if (onResize) onResize();
}
void SimUi::SetListWidth(float twips) {
    if (twips < 0) InvalidArgument();
    listWidth = twips;
}
void SimUi::SetListHeight(float twips) {
    if (twips < 0) InvalidArgument();
    listHeight = twips;
}

}  // namespace tesvar::sim
