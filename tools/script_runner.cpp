#include "tools/script_runner.h"

#include "app/main_window_state.h"
#include "platform/testing/dialog_controls.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "resources/resource_ids.h"
#include "tools/script_state.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <vector>

namespace headless = platform::headless;

namespace {

// A tap is a press and a release this far apart, well inside the program's
// 300 ms press timer.
constexpr std::uint32_t kTapMs = 50;
constexpr std::size_t kMaxLine = 64 * 1024;

struct KeyName {
    const char* name;
    unsigned vk;
};
constexpr KeyName kKeys[] = {
    {"UP", VK_UP},         {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT}, {"RIGHT", VK_RIGHT},
    {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"TAB", VK_TAB},
};

// The dialog lists a select step names.
enum class DialogList { Map, Category, Item, Topic };
struct ListName {
    const char* name;
    DialogList list;
};
constexpr ListName kLists[] = {
    {"map", DialogList::Map}, {"category", DialogList::Category}, {"item", DialogList::Item}, {"topic", DialogList::Topic}};

struct AnswerName {
    const char* name;
    int id;
};
constexpr AnswerName kAnswers[] = {{"yes", IDYES}, {"no", IDNO}, {"ok", IDOK}};

bool parse_int(const std::string& word, long long low, long long high, long long* out) {
    long long value = 0;
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high) return false;
    *out = value;
    return true;
}

