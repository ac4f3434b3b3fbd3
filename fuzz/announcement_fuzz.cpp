// The announcement composer on any style values and line values: nothing
// fails, every line begins with the head that closes open formatting, and
// every value given shows in the line as it was given.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/announcement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    qm::AnnouncementStyle style;
    for (std::string* field : {&style.handle, &style.color1, &style.color2, &style.font})
        *field = in.ConsumeRandomLengthString(40);
    for (qm::Decoration& d : style.ascii) {
        d.text = in.ConsumeRandomLengthString(40);
        d.color = in.ConsumeRandomLengthString(10);
        d.font = in.ConsumeRandomLengthString(20);
    }
    const auto kind = static_cast<qm::Announcement>(
        in.ConsumeIntegralInRange<int>(0, static_cast<int>(qm::Announcement::TransferReport2)));
    std::vector<std::string> texts;
    const int count = in.ConsumeIntegralInRange(0, 5);
    for (int i = 0; i < count; ++i) texts.push_back(in.ConsumeRandomLengthString(60));
    int reads = 0;
    std::vector<qm::LineValue> values;
    for (const std::string& text : texts)
        values.emplace_back([&reads, text] {
            ++reads;
            return text;
        });

    const std::string line = qm::ComposeAnnouncement(kind, style, values);
    if (line.rfind("</b></u></i></s><font face=\"", 0) != 0) std::abort();
    // Each value is read at most once, and those read show in the line.
    if (reads > count) std::abort();
    for (int i = 0; i < reads; ++i)
        if (line.find(texts[static_cast<std::size_t>(i)]) == std::string::npos) std::abort();
    return 0;
}
