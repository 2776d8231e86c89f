#pragma once

// A top-level window the program loads on its first use and frees when it unloads, one at a time
// (the splash and the progress window). The window class makes LoadedWindow<W> its friend so
// that only the first use constructs it, and calls forget(this) when it goes away.
template <class W> class LoadedWindow {
public:
    static W& get() {
        if (!slot())
            slot() = new W;
        return *slot();
    }
    static W* current() { return slot(); }
    static bool isLoaded() { return slot() != nullptr; }
    static void forget(const W* window) {
        if (slot() == window)
            slot() = nullptr;
    }

private:
    static W*& slot() {
        static W* window = nullptr;
        return window;
    }
};
