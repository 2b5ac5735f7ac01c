// The steps of a mapfolio-script run, fed to the real program while its own
// message loop waits: the runner is the headless backend's idle handler, so
// each step runs when the program has nothing left to do (no queued
// message, no timer due at the current virtual time), and the program then
// runs until it is idle again before the next step.
#pragma once

#include "platform/testing/dialog_controls.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

// Lines from a file or a pipe. Waiting on a pipe is done in short turns, so
// that the program keeps answering other copies of itself meanwhile.
class ScriptReader {
public:
    explicit ScriptReader(int fd) : m_fd(fd) {}
    enum class Result { Line, Pending, End };
    // A whole line (without its end), Pending when none has arrived within
    // waitMs, End when the input is over.
    Result next(std::string& line, int waitMs);

private:
    int m_fd;
    std::string m_buffer;
    bool m_eof = false;
};

class ScriptRunner {
public:
    explicit ScriptRunner(ScriptReader& reader) : m_reader(reader) {}

    // One line of the script, parsed.
    struct Step;

    // The idle handler: runs steps until one gives the program something to
    // do, and returns true. When the script ends, asks the program to quit.
    bool OnIdle();
    // The program's entry point has returned with code: the rest of the
    // script runs against what is left (state still answers).
    void RunAfterExit(int code);

    bool Ending() const { return m_ending; }
    int ExitCode() const { return m_exitCode; }

private:
    enum class ActionKind { Down, Move, Up, Wait, Key, Command, Select };
    struct Action {
        ActionKind kind = ActionKind::Wait;
        int x = 0;  // screen pixels
        int y = 0;
        std::uint32_t value = 0;  // milliseconds, key, command or list
        std::optional<std::uint64_t> until;  // a wait under way
        std::string text;  // the item a Select looks for
        int line = 0;      // the step a Select came from
        int tries = 0;     // the taps a Select has made
    };
    static Action MakeAction(ActionKind kind, int x = 0, int y = 0, std::uint32_t value = 0) {
        Action action;
        action.kind = kind;
        action.x = x;
        action.y = y;
        action.value = value;
        return action;
    }
    // Runs the first queued action; false when it gave the program nothing
    // to do (a wait already over, a window gone).
    bool RunAction();
    // Reads and carries out one step; false when the program must be given
    // time before anything else (no line yet, or the run ends).
    bool RunNextStep();
    void Execute(const Step& step);
    // Queues a tap at a screen point: down, 50 ms, up.
    void QueueTap(int x, int y);
    // Queues, before anything else queued, a tap at a screen point and then
    // the action then, if any.
    void QueueTapFirst(POINT at, const std::optional<Action>& then);
    // Takes one step towards choosing a dialog list's item as a user does:
    // closes a list left dropped over it, drops the combo box, scrolls the
    // list, taps the item. Always false: the step itself gives the program
    // nothing to do.
    bool Choose(Action action);
    // Queues the scroll bar's next move towards showing item index of view:
    // the thumb dragged when it is far, a page tap on the track when it is a
    // page or more away, else an arrow; again follows. False when the bar
    // cannot scroll.
    bool Scroll(const platform::testing::ListView& view, int index, const Action& again);
    // Taps the button of the message box that answers as asked; false when
    // no box is up.
    bool AnswerBox();
    void Fail(int line, const std::string& message);
    void End(int code);
    void WriteShot(const std::string& path, int line);

    ScriptReader& m_reader;
    int m_line = 0;
    std::deque<Action> m_actions;
    std::optional<int> m_answer;  // IDYES, IDNO or IDOK for the next box
    int m_answerLine = 0;
    std::optional<int> m_exited;  // the program's exit code once it has ended
    bool m_ending = false;
    int m_exitCode = 0;
};
