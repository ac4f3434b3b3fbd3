// The client probes on any captions and menus: nothing fails, the version is
// one of the known answers, the screen name is taken from the welcome
// window's caption, and a menu command is sent only for an item whose text
// holds what was asked for.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "aol/probes.h"
#include "aol/window_model.h"
#include "platform/sim/sim_platform.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    qm::sim::SimPlatform sim;
    namespace aol = qm::aol;
    std::vector<std::uint32_t> commands;
    const qm::Hwnd main = sim.CreateWindow(aol::kMainClass, "America Online", 0, [&](qm::Hwnd, const qm::sim::Message& m) {
        if (m.msg == qm::Msg::Command) commands.push_back(m.wparam);
        return false;
    });
    const qm::Hwnd mdi = sim.CreateWindow(aol::kMdiClass, "", main);
    std::vector<std::string> captions;
    const int documents = in.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < documents; ++i) {
        captions.push_back(in.ConsumeBool() ? "Welcome, " + in.ConsumeRandomLengthString(60)
                                            : in.ConsumeRandomLengthString(60));
        sim.CreateWindow(aol::kChildClass, captions.back(), mdi);
    }
    std::vector<std::string> texts;
    std::vector<qm::sim::MenuItem> bar;
    const int menus = in.ConsumeIntegralInRange(0, 4);
    for (int m = 0; m < menus; ++m) {
        std::vector<qm::sim::MenuItem> items;
        const int count = in.ConsumeIntegralInRange(0, 6);
        for (int i = 0; i < count; ++i) {
            qm::sim::MenuItem item;
            item.text = in.ConsumeRandomLengthString(120);
            item.id = in.ConsumeIntegral<std::uint32_t>();
            texts.push_back(item.text);
            items.push_back(item);
        }
        qm::sim::MenuItem title;
        title.text = "menu";
        title.submenu = sim.CreateMenu(items);
        bar.push_back(title);
    }
    sim.SetMenu(main, sim.CreateMenu(bar));
    sim.SetMenusUnreadable(in.ConsumeBool());

    static const std::set<std::string> kVersions = {"8.0", "7.0", "6.0", "5.0", "4.0", "3.0", "2.5", "foreign"};
    if (!kVersions.count(aol::GetAolVersion(sim))) std::abort();

    const std::string name = aol::GetScreenName(sim);
    const std::string welcome = aol::GetCaption(sim, aol::FindWelcomeWindow(sim));
    if (!name.empty() && welcome.substr(0, 9 + name.size()) != "Welcome, " + name) std::abort();

    const std::string wanted = in.ConsumeRandomLengthString(20);
    aol::RunAolMenuItem(sim, wanted);
    if (commands.size() > 1) std::abort();
    if (!commands.empty()) {
        bool held = false;
        for (const std::string& text : texts)
            held = held || qm::ToLowerAscii(text.substr(0, aol::kMenuTextBuffer - 1))
                                   .find(qm::ToLowerAscii(wanted)) != std::string::npos;
        if (!held) std::abort();
    }
    return 0;
}
