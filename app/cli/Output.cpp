#include "app/cli/Output.h"

#include <unistd.h>

#include <cerrno>

namespace cli {

namespace {

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

void FileOutput::Write(std::string_view text) {
    if (FWrittenFirst) FWrittenFirst->Flush();
    FBuffer.append(text);
    if (FWrittenFirst || FBuffer.size() >= kBufferSize) Flush();
}

bool FileOutput::Terminal() const { return isatty(FFd) == 1; }

void FileOutput::Flush() {
    std::string_view rest = FBuffer;
    while (!rest.empty() && !FError) {
        ssize_t written = ::write(FFd, rest.data(), rest.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            FError = written < 0 ? errno : EIO;
            break;
        }
        rest.remove_prefix(static_cast<size_t>(written));
    }
    // What could not be written is dropped, not written again with later text.
    FBuffer.clear();
}

}  // namespace cli