std::vector<std::string> words_of(const std::string& text) {
    constexpr const char* kBlanks = " \t\n\v\f\r";
    std::vector<std::string> words;
    for (std::size_t at = text.find_first_not_of(kBlanks); at != std::string::npos;
         at = text.find_first_not_of(kBlanks, at)) {
        const std::size_t end = text.find_first_of(kBlanks, at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool equal_ignoring_case(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

POINT centre_of(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

ScriptReader::Result ScriptReader::next(std::string& line, int waitMs) {
    for (;;) {
        const auto end = m_buffer.find('\n');
        if (end != std::string::npos) {
            line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            return Result::Line;
        }
        if (m_eof) {
            if (m_buffer.empty()) return Result::End;
            line.swap(m_buffer);
            m_buffer.clear();
            return Result::Line;
        }
        if (m_buffer.size() > kMaxLine) {
            // A line this long is no step; it is handed on whole to be
            // refused.
            line.swap(m_buffer);
            m_buffer.clear();
            return Result::Line;
        }
        pollfd ready{m_fd, POLLIN, 0};
        const int polled = poll(&ready, 1, waitMs);
        if (polled == 0) return Result::Pending;
        if (polled < 0 && errno == EINTR) continue;
        char chunk[4096];
        const ssize_t got = polled < 0 ? -1 : read(m_fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            m_eof = true;
        } else {
            m_buffer.append(chunk, static_cast<std::size_t>(got));
        }
    }
}

struct ScriptRunner::Step {
    enum class Kind { Nothing, Tap, Press, Move, Release, Wait, Key, Button, Command, Answer, Shot, State, Exit, Select };
    Kind kind = Kind::Nothing;
    int line = 0;
    int x = 0;
    int y = 0;
    std::uint32_t value = 0;
    std::string text;
};

namespace {

// Reads one line of the script into step; false with the reason when the
// line is no step.
bool parse_step(const std::string& raw, ScriptRunner::Step& step, std::string* error) {
    using Kind = ScriptRunner::Step::Kind;
    const std::string line = trim(raw);
    step.kind = Kind::Nothing;
    if (line.empty() || line[0] == '#') return true;
    const auto space = line.find_first_of(" \t");
    const std::string verb = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : trim(line.substr(space));
    const std::vector<std::string> args = words_of(rest);

    struct Pointer {
        const char* verb;
        Kind kind;
    };
    for (const Pointer& p : {Pointer{"tap", Kind::Tap}, Pointer{"press", Kind::Press}, Pointer{"move", Kind::Move},
                             Pointer{"release", Kind::Release}}) {
        if (verb != p.verb) continue;
        long long x = 0;
        long long y = 0;
        if (args.size() != 2 || !parse_int(args[0], -32768, 32767, &x) || !parse_int(args[1], -32768, 32767, &y)) {
            *error = std::string(p.verb) + " needs two whole numbers: X Y";
            return false;
        }
        step.kind = p.kind;
        step.x = static_cast<int>(x);
        step.y = static_cast<int>(y);
        return true;
    }
    if (verb == "wait") {
        long long ms = 0;
        if (args.size() != 1 || !parse_int(args[0], 0, 24LL * 3600 * 1000, &ms)) {
            *error = "wait needs milliseconds: MS";
            return false;
        }
        step.kind = Kind::Wait;
        step.value = static_cast<std::uint32_t>(ms);
        return true;
    }
    if (verb == "key") {
        if (args.size() == 1) {
            for (const KeyName& key : kKeys) {
                if (equal_ignoring_case(args[0], key.name)) {
                    step.kind = Kind::Key;
                    step.value = key.vk;
                    return true;
                }
            }
            long long vk = 0;
            if (parse_int(args[0], 1, 255, &vk)) {
                step.kind = Kind::Key;
                step.value = static_cast<std::uint32_t>(vk);
                return true;
            }
        }
        *error = "key needs UP, DOWN, LEFT, RIGHT, RETURN, ESCAPE, TAB or a key number 1-255";
        return false;
    }
    if (verb == "button") {
        if (rest.empty()) {
            *error = "button needs the tool tip of a menu-bar button";
            return false;
        }
        step.kind = Kind::Button;
        step.text = rest;
        return true;
    }
    if (verb == "select") {
        const auto gap = rest.find_first_of(" \t");
        const std::string list = rest.substr(0, gap);
        const std::string text = gap == std::string::npos ? std::string() : trim(rest.substr(gap));
        for (const ListName& name : kLists) {
            if (list != name.name || text.empty()) continue;
            step.kind = Kind::Select;
            step.value = static_cast<std::uint32_t>(name.list);
            step.text = text;
            return true;
        }
        *error = "select needs map, category, item or topic and the text of an item";
        return false;
    }
    if (verb == "command") {
        long long id = 0;
        if (args.size() != 1 || !parse_int(args[0], 0, 65535, &id)) {
            *error = "command needs a command number 0-65535";
            return false;
        }
        step.kind = Kind::Command;
        step.value = static_cast<std::uint32_t>(id);
        return true;
    }
    if (verb == "answer") {
        if (args.size() == 1) {
            for (const AnswerName& answer : kAnswers) {
                if (equal_ignoring_case(args[0], answer.name)) {
                    step.kind = Kind::Answer;
                    step.value = static_cast<std::uint32_t>(answer.id);
                    return true;
                }
            }
        }
        *error = "answer needs yes, no or ok";
        return false;
    }
    if (verb == "shot") {
        if (rest.empty()) {
            *error = "shot needs a file name";
            return false;
        }
        step.kind = Kind::Shot;
        step.text = rest;
        return true;
    }
    if (verb == "state" || verb == "exit") {
        if (!rest.empty()) {
            *error = verb + " takes nothing after it";
            return false;
        }
        step.kind = verb == "state" ? Kind::State : Kind::Exit;
        return true;
    }
    *error = "unknown step '" + verb + "'";
    return false;
}

}  // namespace

bool ScriptRunner::OnIdle() {
    if (m_ending) {
        // The quit asked for has not reached the loop yet; ask again.
        PostQuitMessage(0);
        return true;
    }
    for (;;) {
        if (!m_actions.empty()) {
            if (RunAction()) return true;
            continue;
        }
        if (m_answer && AnswerBox()) {
            if (m_ending) return true;
            continue;
        }
        if (!RunNextStep()) return true;
    }
}

bool ScriptRunner::RunAction() {
    Action& action = m_actions.front();
    if (action.kind == ActionKind::Wait) {
        const std::uint64_t now = headless::now();
        if (!action.until) action.until = now + action.value;
        if (now >= *action.until) {
            m_actions.pop_front();
            return false;
        }
        // Time passes timer by timer, so that each fires at its own moment.
        const std::uint64_t due = headless::next_timer_due();
        const std::uint64_t to = due > now && due < *action.until ? due : *action.until;
        headless::advance_clock(to - now);
        return true;
    }
    const Action done = action;
    m_actions.pop_front();
    switch (done.kind) {
    case ActionKind::Down: headless::stylus_down(done.x, done.y); return true;
    case ActionKind::Move: headless::stylus_move(done.x, done.y); return true;
    case ActionKind::Up: headless::stylus_up(done.x, done.y); return true;
    case ActionKind::Key: headless::press_key(done.value); return true;
    case ActionKind::Command:
        return IsWindow(g_mainWindow) && PostMessageW(g_mainWindow, WM_COMMAND, done.value, 0);
    case ActionKind::Select: return Choose(done);
    case ActionKind::Wait: break;
    }
    return false;
}

bool ScriptRunner::RunNextStep() {
    std::string raw;
    // A pipe is waited on in short turns: between them the program answers
    // other copies of itself.
    switch (m_reader.next(raw, 100)) {
    case ScriptReader::Result::Pending: return false;
    case ScriptReader::Result::End: End(0); return false;
    case ScriptReader::Result::Line: break;
    }
    ++m_line;
    Step step;
    step.line = m_line;
    std::string error;
    if (!parse_step(raw, step, &error)) {
        Fail(m_line, error);
        return false;
    }
    Execute(step);
    return !m_ending;
}

void ScriptRunner::QueueTap(int x, int y) {
    m_actions.push_back(MakeAction(ActionKind::Down, x, y));
    m_actions.push_back(MakeAction(ActionKind::Wait, 0, 0, kTapMs));
    m_actions.push_back(MakeAction(ActionKind::Up, x, y));
}

void ScriptRunner::Execute(const Step& step) {
    using Kind = Step::Kind;
    const bool running = !m_exited;
    // Window points become screen points while the main window is there.
    POINT at{step.x, step.y};
    if (running && IsWindow(g_mainWindow)) ClientToScreen(g_mainWindow, &at);
    switch (step.kind) {
    case Kind::Nothing: return;
    case Kind::Tap:
        if (running) QueueTap(at.x, at.y);
        return;
    case Kind::Press:
        if (running) m_actions.push_back(MakeAction(ActionKind::Down, at.x, at.y));
        return;
    case Kind::Move:
        if (running) m_actions.push_back(MakeAction(ActionKind::Move, at.x, at.y));
        return;
    case Kind::Release:
        if (running) m_actions.push_back(MakeAction(ActionKind::Up, at.x, at.y));
        return;
    case Kind::Wait:
        if (running) {
            m_actions.push_back(MakeAction(ActionKind::Wait, 0, 0, step.value));
        } else {
            headless::advance_clock(step.value);
        }
        return;
    case Kind::Key:
        if (running) m_actions.push_back(MakeAction(ActionKind::Key, 0, 0, step.value));
        return;
    case Kind::Command:
        if (running) m_actions.push_back(MakeAction(ActionKind::Command, 0, 0, step.value));
        return;
    case Kind::Select:
        if (running) {
            Action select = MakeAction(ActionKind::Select, 0, 0, step.value);
            select.text = step.text;
            select.line = step.line;
            m_actions.push_back(std::move(select));
        }
        return;
    case Kind::Button: {
        if (!running) return;
        for (const bool exact : {true, false}) {
            for (const headless::MenuBarButton& button : headless::menu_bar_buttons()) {
                const std::string tip = platform::to_utf8(button.tip);
                if (button.hidden || tip.empty() || !(exact ? tip == step.text : equal_ignoring_case(tip, step.text)))
                    continue;
                const POINT centre = centre_of(button.rect);
                QueueTap(centre.x, centre.y);
                return;
            }
        }
        Fail(step.line, "no menu-bar button on the screen has the tool tip '" + step.text + "'");
        return;
    }
    case Kind::Answer:
        if (running) {
            m_answer = static_cast<int>(step.value);
            m_answerLine = step.line;
        }
        return;
    case Kind::Shot: WriteShot(step.text, step.line); return;
    case Kind::State:
        std::printf("%s\n", ProgramStateJson(m_exited).c_str());
        std::fflush(stdout);
        return;
    case Kind::Exit: End(0); return;
    }
}

bool ScriptRunner::Choose(Action action) {
    namespace testing = platform::testing;
    static const char* const kNames[] = {"map", "category", "item", "topic"};
    const auto list = static_cast<DialogList>(action.value);
    const char* name = kNames[action.value];
    HWND dialog = testing::front_dialog();
    if (dialog == nullptr) {
        Fail(action.line, std::string("no dialog is open to select a ") + name + " in");
        return false;
    }
    // Only Find has a list of places; its categories and Information's
    // topics are the same control.
    const bool find = GetDlgItem(dialog, IDC_FIND_LOCATIONS) != nullptr;
    int id = 0;
    switch (list) {
    case DialogList::Map: id = IDC_FIND_MAPS; break;
    case DialogList::Category: id = find ? IDC_FIND_CATEGORIES : 0; break;
    case DialogList::Item: id = find ? IDC_FIND_LOCATIONS : 0; break;
    case DialogList::Topic: id = find ? 0 : IDC_INFO_TOPICS; break;
    }
    HWND control = id ? GetDlgItem(dialog, id) : nullptr;
    if (control == nullptr) {
        Fail(action.line, std::string("this dialog has no ") + name + " list");
        return false;
    }
    // The exact text first, then the same without regard to case.
    const std::u16string wanted = platform::from_utf8(action.text);
    const std::vector<std::u16string> texts = testing::list_texts(control);
    int index = -1;
    for (std::size_t i = 0; i < texts.size() && index < 0; ++i) {
        if (texts[i] == wanted) index = static_cast<int>(i);
    }
    for (std::size_t i = 0; i < texts.size() && index < 0; ++i) {
        if (lstrcmpiW(texts[i].c_str(), wanted.c_str()) == 0) index = static_cast<int>(i);
    }
    if (index < 0) {
        Fail(action.line, std::string("no ") + name + " has the text '" + action.text + "'");
        return false;
    }
    // A list left dropped by an earlier tap lies over the controls below
    // it, so a tap meant for them would land in it: close it first, as a
    // user does, with a tap on its field.
    for (int combo : {IDC_FIND_MAPS, IDC_FIND_CATEGORIES}) {
        HWND other = GetDlgItem(dialog, combo);
        if (other == nullptr || other == control) continue;
        if (const auto shown = testing::combo_box_view(other); shown && shown->dropped) {
            QueueTapFirst(testing::centre(shown->field), action);
            return false;
        }
    }
    // The next step: a tap on the closed combo box, on the item when it is
    // in view, else the scroll bar moved towards it. Then look again.
    std::optional<testing::ListView> view;
    RECT target{};
    if (list != DialogList::Item) {
        const auto combo = testing::combo_box_view(control);
        if (!combo) return false;
        if (!combo->dropped) target = combo->field;
        else view = combo->list;
    } else {
        view = testing::list_box_view(control);
    }
    // A list that will not scroll to the item would be worked for ever.
    if (++action.tries > static_cast<int>(texts.size()) + 4) {
        Fail(action.line, std::string("the ") + name + " '" + action.text + "' cannot be brought into view");
        return false;
    }
    if (view) {
        for (const testing::ListItemView& row : view->visible) {
            if (row.index == index) {
                QueueTapFirst(testing::centre(row.rect), std::nullopt);
                return false;
            }
        }
        if (!Scroll(*view, index, action)) {
            Fail(action.line, std::string("the ") + name + " '" + action.text + "' cannot be brought into view");
        }
        return false;
    }
    QueueTapFirst(testing::centre(target), action);
    return false;
}

bool ScriptRunner::Scroll(const platform::testing::ListView& view, int index, const Action& again) {
    const platform::testing::ScrollBarView& bar = view.bar;
    if (!bar.shown || !bar.enabled || view.visible.empty()) return false;
    // Rows wholly in view; a last row cut by the bottom edge is not.
    int rowHeight = 0;
    for (const auto& row : view.visible) rowHeight = std::max(rowHeight, static_cast<int>(row.rect.bottom - row.rect.top));
    int rows = 0;
    for (const auto& row : view.visible) rows += row.rect.bottom - row.rect.top == rowHeight;
    const int maxTop = std::max(0, view.count - rows);
    const int wantedTop = std::clamp(index - rows / 2, 0, maxTop);
    const int away = wantedTop - view.top;
    // Far away: drag the thumb, the pixels rounded as the bar rounds them.
    const int travel = (bar.track.bottom - bar.track.top) - (bar.thumb.bottom - bar.thumb.top);
    if (std::abs(away) > rows && travel > 0 && maxTop > 0) {
        const long long moved = static_cast<long long>(away) * travel;
        const int dy = static_cast<int>((moved >= 0 ? moved + maxTop / 2 : moved - maxTop / 2) / maxTop);
        if (dy != 0) {
            const POINT from = platform::testing::centre(bar.thumb);
            std::deque<Action> next{MakeAction(ActionKind::Down, from.x, from.y),
                                    MakeAction(ActionKind::Move, from.x, from.y + dy),
                                    MakeAction(ActionKind::Up, from.x, from.y + dy), again};
            m_actions.insert(m_actions.begin(), next.begin(), next.end());
            return true;
        }
    }
    // Nearer: a page at a time on the track beside the thumb, then a row at
    // a time on the arrows.
    const bool down = index >= view.top;
    RECT page = bar.track;
    if (down) page.top = bar.thumb.bottom;
    else page.bottom = bar.thumb.top;
    const bool paging = std::abs(away) >= rows && !IsRectEmpty(&page);
    const RECT& hit = paging ? page : (down ? bar.down : bar.up);
    if (IsRectEmpty(&hit)) return false;
    QueueTapFirst(platform::testing::centre(hit), again);
    return true;
}

void ScriptRunner::QueueTapFirst(POINT at, const std::optional<Action>& then) {
    std::deque<Action> next{MakeAction(ActionKind::Down, at.x, at.y),
                            MakeAction(ActionKind::Wait, 0, 0, kTapMs),
                            MakeAction(ActionKind::Up, at.x, at.y)};
    if (then) next.push_back(*then);
    m_actions.insert(m_actions.begin(), next.begin(), next.end());
}

bool ScriptRunner::AnswerBox() {
    const auto box = headless::message_box();
    if (!box) return false;
    const int wanted = *m_answer;
    m_answer.reset();
    for (const auto& button : box->buttons) {
        if (button.id != wanted) continue;
        const POINT centre = centre_of(button.rect);
        QueueTap(centre.x, centre.y);
        return true;
    }
    Fail(m_answerLine, "the message box \"" + platform::to_utf8(box->caption) + "\" has no such button");
    return true;
}

void ScriptRunner::WriteShot(const std::string& path, int line) {
    std::string error;
    // While the program runs, the frame it presented on going idle is the
    // screen; once it has ended, the screen is composed from what is left.
    const bool written = m_exited ? headless::write_png(headless::compose(), path, &error)
                                  : headless::write_png(path, &error);
    if (!written) {
        std::fprintf(stderr, "mapfolio-script: line %d: cannot write %s: %s\n", line, path.c_str(), error.c_str());
        End(1);
    }
}

void ScriptRunner::Fail(int line, const std::string& message) {
    std::fprintf(stderr, "mapfolio-script: line %d: %s\n", line, message.c_str());
    End(2);
}

void ScriptRunner::End(int code) {
    if (m_ending) return;
    m_ending = true;
    m_exitCode = code;
    m_actions.clear();
    // The program's own loop ends with it; a message box up at that moment
    // goes away unanswered first.
    if (!m_exited) PostQuitMessage(0);
}

void ScriptRunner::RunAfterExit(int code) {
    m_exited = code;
    m_actions.clear();
    m_answer.reset();
    while (!m_ending) {
        std::string raw;
        if (m_reader.next(raw, -1) != ScriptReader::Result::Line) break;
        ++m_line;
        Step step;
        step.line = m_line;
        std::string error;
        if (!parse_step(raw, step, &error)) {
            Fail(m_line, error);
            break;
        }
        Execute(step);
    }
}
