// The reasons file on any bytes: loading never fails and stays within the
// list's bounds, a saved list loads back as it was, and what loading makes
// of a file is what it makes of that list saved again.
#include <cstdlib>
#include <string>

#include "platform/sim/sim_platform.h"
#include "reasons/reasons_file.h"

namespace {
const std::string kFile = "C:\\quillmoor\\quillmoor.rea";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static qm::sim::SimPlatform* sim = [] {
        auto* p = new qm::sim::SimPlatform;
        p->AddFolder("C:\\quillmoor");
        return p;
    }();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    sim->SetFileBytes(kFile, bytes);

    qm::ReasonList loaded;
    const qm::reasons::Loaded took = qm::reasons::LoadReasons(*sim, kFile, loaded);
    if (loaded.ListCount() > qm::ReasonList::kMaxCount || took.bytes > bytes.size()) std::abort();
    if (took.whole != (took.bytes == bytes.size())) std::abort();

    // Round trip: the list, saved, reads back the same.
    if (!qm::reasons::SaveReasons(*sim, kFile, loaded)) std::abort();
    qm::ReasonList again;
    qm::reasons::LoadReasons(*sim, kFile, again);
    if (again.Items() != loaded.Items()) std::abort();

    // The part not loaded outlives a save of the list.
    if (!took.whole) {
        sim->SetFileBytes(kFile, bytes);
        qm::ReasonList none;
        const auto saved = qm::reasons::SaveReasons(*sim, kFile, none, took);
        if (!saved || sim->FileBytes(kFile) != bytes.substr(took.bytes)) std::abort();
    }
    return 0;
}
