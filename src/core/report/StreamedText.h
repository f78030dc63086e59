// A text made on a thread of its own while what is made already goes to the file: making and
// writing the tens of megabytes of a page of years take about as long, and a machine has more
// than one processor. Only a few pieces wait at any time, whatever the text's size.
#pragma once
#include <exception>
#include <functional>

#include "DiskLog.h"
#include "TextOut.h"

namespace zentrok::report {

class StreamedText : public Content {
public:
    using Make = std::function<void(TextSink&)>;
    explicit StreamedText(Make make) : make_(std::move(make)) {}
    // Made anew on every call.
    bool WriteTo(ContentSink& sink) const override;
    // What stopped the making (out of memory), raised here once the write has ended.
    void RaiseFailure() const
    {
        if (failed_) std::rethrow_exception(failed_);
    }

private:
    Make make_;
    mutable std::exception_ptr failed_;
};

} // namespace zentrok::report
