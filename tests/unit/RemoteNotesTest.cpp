// The agent passes a query's source notes to the client, which takes them
// as text from another machine: checked, escaped and cut to size.
#include <gtest/gtest.h>
#include <unistd.h>

#include "cimv2/core/WbemError.h"
#include "remote/Agent.h"
#include "remote/Protocol.h"
#include "tests/unit/RemoteSample.h"

using namespace remote;
using cimv2::NoteCause;
using cimv2::SourceNote;
using remotetest::FrameBytes;
using remotetest::HelloFrame;
using remotetest::SampleSchema;

namespace {

AgentService NotingService() {
    AgentService service;
    service.findSchema = remotetest::SampleLookup;
    service.query = [](const std::string&) {
        cimv2::QueryResult result;
        result.schema = &SampleSchema();
        result.instances = remotetest::SampleInstances();
        result.notes = {{"Sq_Sample", NoteCause::NeedsPrivilege, "/etc/shadow"},
                        {"Sq_Sample", NoteCause::NoSource, "SMBIOS tables (/sys/firmware/dmi/tables)"}};
        return result;
    };
    return service;
}

// The agent's whole answer to these request bytes, read after it stopped.
std::string Serve(const std::string& request, const AgentService& service = NotingService(),
                  const Limits& limits = {}) {
    int in[2], out[2];
    EXPECT_EQ(::pipe(in), 0);
    EXPECT_EQ(::pipe(out), 0);
    EXPECT_EQ(::write(in[1], request.data(), request.size()), static_cast<ssize_t>(request.size()));
    ::close(in[1]);
    ServeAgent(in[0], out[1], service, limits);
    ::close(in[0]);
    ::close(out[1]);
    std::string answer;
    char buffer[4096];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<size_t>(got));
    ::close(out[0]);
    return answer;
}

std::string Query() { return FrameBytes(FrameType::Query, QueryPayload("SELECT * FROM Sq_Sample")); }

std::string NoteFrame(uint8_t cause, const std::string& sources) {
    ByteWriter w;
    w.U8(cause);
    w.String(sources);
    return FrameBytes(FrameType::Note, w.Bytes());
}

std::string AnswerWith(const std::string& notes) {
    return FrameBytes(FrameType::Header, HeaderPayload(SampleSchema())) + notes +
           FrameBytes(FrameType::End, EndPayload(0));
}

}  // namespace

TEST(RemoteNotes, TheAgentPassesNotesToAClientThatKnowsThem) {
    MemoryFrameSource source(Serve(HelloFrame() + Query()), 1 << 20);
    EXPECT_EQ(DecodeHello(source.NextFrame()).version, kProtocolVersion);
    std::vector<SourceNote> notes;
    EXPECT_EQ(ReadQueryAnswer(source, SampleSchema(), {}, &notes).size(), 3u);
    EXPECT_EQ(notes, (std::vector<SourceNote>{
                         {"Sq_Sample", NoteCause::NeedsPrivilege, "/etc/shadow"},
                         {"Sq_Sample", NoteCause::NoSource, "SMBIOS tables (/sys/firmware/dmi/tables)"}}));
}

TEST(RemoteNotes, AClientOfTheFirstVersionIsAnsweredInItAndGetsNoNotes) {
    MemoryFrameSource source(Serve(HelloFrame(1) + Query()), 1 << 20);
    EXPECT_EQ(DecodeHello(source.NextFrame()).version, 1);
    std::vector<FrameType> types;
    for (Frame frame = source.NextFrame();; frame = source.NextFrame()) {
        types.push_back(frame.type);
        if (frame.type == FrameType::End || frame.type == FrameType::Error) break;
    }
    EXPECT_EQ(types, (std::vector<FrameType>{FrameType::Header, FrameType::Record, FrameType::Record, FrameType::Record,
                                             FrameType::End}));
}

