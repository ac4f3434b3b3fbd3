// The program's platform as the random schedules see it: every call goes on
// to the simulated platform, and the watcher hears of the calls that matter
// (texts set, keys sent, timers made and switched) and of the virtual time
// each one cost.
#pragma once

#include <functional>

#include "platform/sim/sim_platform.h"

namespace qm::testing::schedule {

class Watcher {
public:
    virtual ~Watcher() = default;
    // Before the text goes: `before` is what the window holds now.
    virtual void SettingText(Hwnd window, const std::string& text, const std::string& before) = 0;
    virtual void Sent(Hwnd window, Msg msg, std::uint32_t wparam, bool answered, const std::string& before) = 0;
    // A call that is no wait took this much virtual time (a send timed out).
    virtual void Slow(double seconds) = 0;
    // The timer's tick wrapped: `index` counts the timers made, from 0.
    virtual std::function<void()> Tick(int index, unsigned milliseconds, std::function<void()> tick) = 0;
    virtual void TimerMade(int index, int timer) = 0;
    virtual void TimerSwitched(int timer, bool running) = 0;
    // Files: before each call, and after it what it did.
    virtual void BeforeFileCall() = 0;
    virtual void ProfileRead(const std::string& section, const std::string& key, const std::string& path) = 0;
    virtual void FileRead(const std::string& path, bool got) = 0;
    // `section` is empty for a whole file; `before` is the file before.
    virtual void Wrote(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& value, bool ok, const std::optional<std::string>& before) = 0;
    virtual void Invalidated(Hwnd window) = 0;
    // A child window looked up among `parent`'s, after `after`.
    virtual void Walked(Hwnd parent, Hwnd after, Hwnd found) = 0;
    // A window's text read from its end: the window before the read, and
    // what came back (nullopt: unknown).
    virtual void TailReading(Hwnd window) = 0;
    virtual void TailRead(Hwnd window, const std::optional<std::string>& text) = 0;
};

class Spy final : public Platform {
    // The call, and the virtual time it took told to the watcher.
    template <typename Call>
    auto Timed(Call call) {
        const double start = sim_.Now();
        auto result = call();
        if (sim_.Now() > start) w_.Slow(sim_.Now() - start);
        return result;
    }
    template <typename Call>
    void TimedVoid(Call call) {
        const double start = sim_.Now();
        call();
        if (sim_.Now() > start) w_.Slow(sim_.Now() - start);
    }

public:
    Spy(sim::SimPlatform& sim, Watcher& watcher) : sim_(sim), w_(watcher) {}

