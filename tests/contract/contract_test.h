// The fixture of the contract suites: the platform under test, the windows a
// test made (gone when it ends), and waits that run the event pump in real
// or virtual time alike.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/contract/contract_backend.h"

namespace qm::contract {

class ContractTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) DestroyWindow(*it);
    }

    Hwnd Make(const std::string& cls, const std::string& text, Hwnd parent = 0, Thread thread = Thread::This) {
        return made_.emplace_back(MakeWindow(cls, text, parent, thread));
    }

    // Runs the event pump until `done` or for at most `seconds`; whether it
    // got there.
    template <class Done>
    bool WaitUntil(Done done, double seconds = 5.0) {
        const double end = p.Now() + seconds;
        while (!done()) {
            if (p.Now() >= end) return false;
            p.WaitForEvents(0.02);
        }
        return true;
    }
    // Runs the event pump for `seconds`.
    void Pump(double seconds) {
        const double end = p.Now() + seconds;
        while (p.Now() < end) p.WaitForEvents(end - p.Now());
    }

    Platform& p = TestPlatform();

private:
    std::vector<Hwnd> made_;
};

// The suites whose expectations differ between Windows and Wine run once for
// each host the backend behaves as, named after it.
class HostContractTest : public ContractTest, public ::testing::WithParamInterface<Host> {
protected:
    void SetUp() override { BehaveAs(GetParam()); }
    bool Wine() const { return GetParam() == Host::Wine; }
};

inline std::string HostName(const ::testing::TestParamInfo<Host>& info) {
    return info.param == Host::Wine ? "Wine" : "Windows";
}

}  // namespace qm::contract
