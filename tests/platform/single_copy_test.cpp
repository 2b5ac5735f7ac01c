#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace headless = platform::headless;

namespace {

// The second copy, running in its own process with its stdout on a pipe.
class OtherCopy {
public:
    OtherCopy() {
        int fds[2];
        if (pipe(fds) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(fds[1], 1);
            close(fds[0]);
            close(fds[1]);
            execl(MAPFOLIO_SINGLE_COPY_HELPER, MAPFOLIO_SINGLE_COPY_HELPER, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        m_out = fdopen(fds[0], "r");
    }
    ~OtherCopy() {
        if (m_pid > 0 && !m_waited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out) fclose(m_out);
    }
    std::string line() {
        char buffer[128] = {};
        if (m_out == nullptr || std::fgets(buffer, sizeof buffer, m_out) == nullptr) return {};
        std::string text = buffer;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }
    int exit_code() {
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_waited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    FILE* m_out = nullptr;
    bool m_waited = false;
};

class SingleCopy : public ::testing::Test {
protected:
    void SetUp() override {
        // A private runtime directory and desktop, so that nothing else the
        // user runs is found, nor finds these.
        setenv("XDG_RUNTIME_DIR", m_dir.path().c_str(), 1);
        setenv("MAPFOLIO_HEADLESS_DESKTOP", "single-copy-test", 1);
        headless::reset();
    }
    void TearDown() override {
        headless::reset();
        unsetenv("MAPFOLIO_HEADLESS_DESKTOP");
    }
    testing_support::TempDir m_dir;
};

TEST_F(SingleCopy, ASecondStartFindsTheRunningCopyAndBringsItForward) {
    EXPECT_EQ(FindWindowW(u"MapfolioClass", u"MapPDA"), nullptr);
    OtherCopy other;
    ASSERT_EQ(other.line(), "ready");

    EXPECT_EQ(FindWindowW(u"MapfolioClass", u"Another Title"), nullptr);
    EXPECT_EQ(FindWindowW(u"NoSuchClass", nullptr), nullptr);
    HWND found = FindWindowW(u"MapfolioClass", u"MapPDA");
    ASSERT_NE(found, nullptr);
    // The handle stands for a window of the other process, not of this one.
    EXPECT_FALSE(IsWindow(found));
    EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(found) | 1)));
    EXPECT_EQ(other.line(), "raised");
    EXPECT_EQ(other.exit_code(), 0);

    // Gone with its process: its socket no longer answers.
    EXPECT_EQ(FindWindowW(u"MapfolioClass", u"MapPDA"), nullptr);
    EXPECT_FALSE(SetForegroundWindow(found));
}

TEST_F(SingleCopy, HeadlessCopiesWithoutASharedDesktopStayApart) {
    unsetenv("MAPFOLIO_HEADLESS_DESKTOP");
    OtherCopy other;
    ASSERT_EQ(other.line(), "ready");
    EXPECT_EQ(FindWindowW(u"MapfolioClass", u"MapPDA"), nullptr);
}

TEST_F(SingleCopy, OwnWindowsAreFoundFirst) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"MapfolioClass";
    RegisterClassW(&wc);
    HWND main = CreateWindowExW(0, u"MapfolioClass", u"MapPDA", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    HWND front = CreateWindowExW(0, u"MapfolioClass", u"Front", WS_VISIBLE, 0, 26, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    EXPECT_EQ(FindWindowW(u"mapfolioclass", u"mappda"), main);
    EXPECT_EQ(FindWindowW(nullptr, u"Front"), front);
    int raises = headless::raise_count();
    EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(main) | 1)));
    EXPECT_EQ(headless::raise_count(), raises + 1);
    // Now in front of the other window.
    headless::run_until_idle();
    HDC dc = GetDC(main);
    RECT r{0, 0, 10, 10};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    ReleaseDC(main, dc);
    headless::run_until_idle();
    EXPECT_EQ(headless::pixel(5, 30), 0x808080u);
}

}  // namespace
