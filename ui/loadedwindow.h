#pragma once

// A top-level window the program loads on its first use and frees when it unloads, one at a time
// (the splash and the progress window). The window's constructor takes a Key, which only
// LoadedWindow<W> can make, so that only the first use constructs it; the window calls
// forget(this) when it goes away.
template <class W> class LoadedWindow {
public:
    class Key {
        friend class LoadedWindow;
        Key() = default;
    };

    static W& get() {
        if (!slot())
            slot() = new W(Key{});
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
