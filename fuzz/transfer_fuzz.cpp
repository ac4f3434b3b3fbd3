// The transfer readers and the text replacement on any captions and texts:
// nothing fails, a value read is made only of what the window shows, and
// the replacement leaves no occurrence of what it took out where the
// replacement cannot make one.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "aol/window_model.h"
#include "platform/sim/sim_platform.h"
#include "platform/text.h"
#include "transfer/status.h"

namespace {

using qm::transfer::Reading;

// A value read is never longer than the longest text it can come from.
void Check(const Reading& value, std::size_t longest) {
    if (value && value->size() > longest + 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    qm::sim::SimPlatform sim;
    namespace aol = qm::aol;
    const qm::Hwnd main = sim.CreateWindow(aol::kMainClass, "America Online", 0);
    const qm::Hwnd mdi = sim.CreateWindow(aol::kMdiClass, "", main);
    std::vector<qm::Hwnd> windows = {main, mdi};
    std::size_t longest = 0;
    auto text = [&] {
        std::string t = in.ConsumeRandomLengthString(300);
        longest = std::max(longest, t.size());
        return t;
    };
    const int documents = in.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < documents; ++i) {
        const qm::Hwnd child = sim.CreateWindow(aol::kChildClass, text(), mdi);
        windows.push_back(child);
        const int statics = in.ConsumeIntegralInRange(0, 3);
        for (int s = 0; s < statics; ++s) windows.push_back(sim.CreateWindow(aol::kStaticClass, text(), child));
    }
    if (in.ConsumeBool()) {
        const qm::Hwnd modal = sim.CreateWindow(aol::kModalClass, text(), 0);
        windows.push_back(modal);
        const int statics = in.ConsumeIntegralInRange(0, 3);
        for (int s = 0; s < statics; ++s) windows.push_back(sim.CreateWindow(aol::kStaticClass, text(), modal));
    }
    // One window of them that answers nothing.
    if (in.ConsumeBool()) sim.SetHung(windows[in.ConsumeIntegralInRange<std::size_t>(0, windows.size() - 1)], true);

    using namespace qm::transfer;
    for (Reader read : {GetDownloadFileName, GetDownloadPercent, GetDownloadMinutesLeft, GetUploadFileName,
                        GetUploadPercent, GetUploadMinutesLeft})
        Check(read(sim), longest);

    std::string subject = in.ConsumeRandomLengthString(200);
    const std::string find = in.ConsumeRandomLengthString(8);
    const std::string replacement = in.ConsumeRandomLengthString(8);
    const std::string original = subject;
    const std::string result = ReplaceText(subject, find, replacement);
    if (result != subject) std::abort();
    if (find.empty() && result != original) std::abort();
    // One character taken out for nothing leaves none of it, in any case.
    if (find.size() == 1 && replacement.empty() &&
        qm::ToLowerAscii(result).find(qm::ToLowerAscii(find)) != std::string::npos)
        std::abort();
    return 0;
}
