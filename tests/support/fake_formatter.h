#pragma once
// A formatter for tests: records each request, reports the chosen number of progress steps and the chosen
// result, and when that result is success "formats" by emptying the volume's folder (creating volumeAfter when
// it names another one). Installs itself for its lifetime.
#include <string>
#include <vector>

#include "platform/volume_formatter.h"

namespace dashcam::test {

class FakeFormatter : public VolumeFormatter {
public:
    FakeFormatter() { SetFormatter(this); }
    ~FakeFormatter() override { SetFormatter(nullptr); }

    int steps = 5;
    bool succeed = true;      // the result reported through command 11
    bool reportResult = true; // false: the format never reports command 11
    bool available = true;    // false: ran = false with unavailableText, nothing erased
    std::u16string unavailableText = u"LoadLibrary(fmifs.dll) failed";
    std::u16string volumeAfter; // empty: the request's volume
    std::u16string note;        // what the format could not do as asked
    std::vector<FormatRequest> requests;

    FormatRun Format(const FormatRequest& request, const FormatCallback& callback) override;
};

} // namespace dashcam::test
