// aolsim inside the simulated platform: the client's windows are windows of a
// qm::sim::SimPlatform, its delays run on the platform's virtual clock.
//
//   qm::sim::SimPlatform p;
//   aolsim::SimClient client(p);
//   client.Start("8.0");
//   client.SignOn("Joe Blow");
//   aolsim::Handle room = client.OpenRoom("Lobby", "half a sent");
//   ... the program under test runs against p ...
//   EXPECT_EQ(client.Transcript("Lobby"), std::vector<std::string>{"hello"});
//   EXPECT_EQ(client.InputText(room), "half a sent");
//
// The scenario and read-back calls are Client's (client.h).  Handles are the
// platform's window handles.  The client must not outlive the platform; when
// it goes, its windows go with it.
#pragma once

#include <map>
#include <memory>
#include <set>

#include "aolsim/client.h"
#include "aolsim/host.h"
#include "platform/sim/sim_platform.h"

namespace aolsim {

// The host: windows of the simulated platform (on its client thread), the
// system's "Edit", "Button" and pop-up menu behaviour; Freeze makes the
// thread busy (SimPlatform::SetBusyUntil), SetHung hangs it.
class SimHost : public Host {
public:
    explicit SimHost(qm::sim::SimPlatform& platform);
    ~SimHost() override;
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    void Attach(Receiver* receiver) override { receiver_ = receiver; }
    Handle Create(const std::string& cls, const std::string& text, Handle parent) override;
    void Destroy(Handle window) override;
    bool Exists(Handle window) override;
    void SetText(Handle window, const std::string& text) override;
    std::string Text(Handle window) override;
    void BringToFront(Handle window) override;
    void SetMenuBar(Handle window, const std::vector<MenuBarMenu>& menus) override;
    void After(double seconds, std::function<void()> action) override;
    void OpenPopup(Handle owner, const std::vector<MenuEntry>& entries,
                   std::function<void(std::uint32_t)> picked) override;
    void Freeze(double seconds) override;
    void Block(double seconds, std::function<void()> rest) override;
    void Exit() override;

    // Every window of the client stops (or starts again) answering messages.
    void SetHung(bool hung);
    // The open pop-up menu, or 0.
    Handle Popup() const { return popup_; }

private:
    bool Deliver(Handle window, const qm::sim::Message& message);
    bool EditDefault(Handle window, const qm::sim::Message& message);
    bool ButtonDefault(Handle window, const qm::sim::Message& message);
    bool PopupMessage(const qm::sim::Message& message);
    // Alt and a letter: the window's menu-bar menu of that mnemonic opens as
    // a pop-up menu, and its pick is the window's WM_COMMAND.
    bool MenuBarKey(Handle window, std::uint32_t code);
    void ClosePopup(std::uint32_t id);

    qm::sim::SimPlatform& p_;
    Receiver* receiver_ = nullptr;
    std::shared_ptr<bool> alive_;
    std::set<Handle> mine_;
    std::map<Handle, std::size_t> carets_;  // of "Edit" windows
    std::map<Handle, bool> pressed_;        // of "Button" windows
    std::map<Handle, std::vector<MenuBarMenu>> menuBars_;
    Handle popup_ = 0;
    std::vector<MenuEntry> popupEntries_;
    std::function<void(std::uint32_t)> picked_;
    bool hung_ = false;
    double busyUntil_ = 0;
};

namespace detail {
struct SimHostHolder {
    explicit SimHostHolder(qm::sim::SimPlatform& p) : simHost(p) {}
    SimHost simHost;
};
}  // namespace detail

// The client model on a SimHost.
class SimClient : private detail::SimHostHolder, public Client {
public:
    explicit SimClient(qm::sim::SimPlatform& platform) : SimHostHolder(platform), Client(simHost) {}
    SimHost& Host() { return simHost; }
    // The open pop-up menu ("#32768"), or 0.
    Handle Popup() const { return simHost.Popup(); }
    // The client hangs until told otherwise (Hang(seconds) ends by itself).
    void SetHung(bool hung) { simHost.SetHung(hung); }
};

}  // namespace aolsim
