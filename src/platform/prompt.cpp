#include "prompt.h"

#include <cstdio>
#include <utility>

namespace dashcam::prompt {
namespace {
struct State {
    Presenter presenter;
    std::deque<Answer> queued;
    std::vector<Request> history;
};
State& S() {
    static State state;
    return state;
}

Answer DefaultFor(Kind kind) { return (kind == Kind::MessageOk || kind == Kind::Notice) ? Answer::Ok : Answer::No; }

// Without an interface there is nobody to ask: the text goes to standard error and the safe answer is taken.
Answer ToConsole(const Request& request) {
    std::string text;
    for (char16_t c : request.text)
        text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    std::fprintf(stderr, "%s\n", text.c_str());
    return DefaultFor(request.kind);
}
} // namespace

Answer Ask(const Request& request, const std::function<Answer()>& show) {
    S().history.push_back(request);
    if (!S().queued.empty()) {
        Answer a = S().queued.front();
        S().queued.pop_front();
        return a;
    }
    if (show)
        return show();
    if (S().presenter)
        return S().presenter(request);
    return ToConsole(request);
}

Answer Ask(const Request& request) { return Ask(request, nullptr); }

Presenter SetPresenter(Presenter presenter) { return std::exchange(S().presenter, std::move(presenter)); }

void QueueAnswer(Answer answer) { S().queued.push_back(answer); }
std::vector<Request>& History() { return S().history; }
void Reset() {
    S().queued.clear();
    S().history.clear();
}

} // namespace dashcam::prompt
