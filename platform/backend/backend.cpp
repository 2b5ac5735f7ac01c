#include "platform/backend/backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform::backend {
namespace {

std::unique_ptr<Backend> g_backend;
bool g_selected = false;
BackendKind g_kind = BackendKind::Headless;
WindowBackendMaker g_windowMaker = nullptr;

BackendKind kind_from_environment(BackendKind fallback) {
    const char* name = std::getenv("MAPFOLIO_BACKEND");
    if (name == nullptr || *name == '\0') return fallback;
    if (std::strcmp(name, "headless") == 0) return BackendKind::Headless;
    if (std::strcmp(name, "sdl2") == 0) return BackendKind::Sdl2;
    std::fprintf(stderr, "mapfolio: MAPFOLIO_BACKEND=%s is neither sdl2 nor headless; using the default\n", name);
    return fallback;
}

}  // namespace

SIZE screen_size() {
    SIZE size{240, 320};
    const char* text = std::getenv("MAPFOLIO_SCREEN");
    if (text == nullptr) return size;
    int width = 0;
    int height = 0;
    char tail = 0;
    // Anything smaller than the two bars plus a little room, or absurdly
    // large, keeps the default: the frame could not be laid out.
    if (std::sscanf(text, "%dx%d%c", &width, &height, &tail) == 2 && width >= 64 && height >= 96 &&
        width <= 4096 && height <= 4096) {
        size = SIZE{width, height};
    } else {
        std::fprintf(stderr, "mapfolio: MAPFOLIO_SCREEN=%s is not WIDTHxHEIGHT; using 240x320\n", text);
    }
    return size;
}

bool select(BackendKind kind) {
    if (g_backend) return false;
    g_selected = true;
    g_kind = kind;
    return true;
}

Backend& current() {
    if (g_backend) return *g_backend;
    BackendKind kind = kind_from_environment(g_selected ? g_kind : BackendKind::Headless);
    if (kind == BackendKind::Sdl2) {
        std::string error = "this program has no desktop window";
        if (g_windowMaker != nullptr) g_backend = g_windowMaker(screen_size(), &error);
        if (!g_backend) {
            std::fprintf(stderr, "mapfolio: cannot open a window on the display: %s\n", error.c_str());
            std::exit(1);
        }
    } else {
        g_backend = make_headless(screen_size());
    }
    return *g_backend;
}

bool started() { return g_backend != nullptr; }

void shut_down() { g_backend.reset(); }

void install(std::unique_ptr<Backend> backend) { g_backend = std::move(backend); }

void register_window_backend(WindowBackendMaker maker) { g_windowMaker = maker; }

}  // namespace platform::backend
