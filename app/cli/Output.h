#pragma once
// Where the query tool writes its results and errors. The tool writes to its
// file descriptors directly: the first std::ostream a program makes sets up
// the C++ locale with all its facets, a tenth of what a small query costs,
// for text that needs none of them. The window and the tests hand in their
// streams.
#include <charconv>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

namespace cli {

class Output {
public:
    virtual ~Output() = default;
    virtual void Flush() {}
    // Whether what is written shows on a terminal, which acts on some bytes.
    virtual bool Terminal() const { return false; }

    Output& operator<<(std::string_view text) {
        Write(text);
        return *this;
    }
    Output& operator<<(const char* text) { return *this << std::string_view(text); }
    Output& operator<<(char c) { return *this << std::string_view(&c, 1); }
    template <typename T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, char> && !std::is_same_v<T, bool>) Output& operator<<(
        T number) {
        char digits[24];
        return *this << std::string_view(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
    }

protected:
    virtual void Write(std::string_view text) = 0;
};

class StreamOutput final : public Output {
public:
    explicit StreamOutput(std::ostream& stream, bool terminal = false) : FStream(stream), FTerminal(terminal) {}
    void Flush() override { FStream.flush(); }
    bool Terminal() const override { return FTerminal; }

private:
    void Write(std::string_view text) override {
        FStream.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    std::ostream& FStream;
    bool FTerminal;
};

// Writes to a file descriptor the caller keeps open. A write that fails is
// remembered: the tool must not report success for output that was lost (a
// full disk, a closed pipe).
class FileOutput final : public Output {
public:
    // Buffered, for results.
    explicit FileOutput(int fd) : FFd(fd) {}
    // Unbuffered, for errors: like std::cerr, it first writes out what the
    // other output holds, so that a terminal shows both in order.
    FileOutput(int fd, Output& writtenFirst) : FFd(fd), FWrittenFirst(&writtenFirst) {}
    ~FileOutput() override { Flush(); }
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    void Flush() override;
    bool Terminal() const override;
    // The errno of the first write that failed, 0 when none did.
    int Error() const { return FError; }

private:
    void Write(std::string_view text) override;
    int FFd;
    Output* FWrittenFirst = nullptr;
    int FError = 0;
    std::string FBuffer;
};

}  // namespace cli
