#pragma once
// Finds the message boxes a thread shows and answers them, as a user would: by the
// box's own buttons. Used in-process (a thread timer answers the boxes of the calling
// thread while they wait) and by the driver (boxes of another process).
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tesvar::test {

enum class BoxIcon { None, Exclamation, Question, Information, Other };

struct SeenBox {
    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<int> buttons;  // IDOK, IDYES, IDNO ... present on the box
    BoxIcon icon = BoxIcon::None;
    // The style number a box with these buttons and this icon was shown with.
    int Style() const;
};

// Reads a message box dialog (class "#32770").
SeenBox ReadBox(HWND dialog);
// Presses one of the box's buttons by its id (IDYES, IDNO, IDOK).
void Press(HWND dialog, int button);
// The visible message boxes of a thread, or of a whole process.
std::vector<HWND> BoxesOfThread(DWORD thread);
std::vector<HWND> BoxesOfProcess(DWORD process);

// Answers the boxes of this thread from a script, from inside their modal loops, and
// does nothing between boxes.
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    void Answer(std::initializer_list<int> answers) { answers_.insert(answers_.end(), answers); }
    // Called with every box before it is answered (to look at the window meanwhile).
    std::function<void(const SeenBox&)> onBox;
    std::vector<SeenBox> seen;
    int unanswered = 0;  // boxes that found no answer left (closed with their first button)

private:
    static LRESULT CALLBACK Activated(int code, WPARAM wParam, LPARAM lParam) noexcept;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) noexcept;
    void Poll();
    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;  // polls while a box of this thread is up
    bool answeredSinceArmed_ = false;
    std::deque<int> answers_;
    std::vector<HWND> answered_;
};

}  // namespace tesvar::test
