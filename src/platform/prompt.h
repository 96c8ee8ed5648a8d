#pragma once
// The one seam through which every modal question or message reaches the user. The interface layer installs the
// presenter that really shows it; tests queue answers in advance so that no test waits in a modal loop.
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace dashcam::prompt {

enum class Kind {
    MessageOk,    // a plain message box with an OK button
    MessageYesNo, // a plain Yes/No message box
    Confirm,      // the skinned confirmation popup (Confirm / Cancel)
    Notice,       // the skinned popup with a single Confirm button
    Progress,     // the skinned progress popup
};

enum class Answer { Ok, Yes, No, Cancel };

struct Request {
    Kind kind = Kind::MessageOk;
    std::u16string caption;
    std::u16string text;
    // The camera's own questions and results show no icon; the editor's own error messages a warning sign.
    bool warning = false;
    // A question whose Yes cannot be undone has No as its default button.
    bool defaultNo = false;
};

// Shows a request with the installed presenter (or answers it from the test queue) and returns the answer.
// The answer of Yes/No and Confirm kinds is Yes or No; of OK kinds, Ok.
Answer Ask(const Request& request);

// Like Ask, but the caller brings its own modal loop: `show` runs only when no test answer is queued.
Answer Ask(const Request& request, const std::function<Answer()>& show);

using Presenter = std::function<Answer(const Request&)>;
// Installs the presenter for requests without their own modal loop; returns the previous one.
Presenter SetPresenter(Presenter presenter);

// Test support: answers given in advance, taken in order, and every request seen.
void QueueAnswer(Answer answer);
std::vector<Request>& History();
void Reset();

} // namespace dashcam::prompt