    Hwnd FindWindow(std::string_view cls, std::optional<std::string_view> caption) override {
        return Timed([&] { return sim_.FindWindow(cls, caption); });
    }
    Hwnd FindWindowEx(Hwnd parent, Hwnd after, std::string_view cls,
                      std::optional<std::string_view> caption) override {
        const Hwnd found = Timed([&] { return sim_.FindWindowEx(parent, after, cls, caption); });
        w_.Walked(parent, after, found);
        return found;
    }
    Hwnd NextWindow(Hwnd window) override { return Timed([&] { return sim_.NextWindow(window); }); }
    int GetWindowTextLength(Hwnd window) override { return Timed([&] { return sim_.GetWindowTextLength(window); }); }
    std::string GetWindowText(Hwnd window, int size) override {
        return Timed([&] { return sim_.GetWindowText(window, size); });
    }
    std::optional<int> GetTextLength(Hwnd window) override { return Timed([&] { return sim_.GetTextLength(window); }); }
    std::optional<std::string> GetText(Hwnd window, int size) override {
        return Timed([&] { return sim_.GetText(window, size); });
    }
    std::optional<std::string> GetTextTail(Hwnd window, int size) override {
        w_.TailReading(window);
        std::optional<std::string> text = Timed([&] { return sim_.GetTextTail(window, size); });
        w_.TailRead(window, text);
        return text;
    }
    bool SetText(Hwnd window, const std::string& text) override {
        w_.SettingText(window, text, sim_.TextOf(window));
        return Timed([&] { return sim_.SetText(window, text); });
    }
    bool Send(Hwnd window, Msg msg, std::uint32_t wparam) override {
        const std::string before = sim_.TextOf(window);
        const bool answered = Timed([&] { return sim_.Send(window, msg, wparam); });
        w_.Sent(window, msg, wparam, answered, before);
        return answered;
    }
    void Post(Hwnd window, Msg msg, std::uint32_t wparam) override { sim_.Post(window, msg, wparam); }
    void ShowWindow(Hwnd window, ShowCmd cmd) override { TimedVoid([&] { sim_.ShowWindow(window, cmd); }); }
    void SetForegroundWindow(Hwnd window) override { sim_.SetForegroundWindow(window); }
    void MakeTopmost(Hwnd window) override { sim_.MakeTopmost(window); }
    void BeginWindowDrag(Hwnd window) override { sim_.BeginWindowDrag(window); }
    Hmenu GetMenu(Hwnd window) override { return Timed([&] { return sim_.GetMenu(window); }); }
    int GetMenuItemCount(Hmenu menu) override { return Timed([&] { return sim_.GetMenuItemCount(menu); }); }
    Hmenu GetSubMenu(Hmenu menu, int position) override { return Timed([&] { return sim_.GetSubMenu(menu, position); }); }
    std::uint32_t GetMenuItemID(Hmenu menu, int position) override {
        return Timed([&] { return sim_.GetMenuItemID(menu, position); });
    }
    std::string GetMenuString(Hmenu menu, std::uint32_t id, int size) override {
        return Timed([&] { return sim_.GetMenuString(menu, id, size); });
    }
    std::string GetProfileString(const std::string& section, const std::string& key, const std::string& path,
                                 int size) override {
        w_.BeforeFileCall();
        std::string value = sim_.GetProfileString(section, key, path, size);
        w_.ProfileRead(section, key, path);
        return value;
    }
    bool WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                            const std::string& path) override {
        const std::optional<std::string> before = sim_.FileBytes(path);
        w_.BeforeFileCall();
        const bool ok = sim_.WriteProfileString(section, key, value, path);
        w_.Wrote(path, section, key, value, ok, before);
        return ok;
    }
    double Now() override { return sim_.Now(); }
    LocalTime LocalNow() override { return sim_.LocalNow(); }
    std::optional<double> SecondsSinceInput() override { return sim_.SecondsSinceInput(); }
    void ProcessEvents() override { sim_.ProcessEvents(); }
    void WaitForEvents(double seconds) override { sim_.WaitForEvents(seconds); }
    int CreateTimer(unsigned milliseconds, std::function<void()> tick) override {
        const int index = timers_++;
        const int timer = sim_.CreateTimer(milliseconds, w_.Tick(index, milliseconds, std::move(tick)));
        w_.TimerMade(index, timer);
        return timer;
    }
    void SetTimerRunning(int timer, bool running) override {
        sim_.SetTimerRunning(timer, running);
        w_.TimerSwitched(timer, running);
    }
    void DestroyTimer(int timer) override { sim_.DestroyTimer(timer); }
    Hwnd CreateMainWindow(const std::string& caption, const MainWindowLayout& layout,
                          MainWindowModel& model) override {
        return sim_.CreateMainWindow(caption, layout, model);
    }
    Hwnd CreateEditorWindow(const std::string& caption, const EditorWindowLayout& layout,
                            EditorWindowModel& model) override {
        return sim_.CreateEditorWindow(caption, layout, model);
    }
    void Invalidate(Hwnd window) override {
        sim_.Invalidate(window);
        w_.Invalidated(window);
    }
    int TrackPopupMenu(const PopupItem& root, Hwnd owner, std::optional<Point> at, int defaultId) override {
        return sim_.TrackPopupMenu(root, owner, at, defaultId);
    }
    std::string InputBox(const std::string& title, const std::string& prompt, const std::string& text) override {
        return sim_.InputBox(title, prompt, text);
    }
    void MessageBox(const std::string& title, const std::string& text) override { sim_.MessageBox(title, text); }
    Hwnd TrayWindow() override { return sim_.TrayWindow(); }
    bool TrayNotify(TrayOp op, const std::vector<std::uint8_t>& record) override { return sim_.TrayNotify(op, record); }
    void OnTrayMessage(std::function<void(std::uint32_t)> handler) override { sim_.OnTrayMessage(std::move(handler)); }
    void OnTaskbarCreated(std::function<void()> handler) override { sim_.OnTaskbarCreated(std::move(handler)); }
    void SetTaskListEntry(bool shown) override { sim_.SetTaskListEntry(shown); }
    bool PreviousInstanceRunning() override { return sim_.PreviousInstanceRunning(); }
    void RunMessageLoop() override { sim_.RunMessageLoop(); }
    void Quit() override { sim_.Quit(); }
    std::string ProgramFolder() override { return sim_.ProgramFolder(); }
    std::string SystemFolder() override { return sim_.SystemFolder(); }
    std::string UserDataFolder() override { return sim_.UserDataFolder(); }
    bool CreateFolder(const std::string& path) override { return sim_.CreateFolder(path); }
    bool DeleteFile(const std::string& path) override {
        const std::optional<std::string> before = sim_.FileBytes(path);
        w_.BeforeFileCall();
        const bool ok = sim_.DeleteFile(path);
        w_.Wrote(path, "", "", "", ok, before);
        return ok;
    }
    bool FileExists(const std::string& path) override { return sim_.FileExists(path); }
    std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) override {
        w_.BeforeFileCall();
        std::optional<std::string> bytes = sim_.ReadFile(path, maxBytes);
        w_.FileRead(path, bytes.has_value());
        return bytes;
    }
    bool WriteFile(const std::string& path, const std::string& bytes) override {
        const std::optional<std::string> before = sim_.FileBytes(path);
        w_.BeforeFileCall();
        const bool ok = sim_.WriteFile(path, bytes);
        w_.Wrote(path, "", "", bytes, ok, before);
        return ok;
    }

private:

    sim::SimPlatform& sim_;
    Watcher& w_;
    int timers_ = 0;
};

}  // namespace qm::testing::schedule