TEST(RemoteNotes, NotesFromTheFarSideAreCheckedEscapedAndCut) {
    std::string nine;
    for (int n = 0; n < 9; ++n) nine += NoteFrame(1, "/f" + std::to_string(n));
    ByteWriter stray;  // a note with a byte after its text
    stray.U8(1);
    stray.String("/a");
    stray.U8(0);
    struct Case {
        const char* what;
        std::string notes;
        std::string sources;  // of the one note decoded; empty: refused
        const char* error;
    } cases[] = {
        {"controls", NoteFrame(1, "/etc/\x1b]0;title\x07shadow\xff"), "/etc/\\x1b]0;title\\ashadow\\xff", ""},
        {"long", NoteFrame(2, std::string(600, 'a')), std::string(kMaxNoteSourcesBytes, 'a'), ""},
        {"same cause twice", NoteFrame(1, "/a") + NoteFrame(1, "/b") + NoteFrame(1, "/a"), "/a, /b", ""},
        {"newest cause", NoteFrame(4, "/a"), "/a", ""},
        {"unknown cause", NoteFrame(5, "/a"), "", "unknown cause 5"},
        {"no cause", NoteFrame(0, "/a"), "", "unknown cause 0"},
        {"no source", NoteFrame(1, ""), "", "names no source"},
        {"too many", nine, "", "more than 8 notes"},
        {"stray bytes", FrameBytes(FrameType::Note, stray.Bytes()), "", "stray bytes after a note"},
    };
    for (const Case& c : cases) {
        MemoryFrameSource source(AnswerWith(c.notes), 1 << 20);
        std::vector<SourceNote> notes;
        if (*c.error) {
            try {
                ReadQueryAnswer(source, SampleSchema(), {}, &notes);
                ADD_FAILURE() << c.what << ": taken";
            } catch (const cimv2::WbemError& e) {
                EXPECT_EQ(e.Code(), kTransportFailure) << c.what;
                EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << c.what << ": " << e.what();
            }
            continue;
        }
        ReadQueryAnswer(source, SampleSchema(), {}, &notes);
        ASSERT_EQ(notes.size(), 1u) << c.what;
        // The class is the one queried, never a name the far side gives.
        EXPECT_EQ(notes[0].className, "Sq_Sample") << c.what;
        EXPECT_EQ(notes[0].sources, c.sources) << c.what;
    }
}

// One value too large for a frame: the agent cuts it and says so to a
// client that knows the note; an older one gets the cut value alone.
TEST(RemoteNotes, AValueCutToFitAFrameIsNoted) {
    AgentService service = NotingService();
    service.query = [](const std::string&) {
        cimv2::QueryResult result;
        result.schema = &SampleSchema();
        result.selected = {1};  // SELECT Count: Name, the key, comes along
        result.instances = remotetest::SampleInstances();
        result.instances[1].SetText("Name", std::string(10000, 'n'));
        result.instances[1].Set("Count", cimv2::Value::UInt(5));
        result.notes = {{"Sq_Sample", NoteCause::NoSource, "SMBIOS tables"}};
        return result;
    };
    Limits limits;
    limits.maxFrameBytes = 4096;
    for (uint16_t version : {kProtocolVersion, uint16_t{2}}) {
        MemoryFrameSource source(Serve(HelloFrame(version) + Query(), service, limits), 1 << 20);
        EXPECT_EQ(DecodeHello(source.NextFrame()).version, version);
        const Frame header = source.NextFrame();
        EXPECT_EQ(header.payload, HeaderPayload(SampleSchema(), {0, 1})) << version;
        std::vector<SourceNote> notes;
        const auto got = ReadAnswerBody(source, header, SampleSchema(), limits, &notes);
        ASSERT_EQ(got.size(), 3u) << version;
        EXPECT_EQ(got[1].Get("Name").text,
                  std::string(4096 - 1 - 2 - 2 - 5 - 2 - 9 - kCutMark.size(), 'n') + std::string(kCutMark))
            << version;
        EXPECT_EQ(got[1].Get("Count"), cimv2::Value::UInt(5)) << version;
        EXPECT_TRUE(got[0].Get("Ratio").IsNull()) << "not selected, not sent";
        std::vector<SourceNote> expected = {{"Sq_Sample", NoteCause::NoSource, "SMBIOS tables"}};
        if (version >= 3) expected.push_back({"Sq_Sample", NoteCause::Incomplete, "Name cut to fit the answer"});
        EXPECT_EQ(notes, expected) << version;
    }
    EXPECT_EQ(cimv2::NoteText({"Win32_Process", NoteCause::Incomplete, "CommandLine cut to fit the answer"}),
              "Win32_Process: some data is missing: CommandLine cut to fit the answer");
}
